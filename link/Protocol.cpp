#include "link/Protocol.h"

#include <cstring>

#define FIELD(key, code, bit) \
    { #key, code, offsetof(TDeviceRec, key), sizeof(TDeviceRec::key) - 1, -1, bit, false }
#define FLAGGED(key, code, bit, strip)                                        \
    { #key, code, offsetof(TDeviceRec, key), sizeof(TDeviceRec::key) - 1,    \
      static_cast<ptrdiff_t>(offsetof(TDeviceRec, Has##key)), bit, strip }

const KeyField KeyFields[KEY_COUNT] = {
    {"INFO", 0, 0, 0, -1, 0, false},
    {"MAC", 1, 0, 0, -1, 0, false},
    FIELD(MODEL, 2, CHG_DEVICE),
    FIELD(TARCID, 3, CHG_DEVICE),
    FIELD(SERIAL, 4, CHG_DEVICE),
    FLAGGED(YMDHM, 18, CHG_DATE, false),
    FLAGGED(GMT, 19, CHG_DATE, false),
    FLAGGED(IPADRM, 34, CHG_NETWORK, true),
    FLAGGED(IPADRB, 35, CHG_NETWORK, true),
    FLAGGED(GPID, 36, CHG_NETWORK, false),
    FLAGGED(TERM, 37, CHG_NETWORK, false),
    FLAGGED(LOG, 38, CHG_NETWORK, false),
    FLAGGED(GWAY, 39, CHG_NETWORK, true),
    FLAGGED(MASK, 40, CHG_NETWORK, true),
    FLAGGED(OPTIP, 41, CHG_NETWORK, true),
    FLAGGED(OPT1, 42, CHG_NETWORK, false),
    FLAGGED(OPT2, 43, CHG_NETWORK, false),
    FLAGGED(OPT3, 44, CHG_NETWORK, false),
    FLAGGED(TOUT, 45, CHG_NETWORK, false),
    FLAGGED(TRAP1, 46, CHG_NETWORK, true),
    FLAGGED(TRAP2, 47, CHG_NETWORK, true),
    FLAGGED(CONT, 50, CHG_INFO, false),
    FLAGGED(NAME, 51, CHG_INFO, false),
    FLAGGED(LOC, 52, CHG_INFO, false),
    FLAGGED(UNIQ, 53, CHG_INFO, false),
    FLAGGED(OPTIP2, 65, CHG_NETWORK, true),
    FLAGGED(OPTIP3, 66, CHG_NETWORK, true),
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
// is free of collisions for the 27 keys (a test holds it to that).
constexpr size_t HASH_SLOTS = 128;
size_t KeyHash(const char* name, size_t len) {
    return (len * 3 + static_cast<uint8_t>(name[0]) * 8u + static_cast<uint8_t>(name[len - 1]) +
            static_cast<uint8_t>(name[len - 2])) & (HASH_SLOTS - 1);
}

struct KeySlots {
    int8_t Index[HASH_SLOTS];
    KeySlots() {
        std::memset(Index, -1, sizeof Index);
        for (int i = 0; i < KEY_COUNT; ++i) Index[KeyHash(KeyFields[i].Name, std::strlen(KeyFields[i].Name))] = static_cast<int8_t>(i);
    }
};
}  // namespace

bool KeyHashIsPerfect() {
    bool used[HASH_SLOTS] = {};
    for (const KeyField& f : KeyFields) {
        const size_t h = KeyHash(f.Name, std::strlen(f.Name));
        if (used[h]) return false;
        used[h] = true;
    }
    return true;
}

int FindKey(const TKeyEntry* table, const char* name, size_t len) {
    static const KeySlots slots;
    if (len < 2) return -1;
    const int i = slots.Index[KeyHash(name, len)];
    if (i < 0 || table[i].Len != len) return -1;
    for (size_t c = 0; c < len; ++c)  // keys are short: no call for the comparison
        if (table[i].Name[c] != name[c]) return -1;
    return i;
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
