#include "cli/Applyrun.h"

#include <algorithm>

#include "cli/Commands.h"
#include "cli/Host.h"
#include "files/Plancsv.h"

namespace {
int ExitOf(DeviceResult r) {
    switch (r) {
        case DeviceResult::Refused: return EXIT_NAK;
        case DeviceResult::Mismatch:
        case DeviceResult::Unverified:
        case DeviceResult::Silent: return EXIT_SILENT;
        default: return EXIT_ACK;
    }
}

// One SET built from the plan, waited for as the windows wait.  NotSent when
// the link would not take it.
DeviceResult SendKind(HeadlessHost& host, const PlannedDevice& d, int kind) {
    FillEditRec(d, kind, host.Table.EditRec);
    if (!host.Control.RequestSet(d.TableRow, kind, false)) return DeviceResult::NotSent;
    switch (host.WaitAnswer(d.TableRow)) {
        case StatusWait::Acknowledged: return DeviceResult::Acknowledged;
        case StatusWait::Refused: return DeviceResult::Refused;
        default: return DeviceResult::Silent;
    }
}

// The information first: a network SET makes the device reboot.  A device that
// does not take the first SET is not sent the second; one that takes the first
// only has changed all the same, and says so.
void SendDevice(HeadlessHost& host, const PlannedDevice& d, DeviceOutcome& o) {
    o.Result = DeviceResult::Acknowledged;
    for (int kind : {KIND_DEVINFO, KIND_NETWORK}) {
        if (!d.ChangesKind(kind)) continue;
        o.Result = SendKind(host, d, kind);
        if (o.Result == DeviceResult::Acknowledged) continue;
        if (kind == KIND_NETWORK && d.ChangesKind(KIND_DEVINFO)) o.Information = DeviceResult::Acknowledged;
        return;
    }
}

// The planned keys a device reports otherwise; kind -1 for all of them.
std::vector<int> Differing(const PlannedDevice& d, const TDeviceRec& now, int kind) {
    std::vector<int> keys;
    for (const auto& [key, value] : d.Values)
        if ((kind < 0 || KindOf(key) == kind) && PlanCell(now, key) != SentForm(key, value)) keys.push_back(key);
    return keys;
}

// Searches afresh, so that a device that does not answer cannot pass on what it
// reported before; a device that has not yet come back from its reboot gets
// the cycles of a whole search.
void Verify(HeadlessHost& host, ApplyReport& report, const ApplyOptions& options, bool& linkFailed) {
    // The result that the search settles: the device's, or that of the part it took.
    const auto checked = [&](size_t i) -> DeviceResult& {
        DeviceOutcome& o = report.Devices[i];
        return o.Information ? *o.Information : o.Result;
    };
    std::vector<size_t> pending;
    for (size_t i = 0; i < report.Devices.size(); ++i)
        if (checked(i) == DeviceResult::Acknowledged) pending.push_back(i);
    if (pending.empty()) return;
    for (size_t i : pending) checked(i) = DeviceResult::Unverified;
    host.Table.DeleteRow(NO_ROW);
    for (int cycle = 0; cycle < SearchPlan::CYCLES && !pending.empty(); ++cycle) {
        if (!options.Search(1)) {
            linkFailed = true;
            return;
        }
        std::erase_if(pending, [&](size_t i) {
            const PlannedDevice& d = report.Plan.Devices[i];
            DeviceOutcome& o = report.Devices[i];
            TDeviceRec now{};
            if (!host.Table.CopyRow(host.Table.FindRow(d.Current.MAC), now)) return false;
            o.MismatchKeys = Differing(d, now, o.Information ? KIND_DEVINFO : -1);
            checked(i) = o.MismatchKeys.empty() ? DeviceResult::Verified : DeviceResult::Mismatch;
            return o.MismatchKeys.empty();
        });
    }
}
}  // namespace

const char* ResultName(DeviceResult result) {
    switch (result) {
        case DeviceResult::Unchanged: return "UNCHANGED";
        case DeviceResult::WouldChange: return "WOULD_CHANGE";
        case DeviceResult::Verified: return "VERIFIED";
        case DeviceResult::Acknowledged: return "ACK";
        case DeviceResult::Mismatch: return "MISMATCH";
        case DeviceResult::Unverified: return "NOT_VERIFIED";
        case DeviceResult::Refused: return "NAK";
        case DeviceResult::Silent: return "SILENT";
        case DeviceResult::NotSent: return "NOT_SENT";
    }
    return "";
}

ApplyReport ApplyPlan(HeadlessHost& host, const std::vector<std::vector<std::string>>& records,
                      const ApplyOptions& options) {
    ApplyReport report;
    if (!options.Search(options.SearchCycles)) {
        report.Exit = EXIT_LINK;
        return report;
    }
    report.Plan = CheckPlan(records, host.Table.Rows());
    if (!report.Plan.Problems.empty()) {
        report.Exit = EXIT_REFUSED;
        return report;
    }
    for (const PlannedDevice& d : report.Plan.Devices)
        report.Devices.push_back({d.Changes.empty() ? DeviceResult::Unchanged : DeviceResult::WouldChange, {}, {}});
    if (options.DryRun) return report;

    const int rebooting = static_cast<int>(std::count_if(report.Plan.Devices.begin(), report.Plan.Devices.end(),
                                                         [](const PlannedDevice& d) { return d.ChangesKind(KIND_NETWORK); }));
    if (rebooting > 0 && !options.Yes) {
        const Consent c = options.Ask ? options.Ask(rebooting) : Consent::NoTerminal;
        if (c != Consent::Yes) {
            report.Refusal = c == Consent::No ? "not agreed: nothing was sent"
                                              : "standard input is no terminal to ask on: add --yes to agree";
            report.Exit = EXIT_REFUSED;
            return report;
        }
    }

    bool linkFailed = false;
    for (size_t i = 0; i < report.Devices.size(); ++i) {
        DeviceOutcome& o = report.Devices[i];
        if (o.Result == DeviceResult::Unchanged) continue;
        if (report.Interrupted || linkFailed || (options.Interrupted && options.Interrupted())) {
            report.Interrupted = report.Interrupted || !linkFailed;
            o.Result = DeviceResult::NotSent;
            continue;
        }
        SendDevice(host, report.Plan.Devices[i], o);
        // A SET that could not be built leaves the link as it was.
        linkFailed = o.Result == DeviceResult::NotSent && !host.LinkDown().empty();
    }
    if (!options.NoVerify && !report.Interrupted && !linkFailed) Verify(host, report, options, linkFailed);

    for (const DeviceOutcome& o : report.Devices)
        report.Exit = std::max({report.Exit, ExitOf(o.Result), o.Information ? ExitOf(*o.Information) : 0});
    if (linkFailed) report.Exit = EXIT_LINK;
    if (report.Interrupted) report.Exit = EXIT_INTERRUPTED;
    return report;
}
