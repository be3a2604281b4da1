// Any bytes as a device file: cut into frames and merged without harm.
#include "Devfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TmTable table;
    table.DeleteRow(NO_ROW);
    TakeDeviceFileBytes(table, {data, size});
    if (table.Count() > 256) __builtin_trap();
    // What was read must save and read back to the same table.
    const auto rows = table.Rows();
    const std::vector<uint8_t> saved = DeviceFileBytes(rows);
    table.DeleteRow(NO_ROW);
    TakeDeviceFileBytes(table, saved);
    if (table.Rows().size() != rows.size()) __builtin_trap();
    return 0;
}
