#include "plan/Host.h"

#include <chrono>
#include <thread>

#include "link/Quickplan.h"
#include "plan/Sendwait.h"
#include "link/Targets.h"

namespace {
void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
}  // namespace

HeadlessHost::HeadlessHost(const std::string& programDir, const std::string& interface,
                           const std::vector<std::string>& targets)
    : DeviceLink(programDir) {
    Driver.SetInterface(interface);
    ReachedTargets checked = SkipReached(ParseTargets(targets).Addresses, LocalSubnets(interface));
    Driver.SetTargets(checked.Kept);
    TargetNotes = std::move(checked.Notes);
}

HeadlessHost::~HeadlessHost() { Control.StopWorker(); }

bool HeadlessHost::BringUp(int timeoutMs) {
    int waited = 0;
    while (Control.CtrlState() != CTRL_READY) {
        if (Control.CtrlState() == CTRL_FAILED || !Control.TimerEnabled() || waited > timeoutMs) return false;
        SleepMs(Control.Interval());
        waited += Control.Interval();
        Control.timCtrlTimer();
    }
    return true;
}

void HeadlessHost::Search(int cycles, const std::function<void(int)>& progress) {
    SearchPlan plan;
    plan.Cycles = cycles;
    for (;;) {
        const int next = plan.Tick(Control);
        if (progress) progress(plan.Progress);
        if (next < 0) return;
        SleepMs(next);
    }
}

void HeadlessHost::QuickSearch() {
    QuickPlan plan;
    for (;;) {
        const int next = plan.Tick(Control, Table);
        if (next < 0) return;
        SleepMs(next);
    }
}

StatusWait::Outcome HeadlessHost::WaitAnswer(int row) {
    StatusWait wait;
    wait.Start();
    for (;;) {
        SleepMs(StatusWait::TICK_MS);
        const StatusWait::Outcome outcome = wait.Tick(Table, row);
        if (outcome != StatusWait::Waiting) return outcome;
    }
}

std::string HeadlessHost::LinkDown() const { return LinkDownReason(Control); }

bool HeadlessHost::WaitSent(uint32_t failuresBefore) {
    const TQmx42* worker = Control.Worker();
    if (worker == nullptr) return false;
    for (int i = 0; i < 200 && worker->Queued() > 0 && worker->State() == ST_RUN; ++i) SleepMs(StatusWait::TICK_MS);
    // One more step, so that a send that failed has been reported.
    SleepMs(2 * ScaledMs(TQmx42::STEP_MS));
    return worker->Queued() == 0 && worker->State() == ST_RUN && worker->Failures() == failuresBefore;
}
