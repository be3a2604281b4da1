// Any bytes as an answer frame: the table must stay within its bounds.
#include <cstddef>
#include <cstdint>

#include "link/Table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TmTable table;
    if (size > 0xFFFF) return 0;
    // The first byte picks whether new devices may be added, so both paths run.
    if (size > 0) table.SetNoAddUnknown((data[0] & 1) != 0 && table.Count() > 0);
    table.MergeAnswer(data, static_cast<uint16_t>(size));
    if (table.Count() > 256) __builtin_trap();
    if (table.Count() == 256) table.DeleteRow(NO_ROW);
    return 0;
}
