#include "link/Waits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "link/Tskcontrol.h"

double TimeScale() {
    static const double scale = [] {
        const char* text = std::getenv("TARNEL_TIME_SCALE");
        double f = 1.0;
        if (text != nullptr) std::from_chars(text, text + std::strlen(text), f);  // not the user's locale
        return f > 0.0 && f <= 1.0 ? f : 1.0;
    }();
    return scale;
}

int ScaledMs(int ms) { return std::max(1, static_cast<int>(std::lround(ms * TimeScale()))); }

void SearchPlan::Reset() {
    SearchStep = 0;
    SearchCycle = 0;
    Progress = 0;
}

int SearchPlan::Tick(TtskCtrl& control) {
    switch (SearchStep) {
        case 0:
            if (++SearchCycle == 1) control.BeginSearch();
            control.RequestQuery(NO_ROW, KIND_NETWORK);  // a refused enquiry still moves the bar
            ++Progress;
            SearchStep = 1;
            return ScaledMs(1000);
        case 1:
            control.RequestQuery(NO_ROW, KIND_DEVINFO);
            ++Progress;
            SearchStep = SearchCycle < Cycles ? 0 : 2;
            return ScaledMs(2000);
        case 2:
            SearchCycle = 0;
            return -1;
        default:
            return -1;
    }
}

StatusWait::Outcome StatusWait::Tick(const TmTable& table, int row) {
    const uint32_t status = table.RowStatus(row);
    if (status == STATUS_ACK) return Acknowledged;
    if (status == STATUS_NAK) return Refused;
    return ++WaitTicks >= MaxTicks() ? Silent : Waiting;
}

int StatusWait::MaxTicks() { return ScaledMs(MAX_TICKS * TICK_MS) / TICK_MS; }
