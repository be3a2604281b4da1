#include "Commands.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "Host.h"
#include "Output.h"
#include "Setcmds.h"

namespace {
void PrintDevices(const TmTable& table, const Options& options, std::ostream& out) {
    if (options.Json) PrintJson(out, table.Rows());
    else PrintRows(out, table.Rows());
}

int Search(const Options& options, std::ostream& out, std::ostream& err) {
    HeadlessHost host({}, options.Interface);
    if (!BringUpAndSearch(host, SearchPlan::CYCLES, options, err)) return EXIT_LINK;
    PrintDevices(host.Table, options, out);
    return 0;
}

int Show(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: tarnel-cli show FILE [--json]\n";
        return EXIT_USAGE;
    }
    // Only the file is read: no program directories are made for it.
    TmTable table;
    const DeviceFileRead read = LoadDeviceFile(table, args[0]);
    if (read.Outcome == DeviceFileOutcome::CannotRead) {
        err << "tarnel-cli: cannot read " << args[0] << ": " << read.Reason << '\n';
        return EXIT_LINK;
    }
    if (read.Outcome == DeviceFileOutcome::NotDeviceFile) {
        err << "tarnel-cli: " << args[0] << " is not a device file\n";
        return EXIT_LINK;
    }
    PrintDevices(table, options, out);
    if (read.LeftOut > 0)
        err << "tarnel-cli: " << args[0] << " holds more devices than a list can hold; devices left out: "
            << read.LeftOut << '\n';
    return 0;
}
}  // namespace

bool BringUpAndSearch(HeadlessHost& host, int cycles, const Options& options, std::ostream& err) {
    host.BringUp();
    if (const std::string down = host.LinkDown(); !down.empty()) {
        err << "tarnel-cli: " << down << '\n';
        return false;
    }
    const int steps = 2 * cycles;
    host.Search(cycles, [&](int progress) {
        if (options.Progress) err << "\rsearching... " << progress << '/' << steps << std::flush;
    });
    if (options.Progress) err << "\r\033[K" << std::flush;
    // A link lost during the search heard nothing: that is no empty network.
    if (const std::string down = host.LinkDown(); !down.empty()) {
        err << "tarnel-cli: " << down << '\n';
        return false;
    }
    return true;
}

void RegisterSearch(CLI::App& app, CliContext& ctx) {
    CLI::App* cmd = app.add_subcommand("search", "find the devices on the network and list them");
    cmd->footer("Searches the network for about nine seconds and lists the devices.\nOptions: --json, --interface NAME.");
    cmd->callback([&ctx] { ctx.Exit = Search(ctx.Opt, ctx.Out, ctx.Err); });
}

void RegisterShow(CLI::App& app, CliContext& ctx) {
    CLI::App* cmd = app.add_subcommand("show", "list the devices of a device file");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "the device file")->required();
    cmd->footer("Only reads the file.  Options: --json.");
    cmd->callback([&ctx, file] { ctx.Exit = Show({*file}, ctx.Opt, ctx.Out, ctx.Err); });
}
