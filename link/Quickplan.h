// The quick search of scripts: one enquiry cycle, over once its answers have
// stopped for half a second, and never longer than three seconds.  Without
// any timer: the host calls Tick when the returned interval has passed.  The
// times below are at the pace of TimeScale (Waits.h).
#pragma once

#include <cstdint>

class TtskCtrl;
class TmTable;

class QuickPlan {
public:
    static constexpr int STEP_MS = 50;
    static constexpr int QUIET_MS = 500;
    static constexpr int MAX_MS = 3000;

    void Reset();
    // One step; the interval to the next step in ms, or -1 when the search is over.
    int Tick(TtskCtrl& control, const TmTable& table);
    // The same with the count of merged answers given, for tests.
    int Tick(TtskCtrl& control, uint64_t merged);

    int Elapsed = 0;     // ms since the network enquiry
    int LastAnswer = 0;  // ms at which the last answer was seen, or the last enquiry went out

private:
    int Step = 0;
    uint64_t Seen = 0;
};
