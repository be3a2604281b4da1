#include "link/Macindex.h"

#include <cstring>

// The MAC's 17 bytes as two words and a byte, mixed so that MACs differing in
// their last characters land far apart.
size_t MacIndex::Home(const char* mac) {
    uint64_t a, b;
    std::memcpy(&a, mac, 8);
    std::memcpy(&b, mac + 8, 8);
    uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + static_cast<uint8_t>(mac[16])) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    return static_cast<size_t>(h) & (SLOTS - 1);
}

int MacIndex::Find(const char* mac, const TDeviceRec* rows) const {
    for (size_t i = Home(mac);; i = (i + 1) & (SLOTS - 1)) {
        const int row = Slot[i];
        if (row < 0 || std::memcmp(rows[row].MAC, mac, MAC_LEN) == 0) return row;
    }
}

void MacIndex::Add(const char* mac, int row) {
    size_t i = Home(mac);
    while (Slot[i] >= 0) i = (i + 1) & (SLOTS - 1);
    Slot[i] = static_cast<int16_t>(row);
}

void MacIndex::Clear() {
    for (int16_t& s : Slot) s = -1;
}

void MacIndex::Rebuild(const TDeviceRec* rows, int count) {
    Clear();
    for (int row = 0; row < count; ++row) Add(rows[row].MAC, row);
}
