// How a set- command ends: its exit status, its result word and messages, on
// standard output and error or as one JSON object.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "plan/Sendwait.h"
#include "rules/Setvalues.h"

struct SetReport {
    int Code;
    const char* Result;
    std::vector<std::string> Messages;  // the program's own and the user's words, not device texts
};

SetReport Refused(std::vector<std::string> messages);
SetReport Refused(const SetVerdict& verdict);
// What a SET that was sent, or not, comes to.
SetReport ReportOf(const SendOutcome& sent);

// Writes the report for the device mac; its exit status.
int Report(const std::string& mac, const SetReport& o, const Options& options, std::ostream& out, std::ostream& err);
