// Applying a plan: one search, every row checked, then the SETs one device at
// a time as the windows send them, and a search that checks what the devices
// now hold.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "plan/Plancheck.h"

class HeadlessHost;

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
