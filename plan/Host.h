// The device link hosted without any window, with the control task's timer
// driven by a plain loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "files/Devicelink.h"
#include "link/Waits.h"

class HeadlessHost : public DeviceLink {
public:
    // interface: broadcast only there (empty: on every interface); targets:
    // IPv4 addresses every frame also goes to, already checked.
    explicit HeadlessHost(const std::string& programDir = {}, const std::string& interface = {},
                          const std::vector<std::string>& targets = {});
    ~HeadlessHost();

    // Ticks the control task until it accepts requests; false when it failed
    // or did not come up in time.
    bool BringUp(int timeoutMs = 5000);
    // The search dialog's timeline; progress (if set) hears each step.
    void Search(int cycles = SearchPlan::CYCLES, const std::function<void(int)>& progress = {});
    // One enquiry cycle, over once its answers have stopped (Quickplan.h).
    void QuickSearch();
    // Waits as the setup dialogs wait for a row's answer.
    StatusWait::Outcome WaitAnswer(int row);
    // "" while the link is up; otherwise why not, in the driver's own words.
    // The control task accepts requests also after a failed open, so only the
    // worker knows.
    std::string LinkDown() const;
    // Waits until the worker has sent everything queued on a link that stayed
    // up; otherwise false, with LinkDown saying why.
    bool WaitSent(uint32_t failuresBefore);

    // One note for each target left out because the broadcasts reach it.
    std::vector<std::string> TargetNotes;
};
