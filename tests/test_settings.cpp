// Program directories and the communication settings file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "files/File.h"
#include "files/Inifile.h"
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
    TmFile files(dir.Path);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path + "HELP"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path + "DATA"));
    TmFile again(dir.Path);  // existing directories are fine
}

TEST(Settings, PlainFileNamedDataEndsTheStart) {
    TempDir dir;
    WriteText(dir.Path + "DATA", "not a directory");
    try {
        TmFile files(dir.Path);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot create Vantry Software Data directory.");
    }
}

TEST(Settings, HelpDirectoryFailureComesFirst) {
    TempDir dir;
    WriteText(dir.Path + "HELP", "x");
    WriteText(dir.Path + "DATA", "x");
    try {
        TmFile files(dir.Path);
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
        TmFile files(dir.Path);
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

// A rewrite changes the one value the reader sees (or adds one line) and keeps
// every other byte.
TEST(Settings, RewriteKeepsEveryOtherByte) {
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string before;
        const char* read;  // what the key holds before, nullptr: absent
        std::string after;
    };
    const Case cases[] = {
        {"empty", "", nullptr, "[PORT]\nT-ARC=8021\n"},
        {"plain", "[PORT]\nT-ARC=9000\n", "9000", "[PORT]\nT-ARC=8021\n"},
        {"stray lines, a repeated key, a NUL", "junk\n; note\n[port]\nT-ARC=1\n t-arc = 9000 \n[V]\n[PORT]\nX\0Y=2\n"s,
         "9000", "junk\n; note\n[port]\nT-ARC=1\n t-arc = 8021 \n[V]\n[PORT]\nX\0Y=2\n"s},
        // Of a repeated key the last line counts, across sections of the name.
        {"repeats in other letter cases", "[port]\nT-ARC=1\n[V]\nt-arc=2\n[Port]\nt-Arc=3\n T-ARC = 4 \n[PORT]\nX=1\n",
         "4", "[port]\nT-ARC=1\n[V]\nt-arc=2\n[Port]\nt-Arc=3\n T-ARC = 8021 \n[PORT]\nX=1\n"},
        {"lone CR ends a line", "[PORT]\rT-ARC=1\rT-ARC=2", "2", "[PORT]\rT-ARC=1\rT-ARC=8021"},
        // A header without ']' swallows the next line and leaves the section.
        {"header without ']'", "[PORT]\nT-ARC=1\n[\nT-ARC=2\n[x\nT-ARC=3\n", "1",
         "[PORT]\nT-ARC=8021\n[\nT-ARC=2\n[x\nT-ARC=3\n"},
        {"added before a header without ']'", "[PORT]\nA=1\n[x\nT-ARC=2\n", nullptr,
         "[PORT]\nA=1\nT-ARC=8021\n[x\nT-ARC=2\n"},
        {"added before a last '['", "[V]\nA=1\n[ \n", nullptr, "[V]\nA=1\n[PORT]\nT-ARC=8021\n[ \n"},
        {"header over two lines", "[\n PORT ]\nT-ARC=1\n", "1", "[\n PORT ]\nT-ARC=8021\n"},
        {"added before a NUL", "[V]\nA=1\0[PORT]\nT-ARC=1\n"s, nullptr, "[V]\nA=1\n[PORT]\nT-ARC=8021\n\0[PORT]\nT-ARC=1\n"s},
        {"key in a later section of the name", "[PORT]\nA=1\n[V]\nT-ARC=3\n[PORT]\nT-ARC=9000", "9000",
         "[PORT]\nA=1\n[V]\nT-ARC=3\n[PORT]\nT-ARC=8021"},
        {"added at the end of its section", "[PORT]\nA=1\n\n[V]\nW=1", nullptr, "[PORT]\nA=1\nT-ARC=8021\n\n[V]\nW=1"},
        {"only in another section", "[V]\r\nT-ARC=1", nullptr, "[V]\r\nT-ARC=1\r\n[PORT]\r\nT-ARC=8021\r\n"},
        {"header without line end", "[PORT]", nullptr, "[PORT]\nT-ARC=8021\n"},
        {"commented out", "[PORT]\n;T-ARC=1\n", nullptr, "[PORT]\n;T-ARC=1\nT-ARC=8021\n"},
        {"byte-order mark", "\xEF\xBB\xBF[PORT]\nT-ARC=1\n", "1", "\xEF\xBB\xBF[PORT]\nT-ARC=8021\n"},
    };
    for (const Case& c : cases) {
        const auto read = IniValue(c.before, "PORT", "T-ARC");
        EXPECT_EQ(read.has_value(), c.read != nullptr) << c.name;
        if (read && c.read) {
            EXPECT_EQ(*read, c.read) << c.name;
        }
        EXPECT_EQ(WithIniValue(c.before, "PORT", "T-ARC", "8021"), c.after) << c.name;
        EXPECT_EQ(IniValue(c.after, "PORT", "T-ARC"), "8021") << c.name;
    }
}

// Only a regular file of sane size is read or replaced; anything else reads as
// missing (port 8020) and stays as it is.  A file that already holds the value
// is not rewritten at all.
TEST(Settings, OnlyASaneRegularFileIsReadOrWritten) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        int port;
        bool replaced;
    };
    const Case cases[] = {
        {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, 8020, false},
        {"directory", [](const std::string& p) { std::filesystem::create_directory(p); }, 8020, false},
        {"huge", [](const std::string& p) { WriteText(p, "[PORT]\nT-ARC=9000\n" + std::string(INI_FILE_MAX, ';')); },
         8020, false},
        {"same value", [](const std::string& p) { WriteText(p, "[PORT]\nT-ARC=9000\n"); }, 9000, false},
        {"other value", [](const std::string& p) { WriteText(p, "[PORT]\nT-ARC=x\n"); }, 8020, true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        TmFile files(dir.Path);
        c.make(files.SettingsPath());
        struct stat before {};
        ::lstat(files.SettingsPath().c_str(), &before);
        const std::string text = S_ISREG(before.st_mode) ? ReadText(files.SettingsPath()) : "";
        files.ReadCommSettings();
        EXPECT_EQ(files.CommPort, c.port) << c.name;
        files.WriteCommSettings();
        struct stat after {};
        ::lstat(files.SettingsPath().c_str(), &after);
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
        EXPECT_EQ(after.st_ino != before.st_ino, c.replaced) << c.name;
        if (!c.replaced && S_ISREG(before.st_mode)) {
            EXPECT_EQ(ReadText(files.SettingsPath()), text) << c.name;
        }
    }
    TempDir dir;
    const std::string path = dir.Path + "x.ini";
    EXPECT_EQ(WriteIniValue(path, "WINDOW", "Left", "1\nT-ARC=1"), IniWrite::Failed);
    EXPECT_EQ(WriteIniValue(path, "WINDOW", "Left", " 1"), IniWrite::Failed);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(WriteIniValue(path, "WINDOW", "Left", "10"), IniWrite::Written);
    EXPECT_EQ(ReadIniValue(path, "window", "LEFT"), "10");
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

TEST(Settings, AnAccountTheSystemDoesNotKnowHasNoDataDir) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can become an unknown account";
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    const pid_t child = ::fork();
    if (child == 0) ::_exit(::setuid(54321) == 0 && UserDataDir().empty() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(Settings, TargetsAreReadWithBadEntriesNamed) {
    TempDir dir;
    TmFile files(dir.Path);
    EXPECT_TRUE(files.ReadTargets().Addresses.empty()) << "no file, no targets";
    WriteText(files.SettingsPath(), "[PORT]\nT-ARC=8020\ntargets = 10.1.2.255 bogus  10.9.9.9 10.1.2 224.0.0.1\n");
    const TargetList t = files.ReadTargets();
    EXPECT_EQ(t.Addresses.size(), 2u);
    EXPECT_EQ(t.Bad, (std::vector<std::string>{"bogus", "10.1.2", "224.0.0.1"}));
    EXPECT_EQ(BadTargetsText(t.Bad), "The settings file lists targets that are not IPv4 addresses a device can have "
                                     "(section PORT, key TARGETS): \"bogus\", \"10.1.2\", \"224.0.0.1\". The other "
                                     "targets are used.");
}
