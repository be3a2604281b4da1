// Device files: the exact bytes, the round trip and the safe replacement.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>

#include "files/Devfile.h"
#include "files/File.h"
#include "Frames.h"
#include "TempDir.h"

namespace {
std::string ReadAll(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}
void WriteAll(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

struct FileRig {
    FileRig() : Files(Dir.Path) {}
    void Take(const Bytes& b) { Table.TakeAnswer(b.data(), static_cast<uint16_t>(b.size())); }
    std::string Path(const char* name) { return Files.DataDir() + name; }
    bool Save(const std::string& path) const { return SaveDeviceFile(Table, path).Saved; }
    TempDir Dir;
    TmTable Table;
    TmFile Files;
};

const std::string FF = "\xFF";
const std::string kWorked = "\x02MAC:02-00-00-00-00-01" + FF + "MODEL:UNIT-A" + FF + "TARCID:001" + FF +
                            "SERIAL:12345" + FF + "IPADRM:192.168.0.10" + FF + "\x03";
}  // namespace

TEST(DeviceFile, WorkedExampleByteForByte) {
    FileRig rig;
    rig.Take(Answer("02-00-00-00-00-01", {"MODEL:UNIT-A", "TARCID:001", "SERIAL:12345", "IPADRM:192.168.0.10"}));
    ASSERT_TRUE(rig.Save(rig.Path("one.dat")));
    EXPECT_EQ(ReadAll(rig.Path("one.dat")), kWorked);
    EXPECT_EQ(kWorked.size(), 81u);
}

TEST(DeviceFile, EmptyTableAndEmptyFixedFields) {
    FileRig rig;
    ASSERT_TRUE(rig.Save(rig.Path("empty.dat")));
    EXPECT_EQ(ReadAll(rig.Path("empty.dat")), "");
    LoadDeviceFile(rig.Table, rig.Path("empty.dat"));
    EXPECT_EQ(rig.Table.Count(), 0);
    rig.Take(Answer("02-00-00-00-00-01", {}));
    rig.Save(rig.Path("bare.dat"));
    EXPECT_EQ(ReadAll(rig.Path("bare.dat")),
              "\x02MAC:02-00-00-00-00-01" + FF + "MODEL:" + FF + "TARCID:" + FF + "SERIAL:" + FF + "\x03");
}

TEST(DeviceFile, RoundTripKeepsEveryFieldFlagAndOrder) {
    FileRig rig;
    for (int i = 0; i < 5; ++i) {
        std::vector<std::string> items = {"MODEL:m" + std::to_string(i), "SERIAL:s"};
        // Each device reports a different set of keys.
        for (int key = KEY_YMDHM; key < KEY_COUNT; ++key)
            if ((key + i) % 3 != 0) items.push_back(std::string(KeyFields[key].Name) + ":v" + std::to_string(key));
        rig.Take(Answer(MacOf(10 - i), items));
    }
    // Values holding the bytes that end a frame in the file: before they were
    // cut on merging, this one reopened as a second device that never answered.
    rig.Take(Answer(MacOf(20), {"MODEL:mid\x03\x02MAC:02-00-00-00-00-99", "NAME:n\x02" "x", "TOUT:\x03"}));
    const auto before = rig.Table.Rows();
    ASSERT_TRUE(rig.Save(rig.Path("all.dat")));
    rig.Table.DeleteRow(NO_ROW);
    LoadDeviceFile(rig.Table, rig.Path("all.dat"));
    const auto after = rig.Table.Rows();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(0, std::memcmp(&before[i], &after[i], sizeof(TDeviceRec))) << "row " << i;
}

TEST(DeviceFile, ReadingCases) {
    struct Case {
        const char* name;
        std::string bytes;
        int rows;
        size_t leftOut = 0;
    };
    std::string three;
    for (int i = 0; i < 300; ++i)
        three += "\x02MAC:" + MacOf(i) + FF + "MODEL:m" + FF + "\x03";
    const Case cases[] = {
        {"truncated last frame", kWorked + kWorked.substr(0, 40), 1},
        {"two frames one MAC", kWorked + "\x02MAC:02-00-00-00-00-01" + FF + "MODEL:B" + FF + "\x03", 1},
        {"300 frames", three + three, 256, 44},
        {"frame without MAC", "\x02XYZ:02-00-00-00-00-01" + FF + "\x03" + kWorked, 1},
        {"short frame", "\x02MAC:1\x03" + kWorked, 1},
        {"broadcast MAC", "\x02MAC:ff-FF-ff-FF-ff-FF" + FF + "MODEL:all" + FF + "\x03" + kWorked, 1},
    };
    for (const Case& c : cases) {
        FileRig rig;
        WriteAll(rig.Path("x.dat"), c.bytes);
        const DeviceFileRead read = LoadDeviceFile(rig.Table, rig.Path("x.dat"));
        EXPECT_EQ(rig.Table.Count(), c.rows) << c.name;
        EXPECT_EQ(read.LeftOut, c.leftOut) << c.name;
    }
    FileRig rig;
    WriteAll(rig.Path("x.dat"), kWorked + "\x02MAC:02-00-00-00-00-01" + FF + "MODEL:B" + FF + "\x03");
    LoadDeviceFile(rig.Table, rig.Path("x.dat"));
    TDeviceRec r{};
    rig.Table.CopyRow(0, r);
    EXPECT_STREQ(r.MODEL, "B") << "the later frame wins where it has a value";
    EXPECT_STREQ(r.IPADRM, "192.168.0.10");
}

// Only a regular file of sane size is read, without blocking; one that cannot
// be read whole, or holds no device frame, leaves the list as it was.
TEST(DeviceFile, OnlyAReadableDeviceFileReplacesTheList) {
    struct Case {
        const char* name;
        std::function<std::string(FileRig&)> make;  // gives the path
        DeviceFileOutcome outcome;
        const char* reason;
        int rows;  // afterwards; the list held one device before
    };
    const auto file = [](const std::string& bytes) {
        return [bytes](FileRig& rig) {
            WriteAll(rig.Path("x.dat"), bytes);
            return rig.Path("x.dat");
        };
    };
    const Case cases[] = {
        {"missing", [](FileRig& rig) { return rig.Path("missing.dat"); }, DeviceFileOutcome::CannotRead,
         "it does not exist", 1},
        {"folder", [](FileRig& rig) { return rig.Files.DataDir(); }, DeviceFileOutcome::CannotRead, "it is a folder", 1},
        {"fifo",
         [](FileRig& rig) {
             ::mkfifo(rig.Path("f.dat").c_str(), 0600);
             return rig.Path("f.dat");
         },
         DeviceFileOutcome::CannotRead, "it is not a regular file", 1},
        {"endless device", [](FileRig&) { return std::string("/dev/zero"); }, DeviceFileOutcome::CannotRead,
         "it is not a regular file", 1},
        {"too large", file(kWorked + std::string(DEVICE_FILE_MAX, 'z')), DeviceFileOutcome::CannotRead,
         "it is larger than 1 MiB", 1},
        {"foreign bytes", file(std::string(5000, '\x03')), DeviceFileOutcome::NotDeviceFile, "it is not a device file", 1},
        {"empty", file(""), DeviceFileOutcome::Read, "", 0},
        {"three devices", file(kWorked + "\x02MAC:" + MacOf(7) + FF + "\x03\x02MAC:" + MacOf(8) + FF + "\x03"),
         DeviceFileOutcome::Read, "", 3},
    };
    for (const Case& c : cases) {
        FileRig rig;
        rig.Take(Answer(MacOf(99), {"MODEL:before"}));
        const DeviceFileRead read = LoadDeviceFile(rig.Table, c.make(rig));
        EXPECT_EQ(read.Outcome, c.outcome) << c.name;
        EXPECT_EQ(read.Reason, c.reason) << c.name;
        EXPECT_EQ(rig.Table.Count(), c.rows) << c.name;
        if (c.outcome != DeviceFileOutcome::Read) {
            EXPECT_EQ(rig.Table.FindRow(MacOf(99).c_str()), 0) << c.name;
        }
    }
}

TEST(DeviceFile, SavingOverALongerFileReplacesItWhole) {
    FileRig rig;
    WriteAll(rig.Path("x.dat"), std::string(5000, 'z'));
    rig.Take(Answer("02-00-00-00-00-01", {"MODEL:UNIT-A", "TARCID:001", "SERIAL:12345", "IPADRM:192.168.0.10"}));
    ASSERT_TRUE(rig.Save(rig.Path("x.dat")));
    EXPECT_EQ(ReadAll(rig.Path("x.dat")), kWorked);
}

// A write that fails part-way (here the file-size limit, which binds root too)
// must leave the list saved before untouched and no stray file beside it.
TEST(DeviceFile, FailedSaveKeepsTheOldFileWhole) {
    FileRig rig;
    const std::string old = kWorked + kWorked;
    WriteAll(rig.Path("keep.dat"), old);
    for (int i = 0; i < 200; ++i) rig.Take(Answer(MacOf(i), {"CONT:" + std::string(200, 'c')}));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = rig.Save(rig.Path("keep.dat"));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(rig.Path("keep.dat")), old);
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(rig.Files.DataDir())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u);
    EXPECT_FALSE(rig.Save(rig.Dir.Path + "no-such-dir/x.dat"));

    // A disk with no room for even a temporary: the save fails, and must not
    // empty the old file by rewriting it in place.
    const std::string full = rig.Path("full");
    std::filesystem::create_directory(full);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool root = ::geteuid() == 0;
        const std::string uids = "0 " + std::to_string(::geteuid()) + " 1";
        const std::string gids = "0 " + std::to_string(::getegid()) + " 1";
        if (::unshare(CLONE_NEWNS | (root ? 0 : CLONE_NEWUSER)) != 0) ::_exit(77);
        if (!root) {
            WriteAll("/proc/self/setgroups", "deny");
            WriteAll("/proc/self/uid_map", uids);
            WriteAll("/proc/self/gid_map", gids);
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k,nr_inodes=8") != 0)
            ::_exit(77);
        WriteAll(full + "/keep.dat", old);
        {
            std::ofstream filler(full + "/filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler << block && filler.flush()) {
            }
        }
        for (int i = 0; std::ofstream(full + "/" + std::to_string(i)).good(); ++i) {
        }
        const FileSave saved = SaveDeviceFile(rig.Table, full + "/keep.dat");
        ::_exit(!saved.Saved && saved.Reason == "the disk is full" && ReadAll(full + "/keep.dat") == old ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no tmpfs can be mounted here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// The saved file keeps what it replaces: its mode, and a link to it stays a
// link to the new list.
TEST(DeviceFile, SaveKeepsModeAndFollowsLinks) {
    FileRig rig;
    rig.Take(Answer("02-00-00-00-00-01", {"MODEL:UNIT-A", "TARCID:001", "SERIAL:12345", "IPADRM:192.168.0.10"}));
    namespace fs = std::filesystem;
    fs::create_directory(rig.Path("real"));
    WriteAll(rig.Path("real/a.dat"), "old");
    fs::permissions(rig.Path("real/a.dat"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/a.dat", rig.Path("link.dat"));
    fs::create_symlink("real/new.dat", rig.Path("dangling.dat"));
    for (const char* name : {"link.dat", "dangling.dat"}) ASSERT_TRUE(rig.Save(rig.Path(name))) << name;
    for (const char* name : {"link.dat", "dangling.dat"}) EXPECT_TRUE(fs::is_symlink(rig.Path(name))) << name;
    EXPECT_EQ(ReadAll(rig.Path("real/a.dat")), kWorked);
    EXPECT_EQ(ReadAll(rig.Path("real/new.dat")), kWorked);
    EXPECT_EQ(fs::status(rig.Path("real/a.dat")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.Path("real")), fs::directory_iterator()), 2) << "no temporary left";
}

// A writable file in a folder the user may not write to is still saved, in place.
TEST(DeviceFile, SaveWritesInPlaceWhereNoTemporaryCanBeMade) {
    FileRig rig;
    rig.Take(Answer("02-00-00-00-00-01", {"MODEL:UNIT-A", "TARCID:001", "SERIAL:12345", "IPADRM:192.168.0.10"}));
    const std::string dir = rig.Path("locked");
    const std::string path = dir + "/x.dat";
    std::filesystem::create_directory(dir);
    WriteAll(path, "old list");
    const bool root = ::geteuid() == 0;
    constexpr uid_t nobody = 65534;
    if (root) {
        ::chmod(rig.Dir.Path.c_str(), 0755);  // the other user must reach the file
        ::chmod(rig.Files.DataDir().c_str(), 0755);
        ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0);
    } else {
        ::chmod(dir.c_str(), 0555);
    }
    struct stat before {};
    ::stat(path.c_str(), &before);
    // Root may write anywhere, so the save runs as another user.
    const pid_t child = ::fork();
    if (child == 0) {
        if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) ::_exit(2);
        ::_exit(rig.Save(path) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(dir.c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadAll(path), kWorked);
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
}
