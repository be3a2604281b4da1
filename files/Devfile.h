// Device files: one answer frame per row, in row order, nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/Diskfile.h"
#include "link/Table.h"

// 256 frames of at most 512 bytes are 128 KiB; anything much larger is not a
// device list.
constexpr size_t DEVICE_FILE_MAX = 1024 * 1024;

enum class DeviceFileOutcome {
    Read,           // merged (an empty file merges nothing and is read too)
    CannotRead,     // Reason says why; the table is untouched
    NotDeviceFile,  // not empty, yet no frame a device table takes
};

struct DeviceFileRead {
    DeviceFileOutcome Outcome = DeviceFileOutcome::Read;
    std::string Reason;
    size_t Frames = 0;   // frames merged into the table
    size_t LeftOut = 0;  // devices not taken because the list was full
};

// The bytes of a device file holding these rows.
std::vector<uint8_t> DeviceFileBytes(const std::vector<TDeviceRec>& rows);

// Cuts the bytes into frames at each 0x03 and merges them into the table, as
// answers from the network are merged; bytes after the last 0x03 are no frame.
DeviceFileRead TakeDeviceFileBytes(TmTable& table, std::span<const uint8_t> bytes);

// Replaces the table's rows with those of the file at path.  A file that
// cannot be read whole, or is not a device file, changes nothing.
DeviceFileRead LoadDeviceFile(TmTable& table, const std::string& path);

// Writes the table's rows to path with the rules of ReplaceFile.
FileSave SaveDeviceFile(const TmTable& table, const std::string& path);
