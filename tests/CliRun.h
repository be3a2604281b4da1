// tarnel-cli's whole command line run in this process, as main runs it: its
// exit status and what it wrote.  It opens sockets: inside the sandbox only.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "Support.h"

struct CliRun {
    int Code;
    std::string Out, Err;
};

inline CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

// The words of line, split at blanks.
inline CliRun Cli(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return Cli(words);
}
