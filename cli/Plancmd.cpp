#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "cli/Host.h"
#include "cli/Plancmds.h"
#include "files/Plancsv.h"
#include "cli/Proposal.h"
#include "rules/Strings.h"

int RunPlan(const PlanArgs& args, const Options& options, std::ostream& out, std::ostream& err) {
    if (args.FirstAddress.empty() && !(args.Mask.empty() && args.Gateway.empty())) {
        err << "tarnel-cli: --mask and --gateway go with --first-address\n";
        return EXIT_USAGE;
    }
    if (!args.FirstAddress.empty() && args.Mask.empty()) {
        err << "tarnel-cli: --first-address needs --mask, which tells the subnet\n";
        return EXIT_USAGE;
    }
    HeadlessHost host({}, options.Interface, options.Targets);
    if (!BringUpAndSearch(host, SearchPlan::CYCLES, options, err)) return EXIT_LINK;
    std::vector<TDeviceRec> rows = host.Table.Rows();
    if (!args.FirstAddress.empty()) {
        std::stable_sort(rows.begin(), rows.end(), SerialBefore);
        const Proposal p = ProposeAddresses(rows, args.FirstAddress, args.Mask, args.Gateway);
        for (int id : p.Messages) err << "tarnel-cli: " << MessageText(id) << '\n';
        if (p.NotFitting > 0)
            err << "tarnel-cli: the subnet has no address left for " << p.NotFitting << " of the " << rows.size()
                << " devices\n";
        if (!p.Messages.empty() || p.NotFitting > 0) return EXIT_REFUSED;
    }
    out << PlanCsv(std::move(rows));
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
