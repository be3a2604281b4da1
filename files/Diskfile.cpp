#include "files/Diskfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {
std::string ReasonOf(int err) {
    switch (err) {
    case ENOENT: return "it does not exist";
    case EACCES:
    case EPERM: return "permission denied";
    case EISDIR: return "it is a folder";
    case ENOTDIR: return "part of its path is not a folder";
    case EROFS: return "the disk is read-only";
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EFBIG: return "the file would be too large";
    case ELOOP: return "too many symbolic links";
    default: {
        std::string text = std::strerror(err);
        if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        return text;
    }
    }
}

std::string SizeText(size_t bytes) {
    if (bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

// Closes on every way out.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }
    // Closes now; false when the close reports an error (the last chance for
    // some file systems to say that a write failed).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string DirOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The name the bytes must finally have: symbolic links followed, also to a
// target that does not exist yet.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return path;
        const std::string target(buf, static_cast<size_t>(n));
        path = target[0] == '/' ? target : DirOf(path) + "/" + target;
    }
    return path;  // a loop: opening it reports the fault
}

std::string TempName(const std::string& target, int attempt) {
    return target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

// A temporary that a crash cannot leave behind: it has no name until it is
// whole and synced, and holds one only for the moment before the rename.
int OpenAnonymous(const std::string& target, mode_t mode) {
    return ::open(DirOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

bool NameAnonymous(int fd, const std::string& target, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TempName(target, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    name.clear();
    return false;
}

int OpenNamed(const std::string& target, mode_t mode, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TempName(target, attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    name.clear();
    return -1;
}

void SyncDir(const std::string& target) {
    const Fd dir(::open(DirOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
}

enum class TempResult { Saved, NoTemp, Failed };

// A folder that refuses a new file may still let its files be rewritten.  Any
// other failure (a full disk, a quota, too many open files) would fail the
// rewrite as well, but only after it had emptied the file.
bool RefusesNewFiles(int err) { return err == EACCES || err == EPERM; }

TempResult SaveViaTemp(const std::string& target, std::span<const uint8_t> bytes, const struct stat* old,
                       bool anonymous, std::string& reason) {
    // Private until it has the old file's mode, so a 0600 list is never readable by others.
    const mode_t mode = old != nullptr ? 0600 : 0666;
    std::string name;
    Fd fd(anonymous ? OpenAnonymous(target, mode) : OpenNamed(target, mode, name));
    if (fd.Get() < 0) {
        // Not every file system makes anonymous files: the named temporary
        // is tried next, and its failure decides.
        if (anonymous || RefusesNewFiles(errno)) return TempResult::NoTemp;
        reason = ReasonOf(errno);
        return TempResult::Failed;
    }
    bool ok = WriteAll(fd.Get(), bytes);
    if (ok && old != nullptr) {
        ok = ::fchmod(fd.Get(), old->st_mode & 07777) == 0;
        if (ok && ::fchown(fd.Get(), old->st_uid, old->st_gid) != 0) {
            // Only root may give a file away; a user's own file keeps its owner anyway.
        }
    }
    ok = ok && ::fsync(fd.Get()) == 0;
    if (ok && anonymous && !NameAnonymous(fd.Get(), target, name)) return TempResult::NoTemp;
    int err = errno;
    if (!fd.Close() && ok) {
        ok = false;
        err = errno;
    }
    if (ok && std::rename(name.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        if (!name.empty()) ::unlink(name.c_str());
        reason = ReasonOf(err);
        return TempResult::Failed;
    }
    SyncDir(target);
    return TempResult::Saved;
}

FileSave WriteInPlace(const std::string& target, std::span<const uint8_t> bytes) {
    Fd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
    bool ok = fd.Get() >= 0 && WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    const int err = errno;
    ok = fd.Close() && ok;
    if (ok) return {true, {}};
    return {false, ReasonOf(err)};
}
}  // namespace

FileRead ReadCappedFile(const std::string& path, size_t cap) {
    FileRead r;
    // Non-blocking, so that a pipe with no writer cannot hold the open.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) {
        if (errno == ENOENT) r.Outcome = ReadOutcome::Missing;
        r.Reason = ReasonOf(errno);
        return r;
    }
    if (S_ISDIR(st.st_mode)) {
        r.Reason = "it is a folder";
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.Reason = "it is not a regular file";
        return r;
    }
    const std::string tooLarge = "it is larger than " + SizeText(cap);
    if (static_cast<unsigned long long>(st.st_size) > cap) {
        r.Reason = tooLarge;
        return r;
    }
    // The size may change under us: read to the end, but never past the cap.
    r.Bytes.resize(static_cast<size_t>(st.st_size) + 1);
    size_t done = 0;
    for (;;) {
        if (done == r.Bytes.size()) {
            if (done > cap) {
                r.Bytes.clear();
                r.Reason = tooLarge;
                return r;
            }
            r.Bytes.resize(std::min(done * 2 + 4096, cap + 1));
        }
        const ssize_t n = ::read(fd.Get(), r.Bytes.data() + done, r.Bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.Bytes.clear();
            r.Reason = ReasonOf(errno);
            return r;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    if (done > cap) {
        r.Bytes.clear();
        r.Reason = tooLarge;
        return r;
    }
    r.Bytes.resize(done);
    r.Outcome = ReadOutcome::Read;
    return r;
}

FileSave ReplaceFile(const std::string& path, std::span<const uint8_t> bytes) {
    const std::string target = FollowLinks(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return {false, "it is a folder"};
    if (exists && !S_ISREG(old.st_mode)) return {false, "it is not a regular file"};
    std::string reason;
    for (const bool anonymous : {true, false}) {
        switch (SaveViaTemp(target, bytes, exists ? &old : nullptr, anonymous, reason)) {
        case TempResult::Saved: return {true, {}};
        case TempResult::Failed: return {false, reason};
        case TempResult::NoTemp: break;
        }
    }
    return WriteInPlace(target, bytes);
}
