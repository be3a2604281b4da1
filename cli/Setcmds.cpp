#include "cli/Setcmds.h"

#include <strings.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "rules/Datecheck.h"
#include "rules/Datenow.h"
#include "cli/Host.h"
#include "cli/Output.h"
#include "rules/Setvalues.h"
#include "rules/Strings.h"
#include "cli/Termtext.h"

namespace {
const char* const kMacForm = "six hex pairs joined by '-', as 02-00-00-00-00-0A";

struct Outcome {
    int Code;
    const char* Result;
    std::vector<std::string> Messages;
};

// The messages are the program's own and the user's words, not device texts.
int Report(const std::string& mac, const Outcome& o, const Options& options, std::ostream& out, std::ostream& err) {
    if (options.Json) {
        nlohmann::ordered_json result;
        result["MAC"] = mac;
        result["result"] = o.Result;
        result["messages"] = nlohmann::ordered_json::array();
        std::string error;
        for (const std::string& m : o.Messages) {
            result["messages"].push_back(m);
            error += (error.empty() ? "" : "\n") + m;
        }
        if (o.Code != EXIT_ACK) {
            result["error"] = error;
            result["exit"] = o.Code;
        }
        out << OneLine(result) << '\n';
    } else {
        for (const std::string& m : o.Messages) err << m << '\n';
        if (o.Code == EXIT_ACK) out << mac << '\t' << o.Result << '\n';
    }
    return o.Code;
}

Outcome Refused(std::vector<std::string> messages) { return {EXIT_REFUSED, "REFUSED", std::move(messages)}; }

Outcome Refused(const SetVerdict& verdict) {
    std::vector<std::string> messages;
    for (const SetProblem& p : verdict.Problems)
        messages.push_back(p.Detail.empty() ? p.Text : p.Text + " (" + p.Key + ": " + p.Detail + ")");
    return Refused(messages);
}

bool IsMac(const std::string& text) {
    if (text.size() != MAC_LEN) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool dash = i % 3 == 2;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

// The MAC argument names one device: exactly six hex pairs and never the
// broadcast MAC, which every device takes for its own.  "all" only where the
// command sends to every device.
bool MacArgument(const std::string& mac, bool allAllowed, std::ostream& err) {
    if (mac == "all") {
        if (allAllowed) return true;
        err << "tarnel-cli: all is for set-date only; name one device by its MAC (" << kMacForm << ")\n";
    } else if (!IsMac(mac)) {
        err << "tarnel-cli: '" << TerminalText(mac) << "' is not a MAC: expected " << kMacForm << '\n';
    } else if (IsBroadcastMac(mac.c_str())) {
        err << "tarnel-cli: " << BROADCAST_MAC << " is every device, not one"
            << (allAllowed ? "; use all to send to every device\n" : "\n");
    } else {
        return true;
    }
    return false;
}

// KEY=VALUE arguments in Latin-1.  A word that is not KEY=VALUE of this
// command is wrong usage; a value that is no Latin-1 text is refused.
int ParsePairs(const std::vector<std::string>& args, int kind, SetValues& values, std::vector<std::string>& problems,
               std::ostream& err) {
    const std::vector<std::string> keys = SetKeyNames(kind);
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        const std::string key = args[i].substr(0, eq);
        if (eq == std::string::npos || std::find(keys.begin(), keys.end(), key) == keys.end()) {
            err << "tarnel-cli: not a KEY=VALUE of this command: " << TerminalText(args[i]) << '\n';
            return EXIT_USAGE;
        }
        std::string latin1, problem;
        if (!TerminalToLatin1(args[i].substr(eq + 1), latin1, problem)) problems.push_back(key + ": " + problem);
        values[key] = latin1;
    }
    return 0;
}

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

// Sends the SET built from EditRec and waits as the dialogs wait.
Outcome SendAndWait(HeadlessHost& host, int row, int kind, bool broadcast) {
    const uint32_t failures = host.Control.Worker() ? host.Control.Worker()->Failures() : 0;
    if (!host.Control.RequestSet(row, kind, broadcast)) return {EXIT_SILENT, "NOT_SENT", {MessageText(MSG_NO_ANSWER)}};
    if (broadcast) {
        // Nobody answers a SET to all: it counts as sent once it has left on a
        // link that stayed up.
        if (host.WaitSent(failures)) return {EXIT_ACK, "SENT", {}};
        return {EXIT_LINK, "NOT_SENT", {host.LinkDown().empty() ? "the frame did not leave" : host.LinkDown()}};
    }
    const StatusWait::Outcome answer = host.WaitAnswer(row);
    if (answer == StatusWait::Acknowledged) return {EXIT_ACK, "ACK", {}};
    if (answer == StatusWait::Refused) return {EXIT_NAK, "NAK", {MessageText(MSG_NAK)}};
    if (const std::string down = host.LinkDown(); !down.empty()) return {EXIT_LINK, "LINK_DOWN", {down}};
    return {EXIT_SILENT, "SILENT", {MessageText(MSG_NO_ANSWER)}};
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
    host.Table.EditRec = verdict.Edit;
    return Report(mac, SendAndWait(host, row, kind, false), options, out, err);
}
}  // namespace

int SetNetwork(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    return SetKeys(KIND_NETWORK, args, options, out, err);
}

int SetInfo(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    return SetKeys(KIND_DEVINFO, args, options, out, err);
}

// The date edits of this computer's clock; false (and the refusal in o) when
// its offset from UTC is not whole hours.
static bool NowValues(const std::string& mac, SetValues& values, Outcome& o) {
    const NowEdits now = EditsOfNow();
    if (!now.Ok) {
        o = Refused({"this computer's offset from UTC, " + now.Offset +
                     ", is not whole hours; give the date explicitly: tarnel-cli set-date " + mac +
                     " YYYY MM DD HH MM GMT"});
        return false;
    }
    for (int i = 0; i < DATE_EDITS; ++i) values[DateKeys[i]] = now.Edits[static_cast<size_t>(i)];
    return true;
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
    Outcome refusal;
    // Refused before any traffic; the clock is read again just before the SET.
    if (now && !NowValues(mac, values, refusal)) return Report(mac, refusal, options, out, err);
    for (int i = 0; i < DATE_EDITS && !now; ++i) values[DateKeys[i]] = args[static_cast<size_t>(i) + 1];
    // The date's checks need no device; one that reports a date is assumed
    // until the device itself is asked.
    TDeviceRec any{};
    any.HasYMDHM = any.HasGMT = 1;
    if (const SetVerdict verdict = CheckSet(KIND_DATE, values, any); verdict.Outcome != SetOutcome::Ready)
        return Report(mac, Refused({verdict.Problems.front().Text}), options, out, err);

    HeadlessHost host({}, options.Interface, options.Targets);
    int row = -1;
    if (const int status = FindDevice(host, mac, options, err, row)) return status;
    // As the Date command does: the device's own date first.  For all, the
    // first of a few rows that answers with a date stands for every device, so
    // that one device that keeps its date to itself does not stop the rest.
    constexpr int kDateTries = 3;
    const int last = mac == "all" ? std::min(host.Table.Count(), kDateTries) : row + 1;
    Outcome failed{EXIT_SILENT, "SILENT", {MessageText(MSG_NO_ANSWER)}};
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
    host.Table.EditRec = verdict.Edit;
    return Report(mac, SendAndWait(host, row, KIND_DATE, mac == "all"), options, out, err);
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
