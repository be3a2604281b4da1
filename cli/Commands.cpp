#include "cli/Commands.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <memory>

#include "files/Devfile.h"
#include "rules/Conflicts.h"
#include "plan/Host.h"
#include "cli/Output.h"
#include "cli/Setcmds.h"
#include "cli/Termtext.h"
#include "rules/Strings.h"

namespace {
void PrintDevices(const TmTable& table, const Options& options, std::ostream& out) {
    if (options.Json) PrintJson(out, table.Rows());
    else PrintRows(out, table.Rows());
}

struct SearchArgs {
    bool Quick = false;
    std::string Save;  // also save the list found to this device file
};

// An empty search does not replace a list saved before: a device switched
// off or a cable pulled would cost the user the file.
int Save(const TmTable& table, const std::string& path, std::ostream& err) {
    struct stat st {};
    if (table.Count() == 0 && ::stat(path.c_str(), &st) == 0) {
        err << "tarnel-cli: no device answered; " << path << " was left as it was\n";
        return EXIT_NOT_FOUND;
    }
    const FileSave saved = SaveDeviceFile(table, path);
    if (saved.Saved) return 0;
    err << "tarnel-cli: cannot save " << path << ": " << saved.Reason << '\n';
    return EXIT_LINK;
}

int Search(const SearchArgs& args, const Options& options, std::ostream& out, std::ostream& err) {
    HeadlessHost host({}, options.Interface, options.Targets);
    if (!BringUpAndSearch(host, args.Quick ? 0 : SearchPlan::CYCLES, options, err)) return EXIT_LINK;
    const std::vector<TDeviceRec> rows = host.Table.Rows();
    auto problems = TableConflicts(host.Table, LocalSubnets());
    problems.resize(rows.size());  // a late answer may have added a row since
    for (size_t i = 0; i < rows.size(); ++i)
        for (const std::string& reason : problems[i])
            err << ForTerminal(std::string(rows[i].MAC, MAC_LEN) + ": " + reason) << '\n';
    const int saved = args.Save.empty() ? 0 : Save(host.Table, args.Save, err);
    // Under --json a failure is the error object alone, as every failure is.
    if (saved != 0 && options.Json) return saved;
    if (options.Json) PrintJson(out, rows, &problems);
    else PrintRows(out, rows);
    return saved;
}

int Show(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: tarnel-cli show FILE [--json]\n";
        return EXIT_USAGE;
    }
    // Only the file is read: no program directories are made for it.
    TmTable table;
    const DeviceFileRead read = LoadDeviceFile(table, args[0]);
    if (!FileWasRead(args[0], read, err)) return EXIT_LINK;
    PrintDevices(table, options, out);
    if (read.LeftOut > 0)
        err << "tarnel-cli: " << args[0] << " holds more devices than a list can hold; devices left out: "
            << read.LeftOut << '\n';
    return 0;
}
}  // namespace

bool BringUpAndSearch(HeadlessHost& host, int cycles, const Options& options, std::ostream& err) {
    for (const std::string& note : host.TargetNotes) err << "tarnel-cli: " << note << '\n';
    host.TargetNotes.clear();
    host.BringUp();
    if (const std::string down = host.LinkDown(); !down.empty()) {
        err << "tarnel-cli: " << down << '\n';
        return false;
    }
    const int steps = 2 * cycles;
    host.Table.TakeLeftOut();
    if (cycles == 0) {
        host.QuickSearch();
    } else {
        host.Search(cycles, [&](int progress) {
            if (options.Progress) err << "\rsearching... " << progress << '/' << steps << std::flush;
        });
        if (options.Progress) err << "\r\033[K" << std::flush;
    }
    if (const uint32_t leftOut = host.Table.TakeLeftOut()) err << "tarnel-cli: " << ListFullText(leftOut) << '\n';
    // A link lost during the search heard nothing: that is no empty network.
    if (const std::string down = host.LinkDown(); !down.empty()) {
        err << "tarnel-cli: " << down << '\n';
        return false;
    }
    return true;
}

void RegisterSearch(CLI::App& app, CliContext& ctx) {
    CLI::App* cmd = app.add_subcommand("search", "find the devices on the network and list them");
    auto args = std::make_shared<SearchArgs>();
    cmd->add_flag("--quick", args->Quick,
                  "one enquiry cycle, over once answers have stopped for half a second (at most three seconds)");
    cmd->add_option("--save", args->Save, "also save the list found as a device file")->type_name("FILE");
    cmd->footer("Searches the network for about nine seconds and lists the devices.  What looks wrong\n"
                "(a main address shared, one outside this computer's subnets, a gateway outside the\n"
                "device's own subnet) goes to standard error as MAC: reason; --json lists it as problems.\n"
                "Options: --json, --interface NAME, --target ADDRESS.");
    cmd->callback([&ctx, args] { ctx.Exit = Search(*args, ctx.Opt, ctx.Out, ctx.Err); });
}

void RegisterShow(CLI::App& app, CliContext& ctx) {
    CLI::App* cmd = app.add_subcommand("show", "list the devices of a device file");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "the device file")->required();
    cmd->footer("Only reads the file.  Options: --json.");
    cmd->callback([&ctx, file] { ctx.Exit = Show({*file}, ctx.Opt, ctx.Out, ctx.Err); });
}
