// Any bytes as a device file: cut into frames and merged without harm, and
// whatever table they make saves and opens again to the very same rows.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "File.h"

namespace {
bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TmTable table;
    static TmFile files(table, "/tmp/tarnel-fuzz/");
    static const std::string path = "/tmp/tarnel-fuzz/DATA/fuzz-" + std::to_string(::getpid()) + ".dat";
    if (!WriteFile(path, data, size)) return 0;
    table.DeleteRow(NO_ROW);
    files.ReadDeviceFile(path);
    if (table.Count() > 256) __builtin_trap();

    const auto rows = table.Rows();
    const std::vector<uint8_t> saved = DeviceFileBytes(rows);
    if (!WriteFile(path, saved.data(), saved.size())) return 0;
    table.DeleteRow(NO_ROW);
    files.ReadDeviceFile(path);
    const auto reopened = table.Rows();
    if (reopened.size() != rows.size()) __builtin_trap();
    for (size_t i = 0; i < rows.size(); ++i)
        if (std::memcmp(&rows[i], &reopened[i], sizeof(TDeviceRec)) != 0) __builtin_trap();
    return 0;
}
