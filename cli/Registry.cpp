// Every command of tarnel-cli.  A new command is a file with its Register
// function and one line here.
#include "cli/Commands.h"

void RegisterCommands(CLI::App& app, CliContext& ctx) {
    static const Registrar kCommands[] = {
        RegisterSearch, RegisterShow, RegisterDiff, RegisterSetNetwork, RegisterSetInfo, RegisterSetDate, RegisterPlan,
        RegisterApply,
    };
    for (Registrar add : kCommands) add(app, ctx);
}
