// Any bytes as a device file: cut into frames and merged without harm.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "File.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TmTable table;
    static TmFile files(table, "/tmp/tarnel-fuzz/");
    static const std::string path = "/tmp/tarnel-fuzz/DATA/fuzz-" + std::to_string(::getpid()) + ".dat";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    table.DeleteRow(NO_ROW);
    files.ReadDeviceFile(path);
    if (table.Count() > 256) __builtin_trap();
    // What was read must save and read back to the same table.
    if (files.WriteDeviceFile(path)) {
        const auto rows = table.Rows();
        table.DeleteRow(NO_ROW);
        files.ReadDeviceFile(path);
        if (table.Rows().size() != rows.size()) __builtin_trap();
    }
    return 0;
}
