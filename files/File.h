// The program's local files: its directories, the communication settings, the
// device files and its own version texts.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "link/Targets.h"
#include "link/Tskcontrol.h"
#include "files/Version.h"

inline constexpr char SETTINGS_FILE[] = "RIDIDODCOMM.INI";

class TmFile : public CommSettingsStore {
public:
    // programDir empty: beside the executable, or the user's data directory
    // when that is not writable.  Throws std::runtime_error with the message to
    // show when the help or data directory cannot be made.
    explicit TmFile(std::string programDir = {});

    void ReadCommSettings() override;
    void WriteCommSettings() override;
    // The targets of the settings file (section PORT, key TARGETS): IPv4
    // addresses, blank-separated, that every enquiry and SET also goes to.
    TargetList ReadTargets() const;

    std::string HelpDir() const { return ProgramDir + "HELP/"; }
    std::string DataDir() const { return ProgramDir + "DATA/"; }
    std::string SettingsPath() const { return ProgramDir + SETTINGS_FILE; }

    std::string ProgramDir;  // ends with '/'
    int CommPort = 0;
    TVersionRecord VersionRecord{};
};

// What a user is told of entries of TARGETS that are no address: they are
// named, and the rest is used.
std::string BadTargetsText(const std::vector<std::string>& bad);
// The settings warning of the window about targets: those refused, those
// beyond the most that are used, and the notes of those the broadcasts
// reach already; "" when there is nothing to say.
std::string TargetsWarning(const TargetList& targets, const std::vector<std::string>& notes);

// The directory of the running executable, ending with '/'.
std::string ExecutableDir();
// Where an installed program keeps its files: $XDG_DATA_HOME/tarnel/ or
// ~/.local/share/tarnel/, ending with '/'; empty when the user has no home
// (none known, or the root of the file system).
std::string UserDataDir();
