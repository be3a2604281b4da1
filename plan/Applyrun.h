// Applying a plan: one search, every row checked, then the SETs one device at
// a time as the windows send them, and a search that checks what the devices
// now hold.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "plan/Plancheck.h"
#include "plan/Sendwait.h"

class HeadlessHost;
class TmTable;
class TtskCtrl;

enum class DeviceResult {
    Unchanged,     // already held the plan; nothing sent
    WouldChange,   // dry run
    Verified,      // acknowledged, and the check search shows the plan
    Acknowledged,  // acknowledged, not checked (--no-verify, or interrupted)
    Mismatch,      // acknowledged, but reports other values for some keys
    Unverified,    // acknowledged, but did not answer the check search
    Refused,       // NAK
    Silent,        // no answer within the windows' wait
    NotSent,       // left out: interrupted before it, or the link refused the request
    Blocked,       // not sent: its new main address is still held by a device that did not take its own
};
const char* ResultName(DeviceResult result);

struct DeviceOutcome {
    DeviceResult Result;
    std::vector<int> MismatchKeys;
    // A device whose network SET failed after it had acknowledged its
    // information SET: how that part ended (Acknowledged, or after the check
    // search Verified, Mismatch or Unverified); MismatchKeys are then its keys.
    std::optional<DeviceResult> Information;
    // The device holding the main address this one is to take, which must
    // leave it first (its MAC); for Blocked, the one that still holds it.
    std::string After;
    std::string Address;  // that address
};
// The names of the keys that did not show their new values, space-separated.
std::string MismatchNames(const DeviceOutcome& outcome);
// How many devices ended each way, in the order of the results' names:
// "1 NAK, 2 VERIFIED"; empty for no device.
std::string ResultCounts(const std::vector<DeviceOutcome>& devices);

enum class Consent { Yes, No, NoTerminal, Interrupted };

struct ApplyOptions {
    bool DryRun = false;
    bool Yes = false;
    bool NoVerify = false;
    int SearchCycles = 1;
    // Brings the link up and searches for some cycles; false when the link failed.
    std::function<bool(int cycles)> Search;
    std::function<Consent(int rebooting)> Ask;  // the reboot question, asked once
    std::function<bool()> Interrupted;          // looked at between devices and search cycles
};

struct ApplyReport {
    CheckedPlan Plan;
    std::vector<DeviceOutcome> Devices;  // one for each of Plan.Devices
    std::string Refusal;                 // why nothing was sent, beside Plan.Problems
    bool Interrupted = false;
    int Exit = 0;
};

// Exit status for an interrupted apply, as a shell reports SIGINT.
constexpr int EXIT_INTERRUPTED = 130;

ApplyReport ApplyPlan(HeadlessHost& host, const std::vector<std::vector<std::string>>& records,
                      const ApplyOptions& options);

// A plan checked against the table's devices, each device Unchanged or
// WouldChange and, where it waits for another to leave its address, After.
ApplyReport PrepareApply(const std::vector<std::vector<std::string>>& records, const TmTable& table);
// How many devices of the plan a network SET makes reboot.
int Rebooting(const CheckedPlan& plan);

// The SETs of a prepared plan without problems, one device at a time, in the
// order the addresses they free allow; paced by whoever runs it.
class PlanSender {
public:
    PlanSender(TmTable& table, TtskCtrl& control, ApplyReport& report);
    // One step; the milliseconds to the next, or -1 once every device is done.
    int Tick();
    // The device being sent finishes; the others are not sent.
    void Cancel() { Cancelled = true; }
    // The next Tick would start a device's SETs: where a run that can be
    // interrupted looks whether it was.
    bool AboutToSend() const;
    // The device whose result the last Tick settled, or -1 (index into Devices).
    int Settled = -1;
    size_t Done() const { return Next; }
    size_t Total() const { return Order.size(); }
    bool LinkFailed = false;

private:
    void Finish(DeviceResult result);

    TtskCtrl& Control;
    ApplyReport& Report;
    SetWait Wait;
    std::vector<std::vector<size_t>> Holding;  // for each device, those holding its new address
    std::vector<size_t> Order;
    size_t Next = 0;    // into Order
    int Kind = -1;      // the kind being waited for; -1 between devices
    bool Cancelled = false;
};

// After the SETs: the devices whose result a search settles, marked
// Unverified until one shows them; SettleVerify after each search cycle.
std::vector<size_t> BeginVerify(ApplyReport& report);
void SettleVerify(const TmTable& table, ApplyReport& report, std::vector<size_t>& pending);
