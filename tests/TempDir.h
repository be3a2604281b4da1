// A scratch folder, removed with all it holds at the end of a test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

struct TempDir {
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnel-test-XXXXXX").string();
        Path = ::mkdtemp(pattern.data()) != nullptr ? pattern + "/" : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(Path, ec);
    }
    std::string Path;  // ends with '/'
};
