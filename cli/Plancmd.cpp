#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "plan/Host.h"
#include "cli/Plancmds.h"
#include "files/Plancsv.h"
#include "plan/Proposal.h"
#include "cli/Termtext.h"

namespace {
// A plan shown on a terminal: one record a line, the control characters of
// device texts escaped as the lists escape them.  To a file or a pipe the
// CSV goes as it is.
std::string CsvForTerminal(const std::string& csv) {
    std::string out, record;
    bool quoted = false;
    for (size_t i = 0; i < csv.size(); ++i) {
        if (csv[i] == '"') quoted = !quoted;
        if (!quoted && csv.compare(i, 2, "\r\n") == 0) {
            out += TerminalText(record) + '\n';
            record.clear();
            ++i;
        } else {
            record += csv[i];
        }
    }
    return out + TerminalText(record);
}
}  // namespace

int RunPlan(const PlanArgs& args, const Options& options, std::ostream& out, std::ostream& err) {
    if (args.FirstAddress.empty() && !(args.Mask.empty() && args.Gateway.empty())) {
        err << "tarnel-cli: --mask and --gateway go with --first-address\n";
        return EXIT_USAGE;
    }
    if (!args.FirstAddress.empty() && args.Mask.empty()) {
        err << "tarnel-cli: --first-address needs --mask, which tells the subnet\n";
        return EXIT_USAGE;
    }
    // Refused before any traffic, as the set- commands refuse.
    if (!args.FirstAddress.empty()) {
        const std::vector<std::string> problems = CheckProposal(args.FirstAddress, args.Mask, args.Gateway);
        for (const std::string& p : problems) err << "tarnel-cli: " << TerminalText(p) << '\n';
        if (!problems.empty()) return EXIT_REFUSED;
    }
    HeadlessHost host({}, options.Interface, options.Targets);
    if (!BringUpAndSearch(host, SearchPlan::CYCLES, options, err)) return EXIT_LINK;
    std::vector<TDeviceRec> rows = host.Table.Rows();
    if (!args.FirstAddress.empty()) {
        std::stable_sort(rows.begin(), rows.end(), SerialBefore);
        const Proposal p = ProposeAddresses(rows, args.FirstAddress, args.Mask, args.Gateway);
        const auto addressed = std::count_if(rows.begin(), rows.end(), [](const TDeviceRec& r) { return HasKey(r, KEY_IPADRM); });
        if (p.NotFitting > 0)
            err << "tarnel-cli: the subnet has no address left for " << p.NotFitting << " of the " << addressed
                << " devices\n";
        if (!p.Problems.empty() || p.NotFitting > 0) return EXIT_REFUSED;
    }
    const std::string csv = PlanCsv(std::move(rows));
    out << (options.OutTerminal ? CsvForTerminal(csv) : csv);
    return 0;
}

void RegisterPlan(CLI::App& app, CliContext& ctx) {
    CLI::App* cmd = app.add_subcommand("plan", "write the devices' settings, or new main addresses for them, as CSV");
    auto args = std::make_shared<PlanArgs>();
    cmd->add_option("--first-address", args->FirstAddress, "propose consecutive main addresses from this one");
    cmd->add_option("--mask", args->Mask, "the subnet mask of the proposal, written to MASK");
    cmd->add_option("--gateway", args->Gateway, "the default gateway of the proposal, written to GWAY");
    cmd->footer("Searches (about nine seconds) and writes CSV (RFC 4180, UTF-8) to standard output: a header,\n"
                "then one device a row ordered by serial.  Edit it, then: tarnel-cli apply FILE --dry-run");
    cmd->callback([&ctx, args] { ctx.Exit = RunPlan(*args, ctx.Opt, ctx.Out, ctx.Err); });
}
