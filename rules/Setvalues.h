// The values requested for one device, turned into what a SET carries: only
// what the setup windows' edits could hold, checked as the windows check them,
// with their messages, and EditRec filled as the windows fill it.  The windows,
// the command line and every later command that sets devices go through here,
// so they cannot drift apart.  No Qt.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "link/Record.h"

// Key name (the wire key; for a date, one of DateKeys) -> requested text, in
// Latin-1.  A key left out keeps the device's stored value, as an edit nobody
// touched does.
using SetValues = std::map<std::string, std::string>;

// The Date Setup window's six edits, in its order of checks.
inline constexpr const char* DateKeys[6] = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "GMT"};

enum class SetFault {
    UnknownKey,   // no edit of this kind of SET has that key
    NotReported,  // the device does not report the key: its edit is closed
    Empty,        // an empty text would not be sent at all
    TooLong,      // longer than the edit takes
    BadForm,      // not what the edit could hold (digits, dotted parts)
    BadByte,      // a byte that cannot travel in a frame, or a control character
    Check,        // refused by the window's own check
    FrameTooLong, // the SET, with the device's other values of its kind, exceeds a frame
};

struct SetProblem {
    SetFault Fault;
    std::string Key;     // the key it concerns (for MSG_MASK_MISMATCH, "MASK")
    int Message;         // string-table id
    std::string Text;    // the message as the window shows it
    std::string Detail;  // for a value the edit could not hold: what it takes
};

enum class SetOutcome { Ready, Refused };

struct SetVerdict {
    SetOutcome Outcome = SetOutcome::Refused;
    std::vector<SetProblem> Problems;  // every problem, in the window's order
    TDeviceRec Edit{};                 // EditRec as the window fills it, when Ready
};

// kind: KIND_NETWORK, KIND_DEVINFO or KIND_DATE; current: the device's row.
// Values that no edit could hold are all reported and the window's checks are
// not run; otherwise the window's checks run on the requested values and, for
// every key left out, on the device's own.
SetVerdict CheckSet(int kind, const SetValues& requested, const TDeviceRec& current);

// Only what no edit of the kind could hold, whatever the device: for a
// command line to refuse before it searches.  Ready says nothing about the
// window's checks.
SetVerdict CheckForm(int kind, const SetValues& requested);

// The problems' texts joined by line feeds, as a window shows them in one box.
std::string ProblemText(const SetVerdict& verdict);

// The keys a SET of the kind takes, in the window's order.
std::vector<std::string> SetKeyNames(int kind);

// How many characters the edit for the key lets a user type; 0 for a key no
// edit of the kind has.
int EditLength(int kind, const std::string& key);

// What the edit for the key lets a user type, character by character, as a
// regular expression (its length limit apart); "" for an address edit, whose
// mask does that.
std::string EditPattern(int kind, const std::string& key);

// For a help text: the keys of the kind ("KEY: IPADRM ... TOUT"), and what
// their edits take ("Addresses: four dotted ...; GPID, TOUT: up to 3 digits;
// TERM, LOG, OPT1-OPT3: up to 4 digits").
std::string KeysLine(int kind);
std::string EditsHelp(int kind);
