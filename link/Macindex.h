// The table's rows by their MAC: finding a device's row, or that it has none,
// costs the same with one row as with 255.  Byte-exact, as every MAC lookup.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/Record.h"

class MacIndex {
public:
    MacIndex() { Clear(); }

    // The row among rows whose MAC is the MAC_LEN bytes at mac, or -1.
    int Find(const char* mac, const TDeviceRec* rows) const;
    // row must not be in the index yet.
    void Add(const char* mac, int row);
    void Clear();
    // After rows moved or a MAC changed: the first count rows, afresh.
    void Rebuild(const TDeviceRec* rows, int count);

private:
    static constexpr size_t SLOTS = 2 * TABLE_SLOTS;  // half empty at most: probes stay short
    static size_t Home(const char* mac);
    int16_t Slot[SLOTS];
};
