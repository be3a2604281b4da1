// tarnel-cli diff: a saved device file against the network, or against
// another file.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/Commands.h"
#include "files/Devdiff.h"
#include "files/Devfile.h"
#include "plan/Host.h"
#include "cli/Output.h"
#include "files/Plancsv.h"
#include "cli/Termtext.h"

namespace {
constexpr int EXIT_SAME = 0;
constexpr int EXIT_DIFFERENT = 1;

struct DiffArgs {
    std::vector<std::string> Files;
    bool Quick = false;
};

bool Load(const std::string& path, std::vector<TDeviceRec>& rows, std::ostream& err) {
    return FileWasRead(path, LoadDeviceRows(path, rows), err);
}

void Print(const std::vector<DeviceDiff>& diffs, const Options& options, std::ostream& out) {
    if (!options.Json) {
        for (const DeviceDiff& d : diffs) {
            const std::string mac = ForTerminal(d.Mac);
            if (d.Changes.empty()) out << DiffKindName(d.What) << '\t' << mac << '\n';
            for (const DiffChange& c : d.Changes)
                out << DiffKindName(d.What) << '\t' << mac << '\t' << c.Key << '\t' << ForTerminal(c.Old) << " -> "
                    << ForTerminal(c.New) << '\n';
        }
        return;
    }
    std::vector<nlohmann::ordered_json> entries;
    for (size_t i = 0; i < diffs.size(); ++i) {
        nlohmann::ordered_json& entry = entries.emplace_back();
        entry["MAC"] = Utf8FromLatin1(diffs[i].Mac);
        entry["status"] = DiffKindName(diffs[i].What);
        if (diffs[i].What == DeviceDiff::Changed) {
            entry["changes"] = nlohmann::ordered_json::object();
            for (const DiffChange& c : diffs[i].Changes)
                entry["changes"][c.Key] = {{"old", Utf8FromLatin1(c.Old)}, {"new", Utf8FromLatin1(c.New)}};
        }
    }
    PrintJsonList(out, entries);
}

int Diff(const DiffArgs& args, const Options& options, std::ostream& out, std::ostream& err) {
    std::vector<TDeviceRec> before, after;
    if (!Load(args.Files[0], before, err)) return EXIT_LINK;
    if (args.Files.size() == 2) {
        if (!Load(args.Files[1], after, err)) return EXIT_LINK;
    } else {
        HeadlessHost host({}, options.Interface, options.Targets);
        if (!BringUpAndSearch(host, args.Quick ? 0 : SearchPlan::CYCLES, options, err)) return EXIT_LINK;
        after = host.Table.Rows();
    }
    const std::vector<DeviceDiff> diffs = DiffDevices(before, after);
    Print(diffs, options, out);
    return diffs.empty() ? EXIT_SAME : EXIT_DIFFERENT;
}
}  // namespace

void RegisterDiff(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<DiffArgs>();
    CLI::App* cmd = app.add_subcommand("diff", "compare a saved device file with the network, or with another file");
    cmd->add_option("FILE", args->Files, "the saved device file; a second one is compared instead of the network")
        ->required()
        ->expected(1, 2);
    cmd->add_flag("--quick", args->Quick, "search as search --quick does");
    cmd->footer("Lists devices GONE (in the file, not answering), NEW (answering, not in the file) and\n"
                "CHANGED (one line a key: old -> new).  The date is compared only between two files.\n"
                "Exit status: 0 the lists agree, 1 they differ, 5 the link or a file failed.\n"
                "Options: --json, --interface NAME, --target ADDRESS.");
    cmd->callback([&ctx, args] { ctx.Exit = Diff(*args, ctx.Opt, ctx.Out, ctx.Err); });
}
