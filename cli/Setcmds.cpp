#include "Setcmds.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <thread>

#include "Datecheck.h"
#include "Host.h"
#include "Netcheck.h"
#include "Output.h"
#include "Setvalues.h"
#include "Strings.h"

namespace {
// The network keys in the order of the dialog's rows and checks.
const int kNetworkKeys[NET_ROWS] = {KEY_IPADRM, KEY_IPADRB, KEY_GPID,  KEY_GWAY,   KEY_MASK,   KEY_TRAP1,
                                    KEY_TRAP2,  KEY_TERM,   KEY_LOG,   KEY_OPTIP,  KEY_OPTIP2, KEY_OPTIP3,
                                    KEY_OPT1,   KEY_OPT2,   KEY_OPT3,  KEY_TOUT};
const int kInfoKeys[4] = {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ};

struct Outcome {
    int Code;
    const char* Result;
    std::vector<std::string> Messages;
};

int Report(const std::string& mac, const Outcome& o, const Options& options, std::ostream& out, std::ostream& err) {
    if (options.Json) {
        nlohmann::ordered_json result;
        result["MAC"] = mac;
        result["result"] = o.Result;
        result["messages"] = o.Messages;
        if (o.Code != EXIT_ACK) {
            std::string error;
            for (const std::string& m : o.Messages) error += (error.empty() ? "" : "\n") + m;
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

// The requested values checked as the window checks them; EditRec filled, or
// the refusal with every problem.
bool Checked(int kind, const std::map<int, std::string>& values, const TDeviceRec& row, HeadlessHost& host,
             Outcome& refusal) {
    SetValues requested;
    for (const auto& [key, text] : values) requested[KeyFields[key].Name] = text;
    const SetVerdict verdict = CheckSet(kind, requested, row);
    if (verdict.Outcome == SetOutcome::Ready) {
        host.Table.EditRec = verdict.Edit;
        return true;
    }
    std::vector<std::string> messages;
    for (const SetProblem& p : verdict.Problems) messages.push_back(p.Text);
    refusal = Refused(messages);
    return false;
}

// KEY=VALUE arguments for the allowed keys; false with a message otherwise.
bool ParsePairs(const std::vector<std::string>& args, size_t from, const int* keys, size_t count,
                std::map<int, std::string>& values, std::string& error) {
    for (size_t i = from; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        const std::string key = args[i].substr(0, eq);
        int found = -1;
        for (size_t k = 0; k < count; ++k)
            if (key == KeyFields[keys[k]].Name) found = keys[k];
        if (eq == std::string::npos || found < 0) {
            error = "not a KEY=VALUE of this command: " + args[i];
            return false;
        }
        values[found] = args[i].substr(eq + 1);
    }
    if (values.empty()) error = "no KEY=VALUE given";
    return !values.empty();
}

// Brings the link up and finds the device by one search cycle; the row, -1
// when it did not answer, -2 when the link failed.
int FindDevice(HeadlessHost& host, const std::string& mac, const Options& options, std::ostream& err) {
    if (!BringUpAndSearch(host, 1, options, err)) return -2;
    return mac == "all" ? (host.Table.Count() > 0 ? 0 : -1) : host.Table.FindRow(mac.c_str());
}

// Sends the SET built from EditRec and waits as the dialogs wait.
Outcome SendAndWait(HeadlessHost& host, int row, int kind, bool broadcast) {
    if (!host.Control.RequestSet(row, kind, broadcast)) return {EXIT_SILENT, "NOT_SENT", {MessageText(MSG_NO_ANSWER)}};
    if (broadcast) {
        // Nobody answers a SET to all; the program only waits until it has left.
        for (int i = 0; i < 100 && host.Control.Worker()->Queued() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return {EXIT_ACK, "SENT", {}};
    }
    switch (host.WaitAnswer(row)) {
        case StatusWait::Acknowledged: return {EXIT_ACK, "ACK", {}};
        case StatusWait::Refused: return {EXIT_NAK, "NAK", {MessageText(MSG_NAK)}};
        default: return {EXIT_SILENT, "SILENT", {MessageText(MSG_NO_ANSWER)}};
    }
}

int NotFound(const std::string& mac, int row, std::ostream& err) {
    if (row == -2) return EXIT_LINK;
    err << "tarnel-cli: no device " << mac << " answered\n";
    return EXIT_NOT_FOUND;
}

// MAC KEY=VALUE... of a set- command: parses them, brings the link up and
// finds the device, copying its row.  0, or the exit status to end with.
int Prepare(const std::vector<std::string>& args, const int* keys, size_t count, const char* usage,
            std::map<int, std::string>& values, HeadlessHost& host, int& row, TDeviceRec& rec,
            const Options& options, std::ostream& err) {
    std::string error;
    if (args.empty() || !ParsePairs(args, 1, keys, count, values, error)) {
        err << "tarnel-cli: " << (args.empty() ? "no MAC given" : error) << "\nusage: " << usage << '\n';
        return EXIT_USAGE;
    }
    row = FindDevice(host, args[0], options, err);
    if (row < 0) return NotFound(args[0], row, err);
    host.Table.CopyRow(row, rec);
    return 0;
}
}  // namespace

int SetNetwork(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    std::map<int, std::string> values;
    HeadlessHost host({}, options.Interface);
    int row = -1;
    TDeviceRec r{};
    if (const int status = Prepare(args, kNetworkKeys, NET_ROWS, "tarnel-cli set-network MAC KEY=VALUE... --yes",
                                   values, host, row, r, options, err))
        return status;
    const std::string& mac = args[0];
    Outcome refusal;
    if (!Checked(KIND_NETWORK, values, r, host, refusal)) return Report(mac, refusal, options, out, err);
    if (!options.Yes)
        return Report(mac, Refused({MessageText(MSG_REBOOT), "(add --yes to agree)"}), options, out, err);
    return Report(mac, SendAndWait(host, row, KIND_NETWORK, false), options, out, err);
}

int SetInfo(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    std::map<int, std::string> values;
    HeadlessHost host({}, options.Interface);
    int row = -1;
    TDeviceRec r{};
    if (const int status = Prepare(args, kInfoKeys, 4, "tarnel-cli set-info MAC KEY=VALUE...   (KEY: CONT NAME LOC UNIQ)",
                                   values, host, row, r, options, err))
        return status;
    const std::string& mac = args[0];
    Outcome refusal;
    if (!Checked(KIND_DEVINFO, values, r, host, refusal)) return Report(mac, refusal, options, out, err);
    return Report(mac, SendAndWait(host, row, KIND_DEVINFO, false), options, out, err);
}

int SetDate(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    if (args.size() != 7) {
        err << "usage: tarnel-cli set-date MAC|all YYYY MM DD HH MM GMT\n";
        return EXIT_USAGE;
    }
    const std::string& mac = args[0];
    HeadlessHost host({}, options.Interface);
    const int row = FindDevice(host, mac, options, err);
    if (row < 0) return NotFound(mac, row, err);
    // As the Date command does: the device's own date first.
    if (!host.Control.RequestQuery(row, KIND_DATE) || host.WaitAnswer(row) != StatusWait::Acknowledged)
        return Report(mac, {EXIT_SILENT, "SILENT", {MessageText(MSG_NO_ANSWER)}}, options, out, err);

    TDeviceRec r{};
    host.Table.CopyRow(row, r);
    SetValues requested;
    for (int i = 0; i < DATE_EDITS; ++i) requested[DateKeys[i]] = args[static_cast<size_t>(i) + 1];
    const SetVerdict verdict = CheckSet(KIND_DATE, requested, r);
    if (verdict.Outcome != SetOutcome::Ready) return Report(mac, Refused({verdict.Problems.front().Text}), options, out, err);
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
    cmd->add_option("MAC", args.Mac, "the device's MAC, six hex pairs joined by '-'")->required();
    cmd->add_option(rest, args.Rest, restWhat)->required();
    return cmd;
}
}  // namespace

void RegisterSetNetwork(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<SetArgs>();
    SetCommand(app, "set-network", "change network settings (the device reboots)", "KEY=VALUE", "settings to change",
               *args)
        ->footer("KEY: IPADRM IPADRB GPID GWAY MASK TRAP1 TRAP2 TERM LOG OPTIP OPTIP2 OPTIP3 OPT1 OPT2 OPT3 TOUT\n"
                 "The device reboots to take the settings; --yes agrees to that.")
        ->callback([&ctx, args] { ctx.Exit = SetNetwork(args->All(), ctx.Opt, ctx.Out, ctx.Err); });
}

void RegisterSetInfo(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<SetArgs>();
    SetCommand(app, "set-info", "change CONT, NAME, LOC or UNIQ", "KEY=VALUE", "texts to change", *args)
        ->footer("KEY: CONT NAME LOC (20 characters) UNIQ (an integer)")
        ->callback([&ctx, args] { ctx.Exit = SetInfo(args->All(), ctx.Opt, ctx.Out, ctx.Err); });
}

void RegisterSetDate(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<SetArgs>();
    CLI::App* cmd = SetCommand(app, "set-date", "set the date and time of one device, or of all",
                               "YYYY MM DD HH MM GMT", "the date, the time and the offset from GMT in hours", *args);
    cmd->get_option("YYYY MM DD HH MM GMT")->expected(DATE_EDITS);
    cmd->footer("MAC may be all: every device, by broadcast; nobody answers it.")
        ->callback([&ctx, args] { ctx.Exit = SetDate(args->All(), ctx.Opt, ctx.Out, ctx.Err); });
}
