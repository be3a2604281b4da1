#include "plan/Applyrun.h"

#include <algorithm>
#include <map>
#include <chrono>
#include <thread>

#include "plan/Exitcodes.h"
#include "plan/Host.h"
#include "files/Plancsv.h"

namespace {
int ExitOf(DeviceResult r) {
    switch (r) {
        case DeviceResult::Refused: return EXIT_NAK;
        case DeviceResult::Mismatch:
        case DeviceResult::Unverified:
        case DeviceResult::Silent:
        case DeviceResult::Blocked: return EXIT_SILENT;
        // Left out but neither interrupted nor for the link: the SET was refused.
        case DeviceResult::NotSent: return EXIT_REFUSED;
        default: return EXIT_ACK;
    }
}

bool MovesMain(const PlannedDevice& d) {
    return std::any_of(d.Changes.begin(), d.Changes.end(), [](const KeyChange& c) { return c.Key == KEY_IPADRM; });
}

// For each device, the devices that hold the main address it is to take and
// are to leave it (the plan check refuses any other holder).
std::vector<std::vector<size_t>> Holders(const std::vector<PlannedDevice>& devices) {
    std::vector<std::vector<size_t>> holders(devices.size());
    for (size_t i = 0; i < devices.size(); ++i) {
        if (!MovesMain(devices[i])) continue;
        const std::string wanted = SentForm(KEY_IPADRM, devices[i].Values.at(KEY_IPADRM));
        for (size_t h = 0; h < devices.size(); ++h)
            if (h != i && MovesMain(devices[h]) && SameAddress(wanted, PlanCell(devices[h].Current, KEY_IPADRM)))
                holders[i].push_back(h);
    }
    return holders;
}

// The order to send in: a device after those that hold its new address, plan
// order otherwise.  Devices that swap addresses wait on each other; the first
// of them in the plan goes first, as nothing else can.
std::vector<size_t> SendOrder(const std::vector<std::vector<size_t>>& holders) {
    std::vector<size_t> order;
    std::vector<bool> placed(holders.size(), false);
    while (order.size() < holders.size()) {
        size_t pick = holders.size();
        for (size_t i = 0; i < holders.size() && pick == holders.size(); ++i)
            if (!placed[i] && std::all_of(holders[i].begin(), holders[i].end(), [&](size_t h) { return placed[h]; }))
                pick = i;
        for (size_t i = 0; i < holders.size() && pick == holders.size(); ++i)
            if (!placed[i]) pick = i;
        placed[pick] = true;
        order.push_back(pick);
    }
    return order;
}

// The planned keys a device reports otherwise; kind -1 for all of them.
std::vector<int> Differing(const PlannedDevice& d, const TDeviceRec& now, int kind) {
    std::vector<int> keys;
    for (const auto& [key, value] : d.Values)
        if ((kind < 0 || KindOf(key) == kind) && PlanCell(now, key) != SentForm(key, value)) keys.push_back(key);
    return keys;
}

DeviceResult FromSend(SendResult r) {
    switch (r) {
        case SendResult::Ack: return DeviceResult::Acknowledged;
        case SendResult::Nak: return DeviceResult::Refused;
        case SendResult::NotSent: return DeviceResult::NotSent;
        default: return DeviceResult::Silent;
    }
}

// The result that the search settles: the device's, or that of the part it took.
DeviceResult& Checked(DeviceOutcome& o) { return o.Information ? *o.Information : o.Result; }

// Searches afresh, so that a device that does not answer cannot pass on what it
// reported before; a device that has not yet come back from its reboot gets
// the cycles of a whole search.
void Verify(HeadlessHost& host, ApplyReport& report, const ApplyOptions& options, bool& linkFailed) {
    std::vector<size_t> pending = BeginVerify(report);
    if (pending.empty()) return;
    host.Table.DeleteRow(NO_ROW);
    for (int cycle = 0; cycle < SearchPlan::CYCLES && !pending.empty(); ++cycle) {
        if (!options.Search(1)) {
            linkFailed = true;
            return;
        }
        SettleVerify(host.Table, report, pending);
        // Ctrl-C ends the check with what this cycle found.
        if (!pending.empty() && options.Interrupted && options.Interrupted()) {
            report.Interrupted = true;
            return;
        }
    }
}
}  // namespace

const char* ResultName(DeviceResult result) {
    switch (result) {
        case DeviceResult::Unchanged: return "UNCHANGED";
        case DeviceResult::WouldChange: return "WOULD_CHANGE";
        case DeviceResult::Verified: return "VERIFIED";
        case DeviceResult::Acknowledged: return SendResultName(SendResult::Ack);
        case DeviceResult::Mismatch: return "MISMATCH";
        case DeviceResult::Unverified: return "NOT_VERIFIED";
        case DeviceResult::Refused: return SendResultName(SendResult::Nak);
        case DeviceResult::Silent: return SendResultName(SendResult::Silent);
        case DeviceResult::NotSent: return SendResultName(SendResult::NotSent);
        case DeviceResult::Blocked: return "BLOCKED";
    }
    return "";
}

std::string MismatchNames(const DeviceOutcome& outcome) {
    std::string names;
    for (int key : outcome.MismatchKeys) {
        if (!names.empty()) names += ' ';
        names += KeyFields[key].Name;
    }
    return names;
}

std::string ResultCounts(const std::vector<DeviceOutcome>& devices) {
    std::map<std::string, int> counts;
    for (const DeviceOutcome& o : devices) ++counts[ResultName(o.Result)];
    std::string text;
    for (const auto& [name, n] : counts) text += (text.empty() ? "" : ", ") + std::to_string(n) + ' ' + name;
    return text;
}

std::vector<size_t> BeginVerify(ApplyReport& report) {
    std::vector<size_t> pending;
    for (size_t i = 0; i < report.Devices.size(); ++i)
        if (Checked(report.Devices[i]) == DeviceResult::Acknowledged) {
            pending.push_back(i);
            Checked(report.Devices[i]) = DeviceResult::Unverified;
        }
    return pending;
}

void SettleVerify(const TmTable& table, ApplyReport& report, std::vector<size_t>& pending) {
    std::erase_if(pending, [&](size_t i) {
        const PlannedDevice& d = report.Plan.Devices[i];
        DeviceOutcome& o = report.Devices[i];
        TDeviceRec now{};
        if (!table.CopyRow(table.FindRow(d.Current.MAC), now)) return false;
        o.MismatchKeys = Differing(d, now, o.Information ? KIND_DEVINFO : -1);
        Checked(o) = o.MismatchKeys.empty() ? DeviceResult::Verified : DeviceResult::Mismatch;
        return o.MismatchKeys.empty();
    });
}

ApplyReport PrepareApply(const std::vector<std::vector<std::string>>& records, const TmTable& table) {
    ApplyReport report;
    const std::vector<TDeviceRec> found = table.Rows();
    std::vector<std::string> doubts;
    for (size_t i = 0; i < found.size(); ++i) doubts.push_back(table.RowDoubt(static_cast<int>(i)));
    report.Plan = CheckPlan(records, found, doubts);
    if (!report.Plan.Problems.empty()) return report;
    const std::vector<std::vector<size_t>> holders = Holders(report.Plan.Devices);
    for (size_t i = 0; i < report.Plan.Devices.size(); ++i) {
        const PlannedDevice& d = report.Plan.Devices[i];
        DeviceOutcome o{d.Changes.empty() ? DeviceResult::Unchanged : DeviceResult::WouldChange, {}, {}, {}, {}};
        if (!holders[i].empty()) {
            o.After = PlanCell(report.Plan.Devices[holders[i].front()].Current, KEY_MAC);
            o.Address = SentForm(KEY_IPADRM, d.Values.at(KEY_IPADRM));
        }
        report.Devices.push_back(std::move(o));
    }
    return report;
}

int Rebooting(const CheckedPlan& plan) {
    return static_cast<int>(std::count_if(plan.Devices.begin(), plan.Devices.end(),
                                          [](const PlannedDevice& d) { return d.ChangesKind(KIND_NETWORK); }));
}

PlanSender::PlanSender(TmTable& table, TtskCtrl& control, ApplyReport& report)
    : Control(control), Report(report), Wait(table, control), Holding(Holders(report.Plan.Devices)),
      Order(SendOrder(Holding)) {}

// The information first: a network SET makes the device reboot.  A device that
// does not take the first SET is not sent the second; one that takes the first
// only has changed all the same, and says so.
void PlanSender::Finish(DeviceResult result) {
    const size_t i = Order[Next];
    DeviceOutcome& o = Report.Devices[i];
    const PlannedDevice& d = Report.Plan.Devices[i];
    o.Result = result;
    if (result == DeviceResult::Acknowledged && Kind == KIND_DEVINFO && d.ChangesKind(KIND_NETWORK)) {
        Kind = KIND_NETWORK;
        TDeviceRec edit{};
        FillEditRec(d, Kind, edit);
        if (const std::optional<SendOutcome> at_once = Wait.Start(d.TableRow, Kind, edit)) Finish(FromSend(at_once->Result));
        return;
    }
    if (Kind == KIND_NETWORK && result != DeviceResult::Acknowledged && d.ChangesKind(KIND_DEVINFO))
        o.Information = DeviceResult::Acknowledged;
    // A SET that could not be built leaves the link as it was.
    if (Kind >= 0) LinkFailed = result == DeviceResult::NotSent && !LinkDownReason(Control).empty();
    Kind = -1;
    Settled = static_cast<int>(i);
    ++Next;
}

bool PlanSender::AboutToSend() const {
    return Kind < 0 && Next < Order.size() && Report.Devices[Order[Next]].Result != DeviceResult::Unchanged &&
           !Cancelled && !LinkFailed;
}

int PlanSender::Tick() {
    Settled = -1;
    if (Kind >= 0) {
        if (const std::optional<SendOutcome> outcome = Wait.Tick()) Finish(FromSend(outcome->Result));
        return Kind >= 0 ? StatusWait::TICK_MS : 0;
    }
    if (Next >= Order.size()) return -1;
    const size_t i = Order[Next];
    DeviceOutcome& o = Report.Devices[i];
    if (o.Result == DeviceResult::Unchanged) {
        ++Next;
        return 0;
    }
    if (Cancelled || LinkFailed) {
        Report.Interrupted = Report.Interrupted || !LinkFailed;
        Finish(DeviceResult::NotSent);
        return 0;
    }
    // Its new address is taken only once the device holding it has left:
    // one that did not take its own SET still holds it.
    const auto stays = std::find_if(Holding[i].begin(), Holding[i].end(), [&](size_t h) {
        const DeviceResult r = Report.Devices[h].Result;
        return r != DeviceResult::Acknowledged && r != DeviceResult::WouldChange;
    });
    if (stays != Holding[i].end()) {
        o.After = PlanCell(Report.Plan.Devices[*stays].Current, KEY_MAC);
        Finish(DeviceResult::Blocked);
        return 0;
    }
    const PlannedDevice& d = Report.Plan.Devices[i];
    Kind = d.ChangesKind(KIND_DEVINFO) ? KIND_DEVINFO : KIND_NETWORK;
    TDeviceRec edit{};
    FillEditRec(d, Kind, edit);
    if (const std::optional<SendOutcome> at_once = Wait.Start(d.TableRow, Kind, edit)) Finish(FromSend(at_once->Result));
    return Kind >= 0 ? StatusWait::TICK_MS : 0;
}

ApplyReport ApplyPlan(HeadlessHost& host, const std::vector<std::vector<std::string>>& records,
                      const ApplyOptions& options) {
    if (!options.Search(options.SearchCycles)) {
        ApplyReport failed;
        failed.Exit = EXIT_LINK;
        return failed;
    }
    ApplyReport report = PrepareApply(records, host.Table);
    if (!report.Plan.Problems.empty()) {
        report.Exit = EXIT_REFUSED;
        return report;
    }
    if (options.DryRun) return report;

    const int rebooting = Rebooting(report.Plan);
    if (rebooting > 0 && !options.Yes) {
        const Consent c = options.Ask ? options.Ask(rebooting) : Consent::NoTerminal;
        if (c == Consent::Interrupted) {
            report.Refusal = "interrupted: nothing was sent";
            report.Exit = EXIT_INTERRUPTED;
            return report;
        }
        if (c != Consent::Yes) {
            report.Refusal = c == Consent::No ? "not agreed: nothing was sent"
                                              : "standard input is no terminal to ask on: add --yes to agree";
            report.Exit = EXIT_REFUSED;
            return report;
        }
    }

    PlanSender sender(host.Table, host.Control, report);
    for (int next = 0; next >= 0; next = sender.Tick()) {
        if (sender.AboutToSend() && options.Interrupted && options.Interrupted()) sender.Cancel();
        if (next > 0) std::this_thread::sleep_for(std::chrono::milliseconds(next));
    }
    bool linkFailed = sender.LinkFailed;
    // Ctrl-C during the last device: nothing is left to mark, but no check search follows.
    if (!linkFailed && options.Interrupted && options.Interrupted()) report.Interrupted = true;
    if (!options.NoVerify && !report.Interrupted && !linkFailed) Verify(host, report, options, linkFailed);

    for (const DeviceOutcome& o : report.Devices)
        report.Exit = std::max({report.Exit, ExitOf(o.Result), o.Information ? ExitOf(*o.Information) : 0});
    if (linkFailed) report.Exit = EXIT_LINK;
    if (report.Interrupted) report.Exit = EXIT_INTERRUPTED;
    return report;
}
