// The device record and the constants every part of the link shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

constexpr uint32_t STATUS_NONE = 0;
constexpr uint32_t STATUS_ACK = 6;
constexpr uint32_t STATUS_NAK = 21;

constexpr int KIND_NETWORK = 0;
constexpr int KIND_DEVINFO = 1;
constexpr int KIND_DATE = 2;

constexpr uint32_t CHG_DEVICE = 1;
constexpr uint32_t CHG_DATE = 2;
constexpr uint32_t CHG_NETWORK = 4;
constexpr uint32_t CHG_INFO = 8;

constexpr int TABLE_SLOTS = 256;
// No selection / every device / all rows.  Never a row number: a full table
// has rows 0 to 255, and each of them can be picked and deleted alone.
constexpr int NO_ROW = -1;
constexpr int MAC_LEN = 17;
constexpr size_t FRAME_MAX = 512;  // largest datagram the link carries
// STX, a three-letter word and ':' ("MAC:", "SET:", "ACK:"), the MAC, 0xFF:
// where a frame's items start.
constexpr size_t FRAME_ITEMS_AT = 23;

constexpr uint8_t STX = 0x02;
constexpr uint8_t ETX = 0x03;
constexpr uint8_t ITEM_END = 0xFF;

inline constexpr char BROADCAST_MAC[] = "FF-FF-FF-FF-FF-FF";

// Fixed-width, NUL-terminated 8-bit fields named after their wire keys; each
// array has one byte more than the field holds.  Has<KEY> follows its field.
struct TDeviceRec {
    uint32_t Status;
    char MAC[18];
    char MODEL[257];
    char TARCID[4];
    char SERIAL[11];
    char YMDHM[17];
    uint8_t HasYMDHM;
    char GMT[6];
    uint8_t HasGMT;
    char IPADRM[16];
    uint8_t HasIPADRM;
    char IPADRB[16];
    uint8_t HasIPADRB;
    char GPID[4];
    uint8_t HasGPID;
    char TERM[5];
    uint8_t HasTERM;
    char LOG[5];
    uint8_t HasLOG;
    char GWAY[16];
    uint8_t HasGWAY;
    char MASK[16];
    uint8_t HasMASK;
    char OPTIP[16];
    uint8_t HasOPTIP;
    char OPTIP2[16];
    uint8_t HasOPTIP2;
    char OPTIP3[16];
    uint8_t HasOPTIP3;
    char OPT1[5];
    uint8_t HasOPT1;
    char OPT2[5];
    uint8_t HasOPT2;
    char OPT3[5];
    uint8_t HasOPT3;
    char TOUT[6];
    uint8_t HasTOUT;
    char TRAP1[16];
    uint8_t HasTRAP1;
    char TRAP2[16];
    uint8_t HasTRAP2;
    char CONT[257];
    uint8_t HasCONT;
    char NAME[257];
    uint8_t HasNAME;
    char LOC[257];
    uint8_t HasLOC;
    char UNIQ[257];
    uint8_t HasUNIQ;
};

// A field's text: its bytes up to the first NUL, never its last byte, which
// is the NUL that ends a full field.
template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return {field, strnlen(field, N - 1)};
}
