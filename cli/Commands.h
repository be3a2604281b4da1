// The commands of tarnel-cli.  Each command registers itself with CLI11 from
// its own file (name, description, arguments, the function that runs it);
// RegisterCommands in Registry.cpp lists them.  Options that may stand
// anywhere on the line belong to the whole command line (RunCli).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "plan/Exitcodes.h"

namespace CLI {
class App;
}

struct Options {
    bool Json = false;
    bool Yes = false;
    bool Help = false;
    bool Progress = false;
    bool OutTerminal = false;          // standard output is a terminal
    std::string Interface;             // --interface NAME: broadcast there only
    std::vector<std::string> Targets;  // --target ADDRESS...: sent there too
};

// What a command is given when it runs, and where it leaves its exit status.
struct CliContext {
    Options Opt;
    std::ostream& Out;
    std::ostream& Err;
    int Exit = EXIT_ACK;
};

// Adds the command as a subcommand of app; its callback runs it with ctx.
using Registrar = void (*)(CLI::App& app, CliContext& ctx);
void RegisterSearch(CLI::App& app, CliContext& ctx);
void RegisterShow(CLI::App& app, CliContext& ctx);
void RegisterSetNetwork(CLI::App& app, CliContext& ctx);
void RegisterSetInfo(CLI::App& app, CliContext& ctx);
void RegisterSetDate(CLI::App& app, CliContext& ctx);
void RegisterDiff(CLI::App& app, CliContext& ctx);
void RegisterPlan(CLI::App& app, CliContext& ctx);
void RegisterApply(CLI::App& app, CliContext& ctx);
// Every command, in the order of the usage text.
void RegisterCommands(CLI::App& app, CliContext& ctx);

// The whole command line (arguments without the program name).  Standard
// output that cannot be written is main's to report.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress = false,
           bool outTerminal = false);

class HeadlessHost;
// Brings the link up and runs a search of some cycles, with a progress line
// on err when options ask for it; false (and said on err) when the link failed.
// cycles 0: the quick search of one cycle, over once its answers stop.
bool BringUpAndSearch(HeadlessHost& host, int cycles, const Options& options, std::ostream& err);
