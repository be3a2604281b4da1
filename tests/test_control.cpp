// The control task's start-up states, its doors, and the quick search's
// timeline; runs inside the sandbox.
#include <gtest/gtest.h>

#include <numeric>

#include "Frames.h"
#include "link/Quickplan.h"
#include "link/Tskcontrol.h"

namespace {
struct FakeSettings : CommSettingsStore {
    void ReadCommSettings() override { ++Reads; }
    void WriteCommSettings() override { ++Writes; }
    int Reads = 0, Writes = 0;
};

bool Fails(std::string&) { return false; }

struct Rig {
    Rig() : Control(Table, Settings, Driver) {
        Take(Table, Answer(MacOf(1), {"NAME:"}));
        Table.SetRowStatus(0, STATUS_NAK);
    }
    TmTable Table;
    FakeSettings Settings;
    TdrvUDP Driver;
    TtskCtrl Control;
};
}  // namespace

// Nothing goes out and no row is touched before the link is up.  Then a
// search touches no row, a date enquiry waits for its row and takes in no new
// device, and a SET with nothing to send leaves no old ACK behind.
TEST(Control, DoorsOpenOnceReady) {
    Rig rig;
    EXPECT_EQ(rig.Control.Interval(), 1000);
    for (int state : {CTRL_CREATE, CTRL_RESUME, CTRL_WAIT}) {
        EXPECT_FALSE(rig.Control.RequestQuery(0, KIND_DATE));
        EXPECT_FALSE(rig.Control.RequestSet(0, KIND_DEVINFO, false));
        EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NAK);
        EXPECT_FALSE(rig.Table.NoAddUnknown());
        rig.Control.timCtrlTimer();
        EXPECT_EQ(rig.Control.CtrlState(), state);
        EXPECT_EQ(rig.Control.Interval(), 50);
    }
    ASSERT_TRUE(TickUntilReady(rig.Control));
    EXPECT_EQ(rig.Control.LinkPort, 8020u);
    EXPECT_EQ(rig.Settings.Reads, 1);
    EXPECT_EQ(rig.Settings.Writes, 1);

    EXPECT_TRUE(rig.Control.RequestQuery(NO_ROW, KIND_NETWORK));
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NAK);
    EXPECT_TRUE(rig.Control.RequestQuery(0, KIND_DATE));
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NONE);
    EXPECT_TRUE(rig.Table.NoAddUnknown());
    EXPECT_TRUE(rig.Control.RequestQuery(NO_ROW, KIND_DEVINFO));
    EXPECT_FALSE(rig.Table.NoAddUnknown());
    rig.Table.SetRowStatus(0, STATUS_ACK);
    EXPECT_FALSE(rig.Control.RequestSet(0, KIND_DEVINFO, false)) << "EditRec.NAME empty: nothing to send";
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NONE);
    std::strcpy(rig.Table.EditRec.NAME, "n");
    EXPECT_TRUE(rig.Control.RequestSet(0, KIND_DEVINFO, false));
}

// This host's address by its name, else by its interfaces; with neither the
// start fails for good and stores no settings.
TEST(Control, StartNeedsAnAddressOfThisHost) {
    Rig byInterface;
    byInterface.Control.AddressByName = Fails;
    EXPECT_TRUE(TickUntilReady(byInterface.Control));
    Rig none;
    none.Control.AddressByName = none.Control.AddressByInterface = Fails;
    none.Control.timCtrlTimer();
    EXPECT_EQ(none.Control.CtrlState(), CTRL_FAILED);
    EXPECT_FALSE(none.Control.TimerEnabled());
    EXPECT_FALSE(none.Control.RequestQuery(NO_ROW, KIND_NETWORK));
    EXPECT_EQ(none.Settings.Writes, 0);
}

// A hang here meets CTest's time-out.
TEST(Control, ClosingAtAnyStateEnds) {
    for (int ticks = 0; ticks <= 4; ++ticks) {
        Rig rig;
        for (int i = 0; i < ticks; ++i) rig.Control.timCtrlTimer();
    }
}

// The quick search ends half a second after the last answer (or after the
// device-information enquiry left), and within three seconds.  Driven tick by
// tick with made-up answer counts on a control task that is never ready.
TEST(Control, QuickSearchEndsOnceAnswersStop) {
    const auto endsAt = [](const std::vector<uint64_t>& answers) {  // the last count repeats
        Rig rig;
        QuickPlan plan;
        int at = 0;
        for (size_t i = 0;; ++i) {
            const int next = plan.Tick(rig.Control, answers[std::min(i, answers.size() - 1)]);
            if (next < 0) return at;
            at += next;
        }
    };
    std::vector<uint64_t> late(10, 0), endless(200);
    late.push_back(1);  // one answer at 500 ms
    std::iota(endless.begin(), endless.end(), 0);
    EXPECT_EQ(endsAt({0}), 600);
    EXPECT_EQ(endsAt({0, 0, 5, 9, 12}), 700);
    EXPECT_EQ(endsAt(late), 1000);
    EXPECT_EQ(endsAt(endless), QuickPlan::MAX_MS);
}
