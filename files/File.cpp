#include "File.h"

// The packaged library is built on ICU; its header must agree with it.
#define SI_CONVERT_ICU
#include <SimpleIni.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "Netcheck.h"

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
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') base = xdg;
    else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.local/share";
    }
    return WithSlash(base) + "tarnel/";
}

TmFile::TmFile(TmTable& table, std::string programDir) : Table(table) {
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
            std::error_code ec;
            fs::create_directories(ProgramDir, ec);
        }
    }
    PrepareDir(HelpDir(), "Cannot create Vantry Software Help directory.");
    PrepareDir(DataDir(), "Cannot create Vantry Software Data directory.");
}

void TmFile::ReadCommSettings() {
    CSimpleIniA ini;
    ini.LoadFile(SettingsPath().c_str());  // a missing file reads as empty
    CommPort = 0;
    const char* text = ini.GetValue("PORT", "T-ARC", nullptr);
    CommPort = text != nullptr ? StrToIntDef(text, DEFAULT_COMM_PORT) : DEFAULT_COMM_PORT;
}

void TmFile::WriteCommSettings() {
    CSimpleIniA ini;
    ini.LoadFile(SettingsPath().c_str());
    ini.SetValue("PORT", "T-ARC", std::to_string(CommPort).c_str());
    ini.SaveFile(SettingsPath().c_str());
}
