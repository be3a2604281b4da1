// Any bytes as a device file: cut into frames and merged without harm, and
// whatever table they make saves and opens again to the very same rows.
#include <cstring>

#include "files/Devfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TmTable table;
    table.DeleteRow(NO_ROW);
    TakeDeviceFileBytes(table, {data, size});
    if (table.Count() > 256) __builtin_trap();

    const auto rows = table.Rows();
    const std::vector<uint8_t> saved = DeviceFileBytes(rows);
    table.DeleteRow(NO_ROW);
    TakeDeviceFileBytes(table, saved);
    const auto reopened = table.Rows();
    if (reopened.size() != rows.size()) __builtin_trap();
    for (size_t i = 0; i < rows.size(); ++i)
        if (std::memcmp(&rows[i], &reopened[i], sizeof(TDeviceRec)) != 0) __builtin_trap();
    return 0;
}
