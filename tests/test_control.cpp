// The control task's start-up states and its doors; runs inside the sandbox.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Frames.h"
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
        Take(Answer("02-00-00-00-00-01", {"NAME:"}));
        Table.SetRowStatus(0, STATUS_NAK);
    }
    void Take(const Bytes& b) { ::Take(Table, b); }
    void TickUntilReady() { ::TickUntilReady(Control); }
    TmTable Table;
    FakeSettings Settings;
    TdrvUDP Driver;
    TtskCtrl Control;
};
}  // namespace

TEST(Control, RefusesEverythingBeforeReady) {
    Rig rig;
    EXPECT_EQ(rig.Control.Interval(), 1000);
    EXPECT_TRUE(rig.Control.TimerEnabled());
    const int expected[] = {CTRL_CREATE, CTRL_RESUME, CTRL_WAIT};
    for (int state : expected) {
        EXPECT_FALSE(rig.Control.RequestQuery(0, KIND_DATE));
        EXPECT_FALSE(rig.Control.RequestSet(0, KIND_DEVINFO, false));
        EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NAK) << "no row touched";
        EXPECT_FALSE(rig.Table.NoAddUnknown());
        rig.Control.timCtrlTimer();
        EXPECT_EQ(rig.Control.CtrlState(), state);
        EXPECT_EQ(rig.Control.Interval(), 50);
    }
    rig.TickUntilReady();
    EXPECT_EQ(rig.Control.CtrlState(), CTRL_READY);
    EXPECT_EQ(rig.Control.LinkPort, 8020u);
    EXPECT_EQ(rig.Settings.Reads, 1);
    EXPECT_EQ(rig.Settings.Writes, 1);
}

TEST(Control, QueriesAndSetsOnceReady) {
    Rig rig;
    rig.TickUntilReady();
    ASSERT_EQ(rig.Control.CtrlState(), CTRL_READY);

    EXPECT_TRUE(rig.Control.RequestQuery(NO_ROW, KIND_NETWORK));
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NAK) << "a search touches no row";
    EXPECT_FALSE(rig.Table.NoAddUnknown());
    EXPECT_TRUE(rig.Control.RequestQuery(0, KIND_DATE));
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NONE);
    EXPECT_TRUE(rig.Table.NoAddUnknown());
    EXPECT_TRUE(rig.Control.RequestQuery(NO_ROW, KIND_DEVINFO));
    EXPECT_FALSE(rig.Table.NoAddUnknown());

    rig.Table.SetRowStatus(0, STATUS_ACK);
    EXPECT_FALSE(rig.Control.RequestSet(0, KIND_DEVINFO, false)) << "EditRec.NAME empty: nothing to send";
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NONE) << "a refused SET leaves no old ACK behind";
    std::strcpy(rig.Table.EditRec.NAME, "n");
    EXPECT_TRUE(rig.Control.RequestSet(0, KIND_DEVINFO, false));
}

TEST(Control, StartFailsForGoodWhenTheHostHasNoAddress) {
    Rig rig;
    rig.Control.AddressByName = Fails;
    rig.Control.AddressByInterface = Fails;
    rig.Control.timCtrlTimer();
    EXPECT_EQ(rig.Control.CtrlState(), CTRL_FAILED);
    EXPECT_FALSE(rig.Control.TimerEnabled());
    EXPECT_FALSE(rig.Control.RequestQuery(NO_ROW, KIND_NETWORK));
    EXPECT_EQ(rig.Settings.Writes, 0);
}

TEST(Control, UnresolvableHostNameFallsBackToAnInterface) {
    std::string address;
    EXPECT_TRUE(FindLocalAddress(address, Fails, [](std::string& a) {
        a = "10.77.0.1";
        return true;
    }));
    EXPECT_EQ(address, "10.77.0.1");
    EXPECT_FALSE(FindLocalAddress(address, Fails, Fails));
    EXPECT_TRUE(AddressOfInterfaces(address)) << "the sandbox has loopback at least";

    Rig rig;
    rig.Control.AddressByName = Fails;
    rig.TickUntilReady();
    EXPECT_EQ(rig.Control.CtrlState(), CTRL_READY);
}

// A hang here meets CTest's time-out.
TEST(Control, ClosingAtAnyStateEnds) {
    for (int ticks = 0; ticks <= 4; ++ticks) {
        auto rig = std::make_unique<Rig>();
        for (int i = 0; i < ticks; ++i) rig->Control.timCtrlTimer();
        rig.reset();
    }
}
