// Device files: the exact bytes, what is read back, and saves that never cost
// the list saved before.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>

#include "Frames.h"
#include "Support.h"
#include "TempDir.h"
#include "files/Devfile.h"

namespace fs = std::filesystem;

namespace {
struct FileRig {
    std::string Path(const std::string& name) const { return Dir.Path + name; }
    bool Save(const std::string& path) const { return SaveDeviceFile(Table, path).Saved; }
    TempDir Dir;
    TmTable Table;
};

const std::string FF = "\xFF";
const Bytes kWorkedAnswer =
    Answer("02-00-00-00-00-01", {"MODEL:UNIT-A", "TARCID:001", "SERIAL:12345", "IPADRM:192.168.0.10"});
const std::string kWorked = "\x02MAC:02-00-00-00-00-01" + FF + "MODEL:UNIT-A" + FF + "TARCID:001" + FF +
                            "SERIAL:12345" + FF + "IPADRM:192.168.0.10" + FF + "\x03";

// The exit status of body run in a child process.
int InChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

// The worked example byte for byte, the fixed fields even when empty, and a
// round trip.
TEST(DeviceFile, BytesAndRoundTrip) {
    const auto text = [](const std::vector<TDeviceRec>& rows) {
        const std::vector<uint8_t> bytes = DeviceFileBytes(rows);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(text(RowsOf({kWorkedAnswer})), kWorked);
    EXPECT_EQ(text(RowsOf({Answer("02-00-00-00-00-01", {})})),
              "\x02MAC:02-00-00-00-00-01" + FF + "MODEL:" + FF + "TARCID:" + FF + "SERIAL:" + FF + "\x03");
    // Every field, the flags of keys a device does not report, and the order.
    const auto before = RowsOf({FullDevice(MacOf(9)), Answer(MacOf(2), {"SERIAL:s", "GMT:-3"}), FullDevice(MacOf(5))});
    TmTable back;
    TakeDeviceFileBytes(back, DeviceFileBytes(before));
    const auto after = back.Rows();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(0, std::memcmp(&before[i], &after[i], sizeof(TDeviceRec))) << "row " << i;
}

// Only a regular file of sane size, read without blocking, that holds device
// frames replaces the list (of one device before); anything else leaves it.
TEST(DeviceFile, OnlyAReadableDeviceFileReplacesTheList) {
    std::string many;
    for (int i = 0; i < 300; ++i) many += "\x02MAC:" + MacOf(i) + FF + "MODEL:m" + FF + "\x03";
    using enum DeviceFileOutcome;
    struct Case {
        const char* name;
        std::string bytes;  // of x.dat
        DeviceFileOutcome outcome;
        const char* reason;
        int rows;
        const char* first;  // model and main address of the first row then
        size_t leftOut = 0;
        std::string path = "x.dat";  // in the rig's folder
    };
    const Case cases[] = {
        {"missing", "", CannotRead, "it does not exist", 1, "before ", 0, "missing.dat"},
        {"folder", "", CannotRead, "it is a folder", 1, "before ", 0, ""},
        {"fifo", "", CannotRead, "it is not a regular file", 1, "before ", 0, "fifo"},
        {"too large", kWorked + std::string(DEVICE_FILE_MAX, 'z'), CannotRead, "it is larger than 1 MiB", 1, "before "},
        {"foreign bytes", std::string(5000, '\x03'), NotDeviceFile, "it is not a device file", 1, "before "},
        {"empty", "", Read, "", 0, ""},
        {"300 frames, each twice: a device named twice is one", many + many, Read, "", 256, "m ", 44},
        {"a refused frame, then a good one", "\x02MAC:1\x03" + kWorked, Read, "", 1, "UNIT-A 192.168.0.10"},
    };
    for (const Case& c : cases) {
        FileRig rig;
        Take(rig.Table, Answer(MacOf(99), {"MODEL:before"}));
        WriteFile(rig.Path("x.dat"), c.bytes);
        ::mkfifo(rig.Path("fifo").c_str(), 0600);
        const DeviceFileRead read = LoadDeviceFile(rig.Table, rig.Path(c.path));
        EXPECT_EQ(read.Outcome, c.outcome) << c.name;
        EXPECT_EQ(read.Reason, c.reason) << c.name;
        EXPECT_EQ(read.LeftOut, c.leftOut) << c.name;
        const auto rows = rig.Table.Rows();
        EXPECT_EQ(rows.size(), static_cast<size_t>(c.rows)) << c.name;
        const std::string first = rows.empty() ? "" : std::string(FieldText(rows[0].MODEL)) + " " + rows[0].IPADRM;
        EXPECT_EQ(first, c.first) << c.name;
    }
}

// A write that fails part-way (the file-size limit, which binds root too) or
// finds no room even for a temporary leaves the old file whole, nothing beside it.
TEST(DeviceFile, FailedSaveKeepsTheOldFileWhole) {
    FileRig rig;
    const std::string old = kWorked + kWorked;
    WriteFile(rig.Path("keep.dat"), old);
    for (int i = 0; i < 200; ++i) Take(rig.Table, Answer(MacOf(i), {"CONT:" + std::string(200, 'c')}));
    EXPECT_EQ(InChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit small{4096, 4096};
                  return ::setrlimit(RLIMIT_FSIZE, &small) == 0 && !rig.Save(rig.Path("keep.dat")) ? 0 : 1;
              }),
              0);
    EXPECT_EQ(ReadFile(rig.Path("keep.dat")), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.Dir.Path), {}), 1);
    EXPECT_FALSE(rig.Save(rig.Path("no-such-dir/x.dat")));

    // No room for a temporary's inode, nor for the list: rewriting in place
    // would empty the old file before failing.
    const std::string full = rig.Path("full");
    fs::create_directory(full);
    const int status = InChild([&] {
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=4k,nr_inodes=2") != 0)
            return 77;
        WriteFile(full + "/keep.dat", old);
        const FileSave save = SaveDeviceFile(rig.Table, full + "/keep.dat");
        return !save.Saved && save.Reason == "the disk is full" && ReadFile(full + "/keep.dat") == old ? 0 : 1;
    });
    if (status == 77) GTEST_SKIP() << "only root can mount a tmpfs here";
    EXPECT_EQ(status, 0);
}

// The saved file keeps what it replaces: its mode (two that no one umask gives
// a new file, and neither the private temporary's), and a link to it stays a
// link to the new list.  Where the folder refuses a temporary, a file there
// the user may write is written in place (root may write anywhere, so the
// save runs as another user).
TEST(DeviceFile, SaveKeepsModeAndLinksAndWritesInPlaceWhereItMust) {
    FileRig rig;
    Take(rig.Table, kWorkedAnswer);
    fs::create_directory(rig.Path("real"));
    WriteFile(rig.Path("real/a.dat"), "old");
    fs::create_symlink("real/a.dat", rig.Path("link.dat"));
    fs::create_symlink("real/new.dat", rig.Path("dangling.dat"));
    for (const mode_t mode : {0604, 0640}) {
        ::chmod(rig.Path("real/a.dat").c_str(), mode);
        for (const char* name : {"link.dat", "dangling.dat"}) {
            ASSERT_TRUE(rig.Save(rig.Path(name))) << name;
            EXPECT_TRUE(fs::is_symlink(rig.Path(name))) << name;
        }
        struct stat st {};
        ::stat(rig.Path("real/a.dat").c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, mode);
    }
    EXPECT_EQ(ReadFile(rig.Path("real/a.dat")), kWorked);
    EXPECT_EQ(ReadFile(rig.Path("real/new.dat")), kWorked);
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.Path("real")), {}), 2) << "no temporary left";

    const std::string path = rig.Path("real/a.dat");
    const bool root = ::geteuid() == 0;
    constexpr uid_t nobody = 65534;
    WriteFile(path, std::string(5000, 'z'));  // longer than the list
    ::chmod(rig.Dir.Path.c_str(), 0755);
    ::chmod(rig.Path("real").c_str(), 0555);
    ASSERT_TRUE(!root || ::chown(path.c_str(), nobody, nobody) == 0);
    EXPECT_EQ(InChild([&] { return root && (::setgid(nobody) || ::setuid(nobody)) ? 2 : !rig.Save(path); }), 0);
    ::chmod(rig.Path("real").c_str(), 0755);
    EXPECT_EQ(ReadFile(path), kWorked);
}
