#include "cli/Setcmds.h"

#include <strings.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstring>
#include <memory>

#include "plan/Host.h"
#include "cli/Setargs.h"
#include "cli/Setreport.h"
#include "cli/Termtext.h"
#include "rules/Datecheck.h"
#include "rules/Datenow.h"
#include "rules/Strings.h"

namespace {
// Brings the link up, searches one cycle and finds the device: its row, or
// the exit status to end with.
int FindDevice(HeadlessHost& host, const std::string& mac, const Options& options, std::ostream& err, int& row) {
    if (!BringUpAndSearch(host, 1, options, err)) return EXIT_LINK;
    const std::vector<TDeviceRec> rows = host.Table.Rows();
    if (mac == "all") {
        row = 0;
        if (!rows.empty()) return 0;
        err << "tarnel-cli: no device answered\n";
        return EXIT_NOT_FOUND;
    }
    std::vector<int> matches;
    for (size_t i = 0; i < rows.size(); ++i)
        if (strnlen(rows[i].MAC, sizeof rows[i].MAC) == MAC_LEN && strncasecmp(rows[i].MAC, mac.c_str(), MAC_LEN) == 0)
            matches.push_back(static_cast<int>(i));
    if (matches.size() == 1) {
        row = matches[0];
        // Another host, or a second device with its MAC, answers too: a SET
        // could change the wrong one, or be counted from the wrong one.
        if (const std::string doubt = host.Table.RowDoubt(row); !doubt.empty()) {
            err << "tarnel-cli: " << mac << ' ' << doubt << "; nothing was sent (search again once it answers from one)\n";
            return EXIT_REFUSED;
        }
        return 0;
    }
    if (matches.empty()) {
        err << "tarnel-cli: no device " << mac << " answered\n";
        return EXIT_NOT_FOUND;
    }
    // Two rows that differ only in letter case: which one is meant is unknown.
    err << "tarnel-cli: " << mac << " matches more than one device:";
    for (int m : matches) err << ' ' << ForTerminal(rows[static_cast<size_t>(m)].MAC);
    err << '\n';
    return EXIT_REFUSED;
}

// set-network and set-info: MAC KEY=VALUE...; refusals that need no device
// come before any traffic.
int SetKeys(int kind, const std::vector<std::string>& args, const Options& options, std::ostream& out,
            std::ostream& err) {
    const std::string& mac = args[0];
    if (!MacArgument(mac, false, err)) return EXIT_USAGE;
    SetValues values;
    std::vector<std::string> problems;
    if (const int status = ParsePairs(args, kind, values, problems, err)) return status;
    if (!problems.empty()) return Report(mac, Refused(problems), options, out, err);
    if (const SetVerdict form = CheckForm(kind, values); form.Outcome != SetOutcome::Ready)
        return Report(mac, Refused(form), options, out, err);
    if (kind == KIND_NETWORK && !options.Yes)
        return Report(mac, Refused({MessageText(MSG_REBOOT), "(add --yes to agree)"}), options, out, err);

    HeadlessHost host({}, options.Interface, options.Targets);
    int row = -1;
    if (const int status = FindDevice(host, mac, options, err, row)) return status;
    TDeviceRec current{};
    host.Table.CopyRow(row, current);
    const SetVerdict verdict = CheckSet(kind, values, current);
    if (verdict.Outcome != SetOutcome::Ready) return Report(mac, Refused(verdict), options, out, err);
    return Report(mac, ReportOf(SendAndWait(host, row, kind, verdict.Edit, false)), options, out, err);
}
}  // namespace

int SetNetwork(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    return SetKeys(KIND_NETWORK, args, options, out, err);
}

int SetInfo(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    return SetKeys(KIND_DEVINFO, args, options, out, err);
}

// A device that reports a date, as the date's checks assume it until the
// device itself is asked.
static TDeviceRec AnyDated() {
    TDeviceRec any{};
    any.HasYMDHM = any.HasGMT = 1;
    return any;
}

// The date edits of this computer's clock; false (and the refusal in o) when
// its offset from UTC is not whole hours, or more than a device takes.
static bool NowValues(const std::string& mac, SetValues& values, SetReport& o) {
    const NowEdits now = EditsOfNow();
    for (int i = 0; i < DATE_EDITS && now.Ok; ++i) values[DateKeys[i]] = now.Edits[static_cast<size_t>(i)];
    const SetVerdict verdict = CheckSet(KIND_DATE, values, AnyDated());
    const bool outside = now.Ok && !verdict.Problems.empty() && verdict.Problems.front().Key == DateKeys[DATE_GMT];
    if (now.Ok && !outside) return true;
    o = Refused({"this computer's offset from UTC, " + now.Offset +
                 (outside ? ", is outside the -12 to +13 hours a device takes" : ", is not whole hours") +
                 "; give the date explicitly: tarnel-cli set-date " + mac + " YYYY MM DD HH MM GMT"});
    return false;
}

int SetDate(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    const bool now = args.size() == 2 && args[1] == "now";
    if (args.size() != 1 + DATE_EDITS && !now) {
        err << "usage: tarnel-cli set-date MAC|all YYYY MM DD HH MM GMT\n       tarnel-cli set-date MAC|all now\n";
        return EXIT_USAGE;
    }
    const std::string& mac = args[0];
    if (!MacArgument(mac, true, err)) return EXIT_USAGE;
    SetValues values;
    SetReport refusal;
    // Refused before any traffic; the clock is read again just before the SET.
    if (now && !NowValues(mac, values, refusal)) return Report(mac, refusal, options, out, err);
    for (int i = 0; i < DATE_EDITS && !now; ++i) values[DateKeys[i]] = args[static_cast<size_t>(i) + 1];
    // The date's checks need no device.
    if (const SetVerdict verdict = CheckSet(KIND_DATE, values, AnyDated()); verdict.Outcome != SetOutcome::Ready)
        return Report(mac, Refused({verdict.Problems.front().Text}), options, out, err);

    HeadlessHost host({}, options.Interface, options.Targets);
    int row = -1;
    if (const int status = FindDevice(host, mac, options, err, row)) return status;
    // As the Date command does: the device's own date first.  For all, the
    // first of a few rows that answers with a date stands for every device, so
    // that one device that keeps its date to itself does not stop the rest.
    constexpr int kDateTries = 3;
    const int last = mac == "all" ? std::min(host.Table.Count(), kDateTries) : row + 1;
    SetReport failed{EXIT_SILENT, "SILENT", {MessageText(MSG_NO_ANSWER)}};
    SetVerdict verdict;
    for (; row < last; ++row) {
        if (!host.Control.RequestQuery(row, KIND_DATE) || host.WaitAnswer(row) != StatusWait::Acknowledged) {
            if (const std::string down = host.LinkDown(); !down.empty())
                return Report(mac, {EXIT_LINK, "LINK_DOWN", {down}}, options, out, err);
            continue;
        }
        TDeviceRec current{};
        host.Table.CopyRow(row, current);
        if (now && !NowValues(mac, values, refusal)) return Report(mac, refusal, options, out, err);
        verdict = CheckSet(KIND_DATE, values, current);
        if (verdict.Outcome == SetOutcome::Ready) break;
        failed = Refused(verdict);
    }
    if (row == last) return Report(mac, failed, options, out, err);
    return Report(mac, ReportOf(SendAndWait(host, row, KIND_DATE, verdict.Edit, mac == "all")), options, out, err);
}

namespace {
// MAC, then the rest of the line: the arguments a set- command runs with.
struct SetArgs {
    std::string Mac;
    std::vector<std::string> Rest;
    std::vector<std::string> All() const {
        std::vector<std::string> all{Mac};
        all.insert(all.end(), Rest.begin(), Rest.end());
        return all;
    }
};

CLI::App* SetCommand(CLI::App& app, const char* name, const char* what, const char* rest, const char* restWhat,
                     SetArgs& args) {
    CLI::App* cmd = app.add_subcommand(name, what);
    cmd->add_option("MAC", args.Mac, std::string("the device's MAC: ") + kMacForm)->required();
    cmd->add_option(rest, args.Rest, restWhat)->required();
    return cmd;
}
}  // namespace

void RegisterSetNetwork(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<SetArgs>();
    SetCommand(app, "set-network", "change network settings (the device reboots)", "KEY=VALUE", "settings to change",
               *args)
        ->footer(KeysLine(KIND_NETWORK) + "\n" +
                 Wrapped(EditsHelp(KIND_NETWORK) + ".  Only keys the device reports; the Network Setup window's "
                                                   "checks and messages apply.  The device reboots; --yes agrees to that.",
                         90))
        ->callback([&ctx, args] { ctx.Exit = SetNetwork(args->All(), ctx.Opt, ctx.Out, ctx.Err); });
}

void RegisterSetInfo(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<SetArgs>();
    SetCommand(app, "set-info", "change CONT, NAME, LOC or UNIQ", "KEY=VALUE", "texts to change", *args)
        ->footer("KEY: CONT NAME LOC (1 to 20 Latin-1 characters, no control characters), UNIQ (up to 3\n"
                 "characters: digits, a sign before them; not -1).  Only keys the device reports.")
        ->callback([&ctx, args] { ctx.Exit = SetInfo(args->All(), ctx.Opt, ctx.Out, ctx.Err); });
}

void RegisterSetDate(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<SetArgs>();
    CLI::App* cmd = SetCommand(app, "set-date", "set the date and time of one device, or of all",
                               "YYYY MM DD HH MM GMT", "the date, the time and the offset from GMT in hours", *args);
    cmd->get_option("YYYY MM DD HH MM GMT")->expected(1, DATE_EDITS);
    cmd->footer("YYYY: 4 digits; MM DD HH MM: 1 or 2 digits; GMT: -12 to 13, up to 3 characters.\n"
                "now instead of the date: this computer's local time and its offset from UTC in whole\n"
                "hours (an offset such as +5:30 is refused; give the date explicitly then).\n"
                "MAC may be all: every device, by broadcast; nobody answers it, so SENT means it left.")
        ->callback([&ctx, args] { ctx.Exit = SetDate(args->All(), ctx.Opt, ctx.Out, ctx.Err); });
}
