// The two timer-paced waits of the user interface, without any timer: whoever
// hosts them (a dialog's timer, the command line's loop, a test) calls Tick
// when the returned interval has passed.
#pragma once

#include "link/Table.h"

class TtskCtrl;

// The pace of the search, quick-search and wait timelines and of the worker's
// step: 1 in use.  Only tests set TARNEL_TIME_SCALE (a factor above 0 and at
// most 1, read once) to run the same steps in a fraction of the time.
double TimeScale();
// ms at that pace, at least 1.
int ScaledMs(int ms);

// A search: three cycles of a network enquiry, 1 s, a device-information
// enquiry, 2 s; progress runs 0 to 6.
class SearchPlan {
public:
    static constexpr int FIRST_MS = 10;
    static constexpr int CYCLES = 3;
    static constexpr int PROGRESS_MAX = 2 * CYCLES;

    void Reset();
    // One step; the interval to the next step in ms, or -1 when the search is over.
    int Tick(TtskCtrl& control);

    int Cycles = CYCLES;
    int SearchStep = 0;
    int SearchCycle = 0;
    int Progress = 0;
};

// A device's answer to a request: the row's Status polled every 10 ms for at
// most 1000 ticks (fewer at a faster pace).
class StatusWait {
public:
    static constexpr int TICK_MS = 10;
    static constexpr int MAX_TICKS = 1000;
    enum Outcome { Waiting, Acknowledged, Refused, Silent };

    static int MaxTicks();
    void Start() { WaitTicks = 0; }
    Outcome Tick(const TmTable& table, int row);

    int WaitTicks = 0;
};
