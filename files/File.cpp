#include "files/File.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "files/Inifile.h"
#include "link/Numtext.h"

namespace fs = std::filesystem;

namespace {
std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

bool IsDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One level, beside ProgramDir; a plain file of that name is a failure.
void PrepareDir(const std::string& path, const char* failure) {
    if (IsDir(path)) return;
    if (::mkdir(path.c_str(), 0777) != 0) throw std::runtime_error(failure);
}
}  // namespace

std::string ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return WithSlash(fs::current_path().string());
    return WithSlash(exe.parent_path().string());
}

std::string UserDataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg) + "tarnel/";
    const char* env = std::getenv("HOME");
    std::string home = env != nullptr ? env : "";
    // Without HOME (a service, a cleared environment) the account still has a
    // home; the root of the file system is nobody's data directory.
    if (home.empty() || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
    }
    if (home.empty() || home[0] != '/' || home.find_first_not_of('/') == std::string::npos) return {};
    return WithSlash(home) + ".local/share/tarnel/";
}

TmFile::TmFile(std::string programDir) {
    ReadVersionInfo(VersionRecord);
    if (!programDir.empty()) {
        ProgramDir = WithSlash(programDir);
    } else {
        ProgramDir = ExecutableDir();
        // An installed program keeps its files with the user: it may not write
        // beside itself, and root, who may, must not litter a bin/ directory.
        const bool installed = ProgramDir.size() >= 5 && ProgramDir.compare(ProgramDir.size() - 5, 5, "/bin/") == 0;
        if (installed || ::access(ProgramDir.c_str(), W_OK) != 0) {
            ProgramDir = UserDataDir();
            if (ProgramDir.empty()) throw std::runtime_error("Cannot create Vantry Software Data directory.");
            std::error_code ec;
            fs::create_directories(ProgramDir, ec);
        }
    }
    PrepareDir(HelpDir(), "Cannot create Vantry Software Help directory.");
    PrepareDir(DataDir(), "Cannot create Vantry Software Data directory.");
}

void TmFile::ReadCommSettings() {
    CommPort = 0;
    const std::optional<std::string> text = ReadIniValue(SettingsPath(), "PORT", "T-ARC");
    CommPort = text ? StrToIntDef(*text, LINK_PORT) : LINK_PORT;
}

TargetList TmFile::ReadTargets() const {
    const std::optional<std::string> text = ReadIniValue(SettingsPath(), "PORT", "TARGETS");
    return text ? ParseTargets({*text}) : TargetList{};
}

std::string BadTargetsText(const std::vector<std::string>& bad) {
    std::string names;
    for (const std::string& b : bad) names += (names.empty() ? "\"" : ", \"") + b + "\"";
    return "The settings file lists targets that are not IPv4 addresses a device can have (section PORT, key "
           "TARGETS): " + names +
           ". The other targets are used.";
}

std::string TargetsWarning(const TargetList& targets, const std::vector<std::string>& notes) {
    std::string text = targets.Bad.empty() ? "" : BadTargetsText(targets.Bad);
    if (targets.TooMany > 0)
        text += (text.empty() ? "" : "\n") + std::string("The settings file lists more than ") +
                std::to_string(MAX_TARGETS) + " targets; the first " + std::to_string(MAX_TARGETS) + " are used.";
    for (const std::string& n : notes) text += (text.empty() ? "" : "\n") + n;
    return text;
}

// Rewritten only when it would change, so a start never touches a file that
// already says the same thing.
void TmFile::WriteCommSettings() { WriteIniValue(SettingsPath(), "PORT", "T-ARC", std::to_string(CommPort)); }
