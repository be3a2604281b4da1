// Program directories and the communication settings file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "File.h"
#include "TempDir.h"

namespace {
void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
std::string ReadText(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
}
}  // namespace

TEST(Settings, DirectoriesCreatedBesideTheProgram) {
    TempDir dir;
    TmTable table;
    TmFile files(table, dir.Path);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path + "HELP"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path + "DATA"));
    TmFile again(table, dir.Path);  // existing directories are fine
}

TEST(Settings, PlainFileNamedDataEndsTheStart) {
    TempDir dir;
    WriteText(dir.Path + "DATA", "not a directory");
    TmTable table;
    try {
        TmFile files(table, dir.Path);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot create Vantry Software Data directory.");
    }
}

TEST(Settings, HelpDirectoryFailureComesFirst) {
    TempDir dir;
    WriteText(dir.Path + "HELP", "x");
    WriteText(dir.Path + "DATA", "x");
    TmTable table;
    try {
        TmFile files(table, dir.Path);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot create Vantry Software Help directory.");
    }
}

TEST(Settings, ReadAndWriteBack) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: no file
        int port;
    };
    const Case cases[] = {
        {"no file", nullptr, 8020},
        {"9000", "[PORT]\nT-ARC=9000\n", 9000},
        {"abc", "[PORT]\nT-ARC=abc\n", 8020},
        {"empty", "[PORT]\nT-ARC=\n", 8020},
        {"other letter case", "[port]\nt-arc=7000\n", 7000},
        {"no key", "[PORT]\nOTHER=1\n", 8020},
    };
    for (const Case& c : cases) {
        TempDir dir;
        TmTable table;
        TmFile files(table, dir.Path);
        if (c.file != nullptr) WriteText(files.SettingsPath(), c.file);
        files.ReadCommSettings();
        EXPECT_EQ(files.CommPort, c.port) << c.name;
        files.WriteCommSettings();
        files.CommPort = 0;
        files.ReadCommSettings();
        EXPECT_EQ(files.CommPort, c.port) << c.name << ": written back";
        EXPECT_EQ(ReadText(files.SettingsPath()).find("abc"), std::string::npos) << c.name;
    }
}

TEST(Settings, OtherSectionsAndKeysSurviveAWrite) {
    TempDir dir;
    TmTable table;
    TmFile files(table, dir.Path);
    WriteText(files.SettingsPath(), "[VIEW]\nWidth=640\n[PORT]\nT-ARC=9000\nSpeed=fast\n");
    files.ReadCommSettings();
    files.CommPort = 8021;
    files.WriteCommSettings();
    const std::string text = ReadText(files.SettingsPath());
    EXPECT_NE(text.find("Width"), std::string::npos);
    EXPECT_NE(text.find("640"), std::string::npos);
    EXPECT_NE(text.find("Speed"), std::string::npos);
    EXPECT_NE(text.find("8021"), std::string::npos);
    EXPECT_EQ(text.find("9000"), std::string::npos);
}

TEST(Settings, UserDataDirFollowsXdg) {
    ::setenv("XDG_DATA_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(UserDataDir(), "/tmp/xdg-test/tarnel/");
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored, as the convention says
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(UserDataDir(), "/home/u/.local/share/tarnel/");
    ::unsetenv("XDG_DATA_HOME");
}
