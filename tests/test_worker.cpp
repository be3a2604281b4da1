// The worker's step, driven by hand; runs inside the sandbox.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Frames.h"
#include "Support.h"
#include "link/Thqmx42.h"
#include "link/Waits.h"

namespace {
std::string Query(const std::string& kind) { return "\x02" "ENQ:" + kind + "\xFF\x03"; }

// A worker whose frames go to loopback, where its own socket hears them back.
struct Rig {
    Rig() : Worker(Table, Driver, 8020) {
        Driver.SetDestination(inet_addr("127.0.0.1"));
        Worker.Step();  // opens the link
        EXPECT_EQ(Worker.State(), ST_RUN);
    }
    void Feed(const Bytes& b, const Origin& from = {}) { Driver.Store(b.data(), b.size(), from); }
    // What the last step sent.
    std::string Sent() {
        uint8_t b[TdrvUDP::SLOT_BYTES];
        return WaitUntil([&] { return Driver.Waiting() > 0; }, 300) ? Text(b, Driver.Read(b)) : "";
    }
    TmTable Table;
    TdrvUDP Driver;
    TQmx42 Worker;
};
}  // namespace

// A full queue keeps the newest 49, sent one a step.  After a failure nothing
// goes for 120 steps, what was queued meanwhile is dropped, and the link reopens.
TEST(Worker, SendsOneAStepAndWaitsOutAFailure) {
    Rig rig;
    rig.Feed(Answer(MacOf(1), {"NAME:"}));
    rig.Worker.EnqueueQuery(KIND_DATE);  // the oldest, to be dropped
    for (int i = 0; i < 49; ++i) rig.Worker.EnqueueQuery(i % 2 == 0 ? KIND_NETWORK : KIND_DEVINFO);
    EXPECT_EQ(rig.Worker.Queued(), 49);
    rig.Worker.Step();
    EXPECT_EQ(rig.Sent(), Query("NETWORK"));
    rig.Worker.Step();
    EXPECT_EQ(rig.Sent(), Query("DEVINFO"));
    EXPECT_EQ(rig.Worker.Queued(), 47);

    rig.Worker.LinkFailed("forced");
    for (int i = 1; i <= 120; ++i) {
        rig.Worker.Step();
        ASSERT_EQ(rig.Worker.Queued(), 47) << "step " << i;
        ASSERT_EQ(rig.Worker.State(), i < 120 ? ST_WAIT : ST_OPEN) << "step " << i;
    }
    rig.Worker.Step();
    EXPECT_EQ(rig.Worker.State(), ST_RUN);
    EXPECT_EQ(rig.Worker.Queued(), 0);
    std::strcpy(rig.Table.EditRec.NAME, "n");
    const uint16_t n = rig.Table.BuildSet(0, KIND_DEVINFO, false);
    rig.Worker.EnqueueSet(n);
    rig.Worker.Step();
    EXPECT_EQ(rig.Sent(), Text(rig.Table.SendBuf(), n));
}

// Acknowledgements and answers, with where they came from, go to the table;
// frames of other kinds, or without STX or items, go nowhere.
TEST(Worker, SortsWhatArrives) {
    Rig rig;
    const std::string known = MacOf(1);
    rig.Feed(Answer(known, {"MODEL:m"}));
    rig.Worker.Step();
    ASSERT_EQ(rig.Table.Count(), 1);
    struct Case {
        const char* name;
        Bytes frame;
        uint32_t status;
        Origin from = {};
    };
    const Origin stranger{0, 9};
    Bytes noStx = MakeFrame("ACK", known, {});
    noStx[0] = 0x01;
    const Case cases[] = {
        {"ACK from another address", MakeFrame("ACK", known, {}), STATUS_NONE, stranger},
        {"ACK", MakeFrame("ACK", known, {}), STATUS_ACK},
        {"NAK", MakeFrame("NAK", known, {}), STATUS_NAK},
        {"ACK of 23 bytes, too short", MakeFrame("ACK", known, {}, false), STATUS_NONE},
        {"own SET", MakeFrame("SET", known, {"NAME:x"}), STATUS_NONE},
        {"no STX", noStx, STATUS_NONE},
        {"date answer", Answer(known, {"INFO:DATE", "YMDHM:2024.01.01.00.00"}), STATUS_ACK},
        // Last: an answer from another address puts the MAC in doubt (test_table).
        {"date answer from another address", Answer(known, {"INFO:DATE"}), STATUS_NONE, stranger},
    };
    for (const Case& c : cases) {
        rig.Table.SetRowStatus(0, STATUS_NONE);
        rig.Feed(c.frame, c.from);
        rig.Worker.Step();
        EXPECT_EQ(rig.Table.RowStatus(0), c.status) << c.name;
    }
}

// A step takes every datagram waiting when it began (a broadcast enquiry has
// every device answer at once), but not what a flood adds meanwhile: it would
// never get to send.
TEST(Worker, AStepTakesWhatWasWaitingThenSends) {
    Rig rig;
    for (int i = 0; i < 300; ++i) rig.Feed(Answer(MacOf(i), {"INFO:NETWORK", "IPADRM:1.2.3.4"}));
    rig.Worker.Step();
    EXPECT_EQ(rig.Driver.Waiting(), 0u);
    EXPECT_EQ(rig.Table.Count(), 256);

    rig.Worker.EnqueueQuery(KIND_NETWORK);
    // Many small items in each datagram: far slower to merge than to store.
    const Bytes junk = Answer(MacOf(1), std::vector<std::string>(68, "LOG:1"));
    ASSERT_LE(junk.size(), TdrvUDP::SLOT_BYTES);
    std::atomic<bool> stop{false};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);  // a held step ends too
    const auto flood = [&] {
        while (!stop && std::chrono::steady_clock::now() < end) rig.Feed(junk);
    };
    std::thread first(flood), second(flood);
    while (rig.Driver.Waiting() < TdrvUDP::RING_SLOTS - 1) std::this_thread::yield();
    const uint64_t merged = rig.Table.Merged();
    rig.Worker.Step();
    stop = true;
    first.join();
    second.join();
    EXPECT_LE(rig.Table.Merged() - merged, TdrvUDP::RING_SLOTS - 1);
    EXPECT_EQ(rig.Worker.Queued(), 0);
}

// A step held up (here by the table's lock) is late; the steps it missed are
// not run back to back afterwards, so frames keep their pace of one a step:
// after the late step and the one right behind it, one a step.  The bound
// only grows when the machine is slow, so load cannot make it fail.
TEST(Worker, ALateStepIsNotMadeUpFor) {
    using Clock = std::chrono::steady_clock;
    Rig rig;  // opened by hand; the running thread takes the steps from here
    rig.Feed(Answer(MacOf(1), {}));
    rig.Worker.Step();
    rig.Worker.Resume();
    std::atomic<bool> held{false};
    Clock::time_point released;
    std::thread holder([&] {
        rig.Table.EditRow(0, [&](TDeviceRec&) {
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            released = Clock::now();  // no later than the lock's release
        });
    });
    while (!held) std::this_thread::yield();
    rig.Feed(Answer(MacOf(1), {}));  // the next step blocks on merging it
    for (int i = 0; i < 30; ++i) rig.Worker.EnqueueQuery(KIND_NETWORK);
    holder.join();
    while (rig.Worker.Queued() == 30) std::this_thread::yield();
    const int sent = 30 - rig.Worker.Queued();
    const auto steps = (Clock::now() - released) / std::chrono::milliseconds(ScaledMs(TQmx42::STEP_MS));
    rig.Worker.Terminate();
    EXPECT_EQ(rig.Worker.WaitFor(), 1);
    EXPECT_LE(sent, 2 + steps) << "about twelve missed steps would have run at once";
    EXPECT_FALSE(rig.Driver.IsOpen()) << "the thread closes the link as it ends";
}
