// Whole-file reads with a size cap and whole-file replacement that never
// leaves a half-written file in place of a good one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class ReadOutcome { Read, Missing, CannotRead };

struct FileRead {
    ReadOutcome Outcome = ReadOutcome::CannotRead;
    std::string Reason;  // plain words for a message when not Read
    std::vector<uint8_t> Bytes;
};

// Reads a regular file of at most cap bytes whole.  Anything else (a folder, a
// pipe, a device, a larger file, a read error) is refused without blocking.
FileRead ReadCappedFile(const std::string& path, size_t cap);

struct FileSave {
    bool Saved = false;
    std::string Reason;  // plain words when not Saved
};

// Replaces the file at path with bytes.  A symbolic link is followed and its
// target replaced; an existing file keeps its mode.  The new bytes go to a
// temporary beside the target and are renamed over it once synced; only where
// the folder refuses a new file is the file rewritten in place.
FileSave ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);
