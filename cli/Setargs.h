// The argument forms of the set- commands: a MAC that names one device (or
// all), and KEY=VALUE words in Latin-1.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "rules/Setvalues.h"

extern const char* const kMacForm;  // how a MAC argument is written

// Exactly six hex pairs and never the broadcast MAC, which every device takes
// for its own; "all" only where allAllowed.  false (and why, on err) otherwise.
bool MacArgument(const std::string& mac, bool allAllowed, std::ostream& err);

// args[1...] as KEY=VALUE of a kind into values.  A word that is not KEY=VALUE
// of the kind is wrong usage (its exit status is returned, 0 otherwise); a
// value that is no Latin-1 text goes to problems.
int ParsePairs(const std::vector<std::string>& args, int kind, SetValues& values, std::vector<std::string>& problems,
               std::ostream& err);
