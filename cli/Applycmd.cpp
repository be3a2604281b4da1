#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "files/Diskfile.h"
#include "plan/Host.h"
#include "cli/Plancmds.h"
#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "rules/Strings.h"
#include "cli/Termtext.h"

namespace {
using Json = nlohmann::ordered_json;

volatile sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) { gInterrupted = 1; }

// Ctrl-C while a device is being set lets that device finish; a second one
// ends the program at once.
class InterruptGuard {
public:
    InterruptGuard() {
        gInterrupted = 0;
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sa.sa_flags = SA_RESETHAND;
        ::sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &Old);
    }
    ~InterruptGuard() { ::sigaction(SIGINT, &Old, nullptr); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction Old {};
};

Consent AskOnTerminal(int rebooting) {
    if (::isatty(STDIN_FILENO) == 0) return Consent::NoTerminal;
    std::cerr << rebooting << (rebooting == 1 ? " device gets" : " devices get") << " new network settings.\n"
              << MessageText(MSG_REBOOT) << " [y/N] " << std::flush;
    std::string answer;
    // Ctrl-C breaks off the read: the answer is no, and the exit says why.
    if (!std::getline(std::cin, answer)) return gInterrupted != 0 ? Consent::Interrupted : Consent::No;
    return answer == "y" || answer == "Y" || answer == "yes" ? Consent::Yes : Consent::No;
}

std::string Cell(const PlannedDevice& d, int key) { return Utf8FromLatin1(PlanCell(d.Current, key)); }

void PrintProblems(const ApplyReport& r, std::ostream& err) {
    for (const PlanProblem& p : r.Plan.Problems)
        err << "tarnel-cli: row " << p.Row << (p.Mac.empty() ? "" : " (" + ForTerminal(p.Mac) + ")") << ": "
            << TerminalText(p.Text) << '\n';
    if (!r.Plan.Problems.empty()) err << "tarnel-cli: the plan is refused; nothing was sent\n";
    if (!r.Refusal.empty()) err << "tarnel-cli: " << r.Refusal << '\n';
}

void PrintText(const ApplyReport& r, bool dryRun, std::ostream& out, std::ostream& err) {
    for (size_t i = 0; i < r.Devices.size(); ++i) {
        const PlannedDevice& d = r.Plan.Devices[i];
        const DeviceOutcome& o = r.Devices[i];
        const std::string head =
            ForTerminal(PlanCell(d.Current, KEY_MAC)) + '\t' + ForTerminal(PlanCell(d.Current, KEY_SERIAL)) + '\t';
        if (dryRun) {
            if (d.Changes.empty()) out << head << "unchanged\n";
            for (const KeyChange& c : d.Changes)
                out << head << KeyFields[c.Key].Name << ": " << ForTerminal(c.Old) << " -> " << ForTerminal(c.New) << '\n';
            if (!o.After.empty()) out << head << "after " << ForTerminal(o.After) << " leaves " << o.Address << '\n';
            continue;
        }
        out << head << ResultName(o.Result);
        if (o.Result == DeviceResult::Blocked) out << '\t' << o.Address << " still held by " << ForTerminal(o.After);
        if (o.Information) out << "\tinformation " << ResultName(*o.Information);
        if (!o.MismatchKeys.empty()) out << '\t' << MismatchNames(o);
        out << '\n';
    }
    if (dryRun) return;
    out << r.Devices.size() << (r.Devices.size() == 1 ? " device" : " devices");
    if (const std::string counts = ResultCounts(r.Devices); !counts.empty()) out << ": " << counts;
    out << '\n';
    if (r.Interrupted) err << "tarnel-cli: interrupted; the devices marked NOT_SENT were left as they were\n";
}

void PrintJson(const ApplyReport& r, bool dryRun, std::ostream& out) {
    Json doc;
    doc["dry_run"] = dryRun;
    Json devices = Json::array();
    for (size_t i = 0; i < r.Devices.size(); ++i) {
        const PlannedDevice& d = r.Plan.Devices[i];
        Json changes = Json::array(), mismatch = Json::array();
        for (const KeyChange& c : d.Changes)
            changes.push_back({{"key", KeyFields[c.Key].Name}, {"old", Utf8FromLatin1(c.Old)}, {"new", Utf8FromLatin1(c.New)}});
        for (int key : r.Devices[i].MismatchKeys) mismatch.push_back(KeyFields[key].Name);
        devices.push_back({{"row", d.Row}, {"MAC", Cell(d, KEY_MAC)}, {"SERIAL", Cell(d, KEY_SERIAL)},
                           {"result", ResultName(r.Devices[i].Result)}, {"changes", changes}, {"mismatch", mismatch}});
        if (r.Devices[i].Information) devices.back()["information"] = ResultName(*r.Devices[i].Information);
        if (!r.Devices[i].After.empty()) devices.back()["after"] = Utf8FromLatin1(r.Devices[i].After);
    }
    doc["devices"] = devices;
    Json problems = Json::array();
    for (const PlanProblem& p : r.Plan.Problems)
        problems.push_back({{"row", p.Row}, {"MAC", Utf8FromLatin1(p.Mac)}, {"key", p.Key}, {"message", p.Text}});
    if (!r.Refusal.empty()) problems.push_back({{"row", 0}, {"MAC", ""}, {"message", r.Refusal}});
    doc["problems"] = problems;
    doc["interrupted"] = r.Interrupted;
    doc["exit"] = r.Exit;
    // A problem quotes the plan's own bytes, which need not be UTF-8.
    out << doc.dump(2, ' ', true, nlohmann::json::error_handler_t::replace) << '\n';
}
}  // namespace

int RunApply(const ApplyArgs& args, const Options& options, std::ostream& out, std::ostream& err,
             std::function<Consent(int)> ask, std::function<bool()> interrupted) {
    const FileRead file = ReadCappedFile(args.Path, PLAN_MAX_BYTES);
    if (file.Outcome != ReadOutcome::Read) {
        err << "tarnel-cli: cannot read " << args.Path << ": " << file.Reason << '\n';
        return EXIT_LINK;
    }
    std::string error;
    const auto records =
        ParseCsv(std::string_view(reinterpret_cast<const char*>(file.Bytes.data()), file.Bytes.size()), error);
    if (!records) {
        err << "tarnel-cli: " << args.Path << " is no CSV file: " << error << '\n';
        return EXIT_REFUSED;
    }
    InterruptGuard guard;
    HeadlessHost host({}, options.Interface, options.Targets);
    ApplyOptions apply;
    apply.DryRun = args.DryRun;
    apply.NoVerify = args.NoVerify;
    apply.Yes = options.Yes;
    apply.Search = [&](int cycles) { return BringUpAndSearch(host, cycles, options, err); };
    apply.Ask = ask ? std::move(ask) : AskOnTerminal;
    apply.Interrupted = interrupted ? std::move(interrupted) : [] { return gInterrupted != 0; };
    const ApplyReport report = ApplyPlan(host, *records, apply);
    if (report.Exit == EXIT_LINK && report.Plan.Devices.empty() && report.Plan.Problems.empty()) return EXIT_LINK;
    if (options.Json) PrintJson(report, args.DryRun, out);
    else if (report.Plan.Problems.empty() && report.Refusal.empty()) PrintText(report, args.DryRun, out, err);
    if (!options.Json) PrintProblems(report, err);
    return report.Exit;
}

void RegisterApply(CLI::App& app, CliContext& ctx) {
    CLI::App* cmd = app.add_subcommand("apply", "check a plan against the network in full, then set the devices");
    auto args = std::make_shared<ApplyArgs>();
    cmd->add_option("PLAN", args->Path, "the plan, a CSV file as plan writes it")->required();
    cmd->add_flag("--dry-run", args->DryRun, "print what would change; send nothing");
    cmd->add_flag("--no-verify", args->NoVerify, "do not search afterwards to check the devices");
    cmd->footer("Any problem of any row refuses the whole plan (exit 3).  Network settings reboot a device:\n"
                "without --yes it asks once on the terminal.  A device moving to the address of another\n"
                "goes after it, and is BLOCKED if that one did not leave.  Exit status: 0 all VERIFIED or\n"
                "UNCHANGED, 1 a device refused, 2 a device did not answer, verify or was BLOCKED,\n"
                "3 refused (nothing sent, or NOT_SENT), 5 link or file failed, 130 interrupted.");
    cmd->callback([&ctx, args] { ctx.Exit = RunApply(*args, ctx.Opt, ctx.Out, ctx.Err); });
}
