// Where a device's datagrams come from, and which interfaces a frame leaves by.
// Both are kept beside a row for the run, never in its record or a device file.
#pragma once

#include <cstdint>

// Interfaces by index; none named means every interface.
struct Outlets {
    static constexpr int MAX = 8;
    unsigned Index[MAX]{};
    int Count = 0;

    bool Has(unsigned index) const {
        for (int i = 0; i < Count; ++i)
            if (Index[i] == index) return true;
        return false;
    }
    // A device heard on more interfaces than MAX is reached on the first MAX.
    void Add(unsigned index) {
        if (index != 0 && Count < MAX && !Has(index)) Index[Count++] = index;
    }
};

// The interface a datagram arrived on (0: not known) and its sender's IPv4
// address in network order.
struct Origin {
    unsigned IfIndex = 0;
    uint32_t Source = 0;
};
