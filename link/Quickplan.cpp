#include "link/Quickplan.h"

#include "link/Tskcontrol.h"
#include "link/Waits.h"

void QuickPlan::Reset() {
    Step = 0;
    Elapsed = LastAnswer = 0;
    Seen = 0;
}

int QuickPlan::Tick(TtskCtrl& control, const TmTable& table) { return Tick(control, table.Merged()); }

// Both enquiries go out at once (the worker sends one frame a step); the
// quiet time counts from the later of the device-information enquiry and the
// last answer, so a device that takes a moment to answer is still waited for.
int QuickPlan::Tick(TtskCtrl& control, uint64_t merged) {
    switch (Step) {
        case 0:
            Seen = merged;
            control.BeginSearch();
            control.RequestQuery(NO_ROW, KIND_NETWORK);
            Step = 1;
            return ScaledMs(STEP_MS);
        case 1:
            Elapsed += STEP_MS;
            control.RequestQuery(NO_ROW, KIND_DEVINFO);
            LastAnswer = Elapsed + STEP_MS;  // it leaves at the worker's next step
            Step = 2;
            return ScaledMs(STEP_MS);
        case 2:
            Elapsed += STEP_MS;
            if (merged != Seen) {
                Seen = merged;
                LastAnswer = Elapsed;
            }
            if (Elapsed - LastAnswer >= QUIET_MS || Elapsed >= MAX_MS) {
                Step = 3;
                return -1;
            }
            return ScaledMs(STEP_MS);
        default:
            return -1;
    }
}
