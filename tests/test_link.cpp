// The threaded link over real sockets; runs inside the sandbox.
#include <arpa/inet.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Frames.h"
#include "Support.h"
#include "link/Quickplan.h"
#include "link/Tskcontrol.h"
#include "link/Waits.h"

namespace {
// Failures here are met on the calling thread, never the receiver's.
struct Recorder : LinkNotify {
    void LinkFailed(const char* text) override { Texts.push_back(text); }
    std::vector<std::string> Texts;
};

// A send queue filled by frames to silent targets: EAGAIN while this counts down.
std::atomic<int> Refused{0};

// A worker whose frames go to loopback, where its own socket hears them back.
struct WorkerRig {
    WorkerRig() : Worker(Table, Driver, 8020) {
        Driver.SetDestination(inet_addr("127.0.0.1"));
        Worker.Step();  // opens the link
        EXPECT_EQ(Worker.State(), ST_RUN);
    }
    void Feed(const Bytes& b, const Origin& from = {}) { Driver.Store(b.data(), b.size(), from); }
    std::string Sent() {
        uint8_t b[TdrvUDP::SLOT_BYTES];
        return WaitUntil([&] { return Driver.Waiting() > 0; }, 300) ? Text(b, Driver.Read(b)) : "";
    }
    TmTable Table;
    TdrvUDP Driver;
    TQmx42 Worker;
};

struct FakeSettings : CommSettingsStore {
    void ReadCommSettings() override { ++Reads; }
    void WriteCommSettings() override { ++Writes; }
    int Reads = 0, Writes = 0;
};

struct ControlRig {
    ControlRig() : Control(Table, Settings, Driver) {
        Take(Table, Answer(MacOf(1), {"NAME:"}));
        Table.SetRowStatus(0, STATUS_NAK);
    }
    TmTable Table;
    FakeSettings Settings;
    TdrvUDP Driver;
    TtskCtrl Control;
};
}  // namespace

extern "C" ssize_t sendmsg(int fd, const msghdr* msg, int flags) {
    static const auto next = reinterpret_cast<ssize_t (*)(int, const msghdr*, int)>(dlsym(RTLD_NEXT, "sendmsg"));
    if (Refused > 0) {
        --Refused;
        errno = EAGAIN;
        return -1;
    }
    return next(fd, msg, flags);
}

// A full ring drops its oldest.  Anyone can send a datagram too long for a
// slot: it is dropped, and the link stays.
TEST(Driver, KeepsTheNewestDropsWhatIsNoFrameAndSaysWhyItFails) {
    uint8_t buf[TdrvUDP::SLOT_BYTES];
    TdrvUDP ring(4);  // holds three
    for (uint8_t i = 1; i <= 4; ++i) ring.Store(&i, 1);
    EXPECT_EQ(ring.Waiting(), 3u);
    for (uint8_t expect = 2; expect <= 4; ++expect) {
        ASSERT_EQ(ring.Read(buf), 1u);
        EXPECT_EQ(buf[0], expect);
    }
    EXPECT_EQ(ring.Read(buf), 0u);

    Recorder r;
    LinkParams p;
    p.Notify = &r;
    p.Port = 8020;
    TdrvUDP d;
    ASSERT_TRUE(d.Open(p));
    const Bytes frame = Answer(MacOf(1), {"MODEL:x"});
    p.Data = frame.data();
    p.Length = static_cast<uint32_t>(frame.size());
    ASSERT_TRUE(d.Send(p));
    ASSERT_TRUE(WaitUntil([&] { return d.Waiting() > 0; }));
    EXPECT_EQ(Text(buf, d.Read(buf)), Text(frame.data(), frame.size()));
    d.Store(frame.data(), frame.size());
    ASSERT_TRUE(d.Open(p));
    EXPECT_EQ(d.Read(buf), 0u) << "a reopened link starts empty";

    SendRaw(Bytes(600, 0x02));
    SendRaw(Bytes(513, 0x02));
    SendRaw(frame);
    ASSERT_TRUE(WaitUntil([&] { return d.Waiting() > 0; }));
    Origin from;
    EXPECT_EQ(d.Read(buf, &from), frame.size()) << "only the frame that fits arrives";
    EXPECT_EQ(from.Source, inet_addr("127.0.0.1"));
    EXPECT_EQ(from.IfIndex, if_nametoindex("lo")) << "where it arrived";
    EXPECT_TRUE(d.IsOpen());

    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(8021);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);  // no SO_REUSEADDR
    Refused = 2;  // waited out within the step
    EXPECT_TRUE(d.Send(p));
    Refused = 1000;  // a frame that cannot go is not sent
    EXPECT_FALSE(d.Send(p));
    p.Port = 8021;
    EXPECT_FALSE(d.Open(p));
    EXPECT_FALSE(d.IsOpen());
    EXPECT_FALSE(d.Send(p)) << "nothing goes on a closed link";
    ::close(blocker);
    EXPECT_EQ(r.Texts, (std::vector<std::string>{std::string("QMT42:send() error : ") + std::strerror(EAGAIN),
                                                 std::string("bind() error : ") + std::strerror(EADDRINUSE)}));
}

// Where an acknowledgement came from goes with it to the table, which decides.
// A full queue keeps the newest 49; after a failure the link reopens in 120 steps.
TEST(Worker, SortsWhatArrivesAndSendsOneAStep) {
    WorkerRig rig;
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
        {"date answer from another address, in doubt from then", Answer(known, {"INFO:DATE"}), STATUS_NONE, stranger},
    };
    for (const Case& c : cases) {
        rig.Table.SetRowStatus(0, STATUS_NONE);
        rig.Feed(c.frame, c.from);
        rig.Worker.Step();
        EXPECT_EQ(rig.Table.RowStatus(0), c.status) << c.name;
    }
    rig.Worker.EnqueueQuery(KIND_DATE);  // the oldest, to be dropped
    for (int i = 0; i < 49; ++i) rig.Worker.EnqueueQuery(i % 2 == 0 ? KIND_NETWORK : KIND_DEVINFO);
    rig.Worker.Step();
    EXPECT_EQ(rig.Sent(), "\x02" "ENQ:NETWORK\xFF\x03");
    rig.Worker.Step();
    EXPECT_EQ(rig.Sent(), "\x02" "ENQ:DEVINFO\xFF\x03");
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
}

// A step takes every datagram waiting when it began (every device answers a
// broadcast at once), but not what arrives meanwhile: a flood would hold it.
TEST(Worker, AStepTakesWhatWasWaitingThenSends) {
    WorkerRig rig;
    for (int i = 0; i < 300; ++i) rig.Feed(Answer(MacOf(i), {"INFO:NETWORK", "IPADRM:1.2.3.4"}));
    rig.Worker.Step();
    EXPECT_EQ(rig.Driver.Waiting(), 0u);
    EXPECT_EQ(rig.Table.Count(), 256);
    for (int i = 0; i < 10; ++i) rig.Feed(Answer(MacOf(1), {}));
    rig.Worker.EnqueueQuery(KIND_NETWORK);
    const uint64_t merged = rig.Table.Merged();
    std::thread step;
    rig.Table.EditRow(0, [&](TDeviceRec&) {  // the step waits for the table with the first datagram
        step = std::thread([&] { rig.Worker.Step(); });
        ASSERT_TRUE(WaitUntil([&] { return rig.Driver.Waiting() == 9; }));
        for (int i = 0; i < 5; ++i) rig.Feed(Answer(MacOf(1), {}));
    });
    step.join();
    EXPECT_EQ(rig.Table.Merged() - merged, 10u);
    EXPECT_EQ(rig.Worker.Queued(), 0);
}

// The steps a late step missed are not run back to back: frames keep their
// pace.  The bound only grows when the machine is slow.
TEST(Worker, ALateStepIsNotMadeUpFor) {
    using Clock = std::chrono::steady_clock;
    WorkerRig rig;  // opened by hand; the running thread takes the steps from here
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

// Nothing goes out before the link is up; a refused SET leaves no old ACK behind.
TEST(Control, DoorsOpenOnceReady) {
    ControlRig rig;
    rig.Control.AddressByName = [](std::string&) { return false; };  // then by its interfaces
    for (int tick = 0; tick < 3; ++tick) {  // to create the worker, start it, and wait for the link
        EXPECT_FALSE(rig.Control.RequestQuery(0, KIND_DATE));
        EXPECT_FALSE(rig.Control.RequestSet(0, KIND_DEVINFO, false));
        rig.Control.timCtrlTimer();
    }
    EXPECT_EQ(rig.Table.RowStatus(0), STATUS_NAK);
    EXPECT_FALSE(rig.Table.NoAddUnknown());
    ASSERT_TRUE(TickUntilReady(rig.Control));
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

// This host's address by its name, else by its interfaces, else no start.
// Closed at any state, it ends (a hang meets CTest's time-out).
TEST(Control, StartNeedsAnAddressOfThisHostAndEndsAtAnyState) {
    const auto fails = [](std::string&) { return false; };
    ControlRig none;
    none.Control.AddressByName = none.Control.AddressByInterface = fails;
    none.Control.timCtrlTimer();
    EXPECT_EQ(none.Control.CtrlState(), CTRL_FAILED);
    EXPECT_FALSE(none.Control.TimerEnabled());
    EXPECT_FALSE(none.Control.RequestQuery(NO_ROW, KIND_NETWORK));
    EXPECT_EQ(none.Settings.Writes, 0);
    for (int ticks = 0; ticks <= 4; ++ticks) {
        ControlRig rig;
        for (int i = 0; i < ticks; ++i) rig.Control.timCtrlTimer();
    }
}

// Half a second after the last answer (or enquiry), within three seconds;
// driven with made-up answer counts.
TEST(Control, QuickSearchEndsOnceAnswersStop) {
    const auto endsAt = [](const std::vector<uint64_t>& answers) {  // the last count repeats
        ControlRig rig;
        QuickPlan plan;
        int at = 0;
        for (size_t i = 0;; ++i) {
            const int next = plan.Tick(rig.Control, answers[std::min(i, answers.size() - 1)]);
            if (next < 0) return at;
            at += next;
        }
    };
    std::vector<uint64_t> endless;
    for (uint64_t i = 0; i < 200; ++i) endless.push_back(i);
    EXPECT_EQ(endsAt({0}), 600);
    EXPECT_EQ(endsAt({0, 0, 5, 9, 12}), 700);
    EXPECT_EQ(endsAt({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), 1000);  // one answer at 500 ms
    EXPECT_EQ(endsAt(endless), QuickPlan::MAX_MS);
}

// The full search: three cycles of a network enquiry, 1 s, a device
// enquiry, 2 s; the bar moves with each enquiry, refused or not.
TEST(Control, SearchKeepsItsRhythm) {
    ControlRig rig;
    SearchPlan plan;
    using Steps = std::vector<std::pair<int, int>>;  // the wait after each step, and the bar then
    Steps steps;
    for (int next; (next = plan.Tick(rig.Control)) >= 0;) steps.emplace_back(next, plan.Progress);
    EXPECT_EQ(steps, (Steps{{1000, 1}, {2000, 2}, {1000, 3}, {2000, 4}, {1000, 5}, {2000, 6}}));
}
