// Wire keys, their record fields, and the fixed frames of the device protocol.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/Record.h"

enum KeyIndex : int {
    KEY_INFO, KEY_MAC, KEY_MODEL, KEY_TARCID, KEY_SERIAL, KEY_YMDHM, KEY_GMT,
    KEY_IPADRM, KEY_IPADRB, KEY_GPID, KEY_TERM, KEY_LOG, KEY_GWAY, KEY_MASK,
    KEY_OPTIP, KEY_OPT1, KEY_OPT2, KEY_OPT3, KEY_TOUT, KEY_TRAP1, KEY_TRAP2,
    KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ, KEY_OPTIP2, KEY_OPTIP3,
    KEY_COUNT
};

// Where a key lives in TDeviceRec.  Width 0: the key has no field (INFO, MAC).
struct KeyField {
    const char* Name;
    uint8_t NameLength;
    size_t Offset;
    int Width;
    ptrdiff_t FlagOffset;  // -1: no Has<KEY> flag
    uint32_t ChangeBit;
    bool StripsBlanks;     // address values go out without blanks
};

extern const KeyField KeyFields[KEY_COUNT];

// Keys in the order a SET of each kind carries them; -1 ends a list.
const int* SetKeysOf(int kind);

// Keys in the order the device file writes the optional items.
extern const int FileOrder[22];

inline char* FieldOf(TDeviceRec& r, int key) {
    return reinterpret_cast<char*>(&r) + KeyFields[key].Offset;
}
inline const char* FieldOf(const TDeviceRec& r, int key) {
    return reinterpret_cast<const char*>(&r) + KeyFields[key].Offset;
}
// The text of the key's field; "" for INFO and MAC, which have none.
inline std::string_view FieldText(const TDeviceRec& r, int key) {
    const char* field = FieldOf(r, key);
    return {field, strnlen(field, static_cast<size_t>(KeyFields[key].Width))};
}
inline uint8_t* FlagOf(TDeviceRec& r, int key) {
    return KeyFields[key].FlagOffset < 0
               ? nullptr
               : reinterpret_cast<uint8_t*>(&r) + KeyFields[key].FlagOffset;
}
inline bool HasKey(const TDeviceRec& r, int key) {
    return KeyFields[key].FlagOffset >= 0 &&
           reinterpret_cast<const uint8_t*>(&r)[KeyFields[key].FlagOffset] != 0;
}

// Whether the 17 bytes of a MAC are the broadcast MAC, in any letter case.
bool IsBroadcastMac(const char* mac);

// Index of the key whose text equals name[0..len), or -1 (byte-exact).
int FindKey(const char* name, size_t len);

// What a frame's header says: STX, a word and ':', a MAC, 0xFF.
enum class FrameWord { None, Mac, Ack, Nak, Other };  // None: too short for a header

// A received frame read once, in place, never beyond its length.
struct FrameView {
    FrameWord Word = FrameWord::None;
    bool Stx = false;             // the first byte is STX
    const char* Mac = nullptr;    // the MAC_LEN bytes of the header's MAC
    const uint8_t* Items = nullptr;  // what follows the header
    size_t ItemsLength = 0;
};
FrameView ReadFrame(const uint8_t* data, size_t length);

// The enquiry text of a kind with its closing 0xFF ("ENQ:NETWORK"+0xFF), and
// the whole query frame (STX, text, ETX).  Both return 0 for another kind.
size_t QueryText(int kind, uint8_t* out);
size_t QueryFrame(int kind, uint8_t* out);

// Removes every blank of a NUL-terminated field in place and zero-fills the
// freed tail; returns the characters kept.  Reads no further than width.
size_t StripBlanks(char* field, size_t width = static_cast<size_t>(-1));
