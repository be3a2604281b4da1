// The commands of tarnel-cli, apart from argument splitting so tests can call them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

constexpr int EXIT_ACK = 0;
constexpr int EXIT_NAK = 1;
constexpr int EXIT_SILENT = 2;
constexpr int EXIT_REFUSED = 3;
constexpr int EXIT_NOT_FOUND = 4;
constexpr int EXIT_LINK = 5;
constexpr int EXIT_USAGE = 64;

struct Options {
    bool Json = false;
    bool Yes = false;
    bool Help = false;
    bool Progress = false;
    std::string Interface;  // --interface NAME: broadcast there only
};

class HeadlessHost;
// Brings the link up and runs a search of some cycles, with a progress line
// on err when options ask for it; false (and said on err) when the link failed.
bool BringUpAndSearch(HeadlessHost& host, int cycles, const Options& options, std::ostream& err);

int RunCommand(const std::string& command, const std::vector<std::string>& args, const Options& options,
               std::ostream& out, std::ostream& err);
