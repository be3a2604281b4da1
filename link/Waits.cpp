#include "link/Waits.h"

#include "link/Tskcontrol.h"

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
            return 1000;
        case 1:
            control.RequestQuery(NO_ROW, KIND_DEVINFO);
            ++Progress;
            SearchStep = SearchCycle < Cycles ? 0 : 2;
            return 2000;
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
    return ++WaitTicks >= MAX_TICKS ? Silent : Waiting;
}
