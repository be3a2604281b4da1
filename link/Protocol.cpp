#include "link/Protocol.h"

#include <cstring>

#define FIELD(key, bit) \
    { #key, sizeof #key - 1, offsetof(TDeviceRec, key), sizeof(TDeviceRec::key) - 1, -1, bit, false }
#define FLAGGED(key, bit, strip)                                                                          \
    { #key, sizeof #key - 1, offsetof(TDeviceRec, key), sizeof(TDeviceRec::key) - 1,                     \
      static_cast<ptrdiff_t>(offsetof(TDeviceRec, Has##key)), bit, strip }

const KeyField KeyFields[KEY_COUNT] = {
    {"INFO", 4, 0, 0, -1, 0, false},
    {"MAC", 3, 0, 0, -1, 0, false},
    FIELD(MODEL, CHG_DEVICE),
    FIELD(TARCID, CHG_DEVICE),
    FIELD(SERIAL, CHG_DEVICE),
    FLAGGED(YMDHM, CHG_DATE, false),
    FLAGGED(GMT, CHG_DATE, false),
    FLAGGED(IPADRM, CHG_NETWORK, true),
    FLAGGED(IPADRB, CHG_NETWORK, true),
    FLAGGED(GPID, CHG_NETWORK, false),
    FLAGGED(TERM, CHG_NETWORK, false),
    FLAGGED(LOG, CHG_NETWORK, false),
    FLAGGED(GWAY, CHG_NETWORK, true),
    FLAGGED(MASK, CHG_NETWORK, true),
    FLAGGED(OPTIP, CHG_NETWORK, true),
    FLAGGED(OPT1, CHG_NETWORK, false),
    FLAGGED(OPT2, CHG_NETWORK, false),
    FLAGGED(OPT3, CHG_NETWORK, false),
    FLAGGED(TOUT, CHG_NETWORK, false),
    FLAGGED(TRAP1, CHG_NETWORK, true),
    FLAGGED(TRAP2, CHG_NETWORK, true),
    FLAGGED(CONT, CHG_INFO, false),
    FLAGGED(NAME, CHG_INFO, false),
    FLAGGED(LOC, CHG_INFO, false),
    FLAGGED(UNIQ, CHG_INFO, false),
    FLAGGED(OPTIP2, CHG_NETWORK, true),
    FLAGGED(OPTIP3, CHG_NETWORK, true),
};

namespace {
const int kNetworkKeys[] = {KEY_IPADRM, KEY_IPADRB, KEY_GPID,   KEY_TERM,   KEY_LOG,  KEY_GWAY,
                            KEY_MASK,   KEY_OPTIP,  KEY_OPTIP2, KEY_OPTIP3, KEY_OPT1, KEY_OPT2,
                            KEY_OPT3,   KEY_TOUT,   KEY_TRAP1,  KEY_TRAP2,  -1};
const int kInfoKeys[] = {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ, -1};
const int kDateKeys[] = {KEY_YMDHM, KEY_GMT, -1};
const int kNoKeys[] = {-1};

const char* const kQueryTexts[] = {"ENQ:NETWORK", "ENQ:DEVINFO", "ENQ:DATE"};
}  // namespace

const int FileOrder[22] = {KEY_YMDHM, KEY_GMT,    KEY_IPADRM, KEY_IPADRB, KEY_GPID,  KEY_TERM,
                           KEY_LOG,   KEY_GWAY,   KEY_MASK,   KEY_OPTIP,  KEY_OPTIP2, KEY_OPTIP3,
                           KEY_OPT1,  KEY_OPT2,   KEY_OPT3,   KEY_TOUT,   KEY_TRAP1, KEY_TRAP2,
                           KEY_CONT,  KEY_NAME,   KEY_LOC,    KEY_UNIQ};

const int* SetKeysOf(int kind) {
    switch (kind) {
        case KIND_NETWORK: return kNetworkKeys;
        case KIND_DEVINFO: return kInfoKeys;
        case KIND_DATE: return kDateKeys;
        default: return kNoKeys;
    }
}

namespace {
// Every answer item's key is looked up, so keys go through a small hash that
// is free of collisions for the 27 keys (a test finds every key).
constexpr size_t HASH_SLOTS = 128;
size_t KeyHash(const char* name, size_t len) {
    return (len * 3 + static_cast<uint8_t>(name[0]) * 8u + static_cast<uint8_t>(name[len - 1]) +
            static_cast<uint8_t>(name[len - 2])) & (HASH_SLOTS - 1);
}

// The keys by their hash, each with its text at hand rather than behind a pointer.
struct KeySlots {
    int8_t Index[HASH_SLOTS];
    struct {
        char Name[8];
        uint8_t Length;
    } Keys[KEY_COUNT];
    KeySlots() {
        std::memset(Index, -1, sizeof Index);
        for (int i = 0; i < KEY_COUNT; ++i) {
            Keys[i].Length = KeyFields[i].NameLength;
            std::memcpy(Keys[i].Name, KeyFields[i].Name, Keys[i].Length);
            Index[KeyHash(KeyFields[i].Name, Keys[i].Length)] = static_cast<int8_t>(i);
        }
    }
};
}  // namespace

int FindKey(const char* name, size_t len) {
    static const KeySlots slots;
    if (len < 2) return -1;
    const int i = slots.Index[KeyHash(name, len)];
    if (i < 0 || slots.Keys[i].Length != len) return -1;
    for (size_t c = 0; c < len; ++c)  // keys are short: no call for the comparison
        if (slots.Keys[i].Name[c] != name[c]) return -1;
    return i;
}

FrameView ReadFrame(const uint8_t* data, size_t length) {
    FrameView f;
    if (data == nullptr || length < FRAME_ITEMS_AT) return f;
    const auto says = [&](const char* word) { return std::memcmp(data + 1, word, 3) == 0; };
    f.Word = says("MAC")   ? FrameWord::Mac
             : says("ACK") ? FrameWord::Ack
             : says("NAK") ? FrameWord::Nak
                           : FrameWord::Other;
    f.Stx = data[0] == STX;
    f.Mac = reinterpret_cast<const char*>(data + 5);
    f.Items = data + FRAME_ITEMS_AT;
    f.ItemsLength = length - FRAME_ITEMS_AT;
    return f;
}

size_t QueryText(int kind, uint8_t* out) {
    if (kind < KIND_NETWORK || kind > KIND_DATE) return 0;
    const size_t n = std::strlen(kQueryTexts[kind]);
    std::memcpy(out, kQueryTexts[kind], n);
    out[n] = ITEM_END;
    return n + 1;
}

size_t QueryFrame(int kind, uint8_t* out) {
    const size_t n = QueryText(kind, out + 1);
    if (n == 0) return 0;
    out[0] = STX;
    out[n + 1] = ETX;
    return n + 2;
}

size_t StripBlanks(char* field, size_t width) {
    size_t kept = 0, i = 0;
    for (; i < width && field[i] != '\0'; ++i)
        if (field[i] != ' ') field[kept++] = field[i];
    for (size_t j = kept; j < i; ++j) field[j] = '\0';
    return kept;
}

bool IsBroadcastMac(const char* mac) {
    for (int i = 0; i < MAC_LEN; ++i) {
        char c = mac[i];
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        if (c != BROADCAST_MAC[i]) return false;
    }
    return true;
}
