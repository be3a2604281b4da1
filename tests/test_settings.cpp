// The settings file: the port, the targets and the window's place, each read
// and rewritten without losing the rest of the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Support.h"
#include "TempDir.h"
#include "files/File.h"
#include "files/Inifile.h"
#include "files/Windowplace.h"

namespace fs = std::filesystem;

// The port is read from the file (else 8020) and written back only when it
// changes; a value that would add a line or lose its blanks is never written.
TEST(Settings, PortReadAndWrittenBack) {
    const std::tuple<const char*, const char*, int, bool> cases[] = {  // the file, the port, rewritten
        {"no file", nullptr, 8020, true},
        {"same value", "[PORT]\nT-ARC=9000\n", 9000, false},
        {"other letter case", "[port]\nt-arc=7000\n", 7000, false},
        {"not a number", "[PORT]\nT-ARC=abc\n", 8020, true},
        {"no key", "[PORT]\nOTHER=1\n", 8020, true},
    };
    for (const auto& [name, text, port, rewritten] : cases) {
        TempDir dir;
        TmFile files(dir.Path);
        const std::string path = files.SettingsPath();
        if (text != nullptr) WriteFile(path, text);
        struct stat before {}, after {};
        ::stat(path.c_str(), &before);
        files.ReadCommSettings();
        EXPECT_EQ(files.CommPort, port) << name;
        files.WriteCommSettings();
        ::stat(path.c_str(), &after);
        EXPECT_EQ(after.st_ino != before.st_ino, rewritten) << name;
        EXPECT_EQ(ReadIniValue(path, "PORT", "T-ARC"), std::to_string(port)) << name;
    }
    TempDir dir;
    const std::string path = dir.Path + "x.ini";
    EXPECT_EQ(WriteIniValue(path, "WINDOW", "Left", "1\nT-ARC=1"), IniWrite::Failed);
    EXPECT_EQ(WriteIniValue(path, "WINDOW", "Left", " 1"), IniWrite::Failed);
    EXPECT_FALSE(fs::exists(path));
}

// A rewrite changes the one value the reader sees (or adds one line) and keeps
// every other byte.  "{a|b}" stands for a before the rewrite and b after it.
TEST(Settings, RewriteKeepsEveryOtherByte) {
    using namespace std::string_literals;
    const std::pair<const char*, std::string> cases[] = {
        {"empty", "{|[PORT]\nT-ARC=8021\n}"},
        {"stray lines, a repeated key, a NUL",
         "junk\n; note\n[port]\nT-ARC=1\n t-arc = {9000|8021} \n[V]\n[PORT]\nX\0Y=2\n"s},
        // Of a repeated key the last line counts, across sections of the name.
        {"key in a later section of the name", "[PORT]\nA=1\n[V]\nT-ARC=3\n[PORT]\nT-ARC={9000|8021}"},
        // A header without ']' swallows the next line and leaves the section.
        {"header without ']'", "[PORT]\nT-ARC={1|8021}\n[\nT-ARC=2\n[x\nT-ARC=3\n"},
        {"added before a header without ']'", "[PORT]\nA=1\n{|T-ARC=8021\n}[x\nT-ARC=2\n"},
        {"added before a last '['", "[V]\nA=1\n{|[PORT]\nT-ARC=8021\n}[ \n"},
        {"added before a NUL", "[V]\nA=1{|\n[PORT]\nT-ARC=8021\n}\0[PORT]\nT-ARC=1\n"s},
        {"only in another section", "[V]\r\nT-ARC=1{|\r\n[PORT]\r\nT-ARC=8021\r\n}"},
        {"header without line end", "[PORT]{|\nT-ARC=8021\n}"},
        {"byte-order mark", "\xEF\xBB\xBF[PORT]\nT-ARC={1|8021}\n"},
    };
    for (const auto& [name, marked] : cases) {
        const size_t open = marked.find('{'), bar = marked.find('|'), close = marked.find('}');
        const std::string was = marked.substr(open + 1, bar - open - 1);
        const std::string head = marked.substr(0, open), tail = marked.substr(close + 1);
        const std::string before = head + was + tail, after = head + marked.substr(bar + 1, close - bar - 1) + tail;
        EXPECT_EQ(IniValue(before, "PORT", "T-ARC"), was.empty() ? std::nullopt : std::optional(was)) << name;
        EXPECT_EQ(WithIniValue(before, "PORT", "T-ARC", "8021"), after) << name;
        EXPECT_EQ(IniValue(after, "PORT", "T-ARC"), "8021") << name;
    }
}

// A damaged or partial window section reads as no place (the window then
// opens at its drawn size), and writing the place mends it, every other
// section and key of the file kept.
TEST(Settings, WindowPlaceOnlyWholeAndSane) {
    const std::tuple<const char*, const char*, std::optional<WindowPlace>> cases[] = {  // the section, the place read
        {"whole", "Left=-20\nTop=30\nWidth=700\nHeight=520\nMaximized=1\n", WindowPlace{-20, 30, 700, 520, true}},
        {"no Maximized", "Left=1\nTop=2\nWidth=3\nHeight=4", WindowPlace{1, 2, 3, 4, false}},
        {"not numbers", "Left=1x\nTop=0x10\nWidth=3\nHeight=4\n", std::nullopt},
        {"larger than any screen", "Left=1\nTop=2\nWidth=100001\nHeight=4\n", std::nullopt},
        {"beyond an int", "Left=99999999999999999999\nTop=2\nWidth=3\nHeight=4\n", std::nullopt},
        {"no size", "Left=1\nTop=2\nWidth=0\nHeight=-4\n", std::nullopt},
        {"cut short", "Left=1\nTop=2\nWidth=700\nHei", std::nullopt},
    };
    const std::string before = "; site\n[PORT]\nT-ARC=9000\n[WINDOW]\nColumns=MAC,NAME\n";
    for (const auto& [name, section, place] : cases) {
        TempDir dir;
        const std::string path = dir.Path + "x.ini";
        WriteFile(path, before + section);
        EXPECT_EQ(ReadWindowPlace(path), place) << name;
        ASSERT_TRUE(WriteWindowPlace(path, {5, 6, 640, 480, false})) << name;
        EXPECT_EQ(ReadWindowPlace(path), (WindowPlace{5, 6, 640, 480, false})) << name;
        EXPECT_EQ(ReadFile(path).substr(0, before.size()), before) << name;
    }
}

TEST(Settings, UserDataDirFollowsXdg) {
    ::setenv("XDG_DATA_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(UserDataDir(), "/tmp/xdg-test/tarnel/");
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored, as the convention says
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(UserDataDir(), "/home/u/.local/share/tarnel/");
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");  // the account's home, never the root of the file system
    EXPECT_EQ(UserDataDir().rfind("/.local/", 0), std::string::npos) << UserDataDir();
}

TEST(Settings, TargetsAreReadWithBadEntriesNamed) {
    TempDir dir;
    TmFile files(dir.Path);
    WriteFile(files.SettingsPath(), "[PORT]\nT-ARC=8020\ntargets = 10.1.2.255 bogus  10.9.9.9 224.0.0.1\n");
    const TargetList t = files.ReadTargets();
    EXPECT_EQ(t.Addresses.size(), 2u);
    EXPECT_EQ(BadTargetsText(t.Bad), "The settings file lists targets that are not IPv4 addresses a device can have "
                                     "(section PORT, key TARGETS): \"bogus\", \"224.0.0.1\". The other targets are "
                                     "used.");
}
