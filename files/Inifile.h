// One key of an initialisation file, read and written without disturbing the
// rest of the file: its other lines, comments, repeated sections and keys,
// line ends and even stray bytes stay exactly as they were.
//
// Values are read by SimpleIni (CSimpleIniA: names match in any letter case,
// sections of the same name are one section, and of a key given more than
// once the last line counts).  A write changes that same line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Larger files are not settings files and read as empty.
constexpr size_t INI_FILE_MAX = 64 * 1024;

std::optional<std::string> IniValue(std::string_view text, std::string_view section, std::string_view key);

// text with the key set to value: its line changed in place, or a line added
// at the end of the section, or the section added at the end of the text.
std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// Only a regular file of at most INI_FILE_MAX bytes is read; anything else
// reads as an empty file.
std::optional<std::string> ReadIniValue(const std::string& path, std::string_view section, std::string_view key);

enum class IniWrite {
    Unchanged,  // the file already held that value: not touched
    Written,
    Failed,  // not written: the file exists but cannot be read, cannot be
             // replaced, or the value cannot be held on one line as it is
};

// Stores the value with the save rules of ReplaceFile, creating the file when
// it is missing.
IniWrite WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value);
