// The worker's step, driven by hand; runs inside the sandbox.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Frames.h"
#include "link/Thqmx42.h"
#include "link/Waits.h"

namespace {
// Catches what the worker sends: it is pointed at 127.0.0.2, where this
// socket's exact binding wins over the worker's own wildcard one.
class Observer {
public:
    Observer() {
        Fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        const int on = 1;
        ::setsockopt(Fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        timeval tv{0, 300000};
        ::setsockopt(Fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(8020);
        a.sin_addr.s_addr = inet_addr("127.0.0.2");
        ::bind(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Observer() { ::close(Fd); }
    std::string Next() {
        char buf[600];
        const ssize_t n = ::recv(Fd, buf, sizeof buf, 0);
        return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    }
    int Fd;
};

struct Rig {
    Rig() : Worker(Table, Driver, 8020) {
        Driver.SetDestination(inet_addr("127.0.0.2"));
        Worker.Step();  // opens the link
        EXPECT_EQ(Worker.State(), ST_RUN);
    }
    void Feed(const Bytes& b, const Origin& from = {}) { Driver.Store(b.data(), b.size(), from); }
    TmTable Table;
    TdrvUDP Driver;
    TQmx42 Worker;
};

const std::string FF = "\xFF";
}  // namespace

TEST(Worker, FullQueueKeepsTheNewest49AndSendsOneAStep) {
    Observer seen;
    Rig rig;
    rig.Worker.EnqueueQuery(KIND_DATE);  // the oldest, to be dropped
    for (int i = 0; i < 49; ++i) rig.Worker.EnqueueQuery(i % 2 == 0 ? KIND_NETWORK : KIND_DEVINFO);
    EXPECT_EQ(rig.Worker.Queued(), 49);
    rig.Worker.Step();
    EXPECT_EQ(rig.Worker.Queued(), 48);
    EXPECT_EQ(seen.Next(), "\x02" "ENQ:NETWORK" + FF + "\x03");
    rig.Worker.Step();
    EXPECT_EQ(seen.Next(), "\x02" "ENQ:DEVINFO" + FF + "\x03");
    EXPECT_EQ(rig.Worker.Queued(), 47);
}

TEST(Worker, SortsWhatArrives) {
    Rig rig;
    const std::string known = "02-00-00-00-00-01";
    rig.Feed(Answer(known, {"MODEL:m"}));
    rig.Worker.Step();
    ASSERT_EQ(rig.Table.Count(), 1);

    struct Case {
        const char* name;
        Bytes frame;
        uint32_t status;
        int rows;
        Origin from = {};
    };
    const Origin stranger{0, 9};
    Bytes shortAck = MakeFrame("ACK", known, {}, false);  // 23 bytes: too short
    const Case cases[] = {
        {"ACK from another address", MakeFrame("ACK", known, {}), STATUS_NONE, 1, stranger},
        {"ACK", MakeFrame("ACK", known, {}), STATUS_ACK, 1},
        {"NAK", MakeFrame("NAK", known, {}), STATUS_NAK, 1},
        {"ACK too short", shortAck, STATUS_NONE, 1},
        {"ACK unknown MAC", MakeFrame("ACK", "02-00-00-00-00-09", {}), STATUS_NONE, 1},
        {"own enquiry", MakeFrame("ENQ", "NETWORK", {}), STATUS_NONE, 1},
        {"own SET", MakeFrame("SET", known, {"NAME:x"}), STATUS_NONE, 1},
        {"no STX", [&] { Bytes b = MakeFrame("ACK", known, {}); b[0] = 0x01; return b; }(), STATUS_NONE, 1},
        {"answer", Answer("02-00-00-00-00-02", {"MODEL:n"}), STATUS_NONE, 2},
        {"answer from the broadcast MAC", Answer("FF-FF-FF-FF-FF-FF", {"MODEL:all"}), STATUS_NONE, 1},
        {"date answer", Answer(known, {"INFO:DATE", "YMDHM:2024.01.01.00.00"}), STATUS_ACK, 1},
        // Last: an answer from another address puts the MAC in doubt (test_table).
        {"date answer from another address", Answer(known, {"INFO:DATE"}), STATUS_NONE, 1, stranger},
    };
    for (const Case& c : cases) {
        rig.Table.DeleteRow(2);
        rig.Table.SetRowStatus(0, STATUS_NONE);
        rig.Feed(c.frame, c.from);
        rig.Worker.Step();
        EXPECT_EQ(rig.Table.RowStatus(0), c.status) << c.name;
        EXPECT_EQ(rig.Table.Count(), c.rows) << c.name;
    }
}

TEST(Worker, DateAnswerFromStrangerWhileNotAddingIsDropped) {
    Rig rig;
    rig.Table.SetNoAddUnknown(true);
    rig.Feed(Answer("02-00-00-00-00-05", {"INFO:DATE"}));
    rig.Worker.Step();
    EXPECT_EQ(rig.Table.Count(), 0);
}

// A burst larger than the old one-a-step pace could take in: every answer
// waiting is merged in the same step.
TEST(Worker, TakesEveryWaitingDatagramInOneStep) {
    Rig rig;
    for (int i = 0; i < 300; ++i) rig.Feed(Answer(MacOf(i), {"INFO:NETWORK", "IPADRM:1.2.3.4"}));
    rig.Worker.Step();
    EXPECT_EQ(rig.Driver.Waiting(), 0u);
    EXPECT_EQ(rig.Table.Count(), 256);
}

// Datagrams arriving faster than they are merged must not hold a step: it
// takes what was waiting when it began (a full ring at most, where a held
// step would take the flood's thousands), then sends.
TEST(Worker, AFloodDoesNotHoldTheStep) {
    Observer seen;
    Rig rig;
    rig.Worker.EnqueueQuery(KIND_NETWORK);
    // Many small items in each datagram: far slower to merge than to store.
    const Bytes junk = Answer(MacOf(1), std::vector<std::string>(68, "LOG:1"));
    ASSERT_LE(junk.size(), TdrvUDP::SLOT_BYTES);
    std::atomic<bool> stop{false};
    const auto flood = [&] {
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
             !stop && std::chrono::steady_clock::now() < end;)
            rig.Feed(junk);
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
    ASSERT_EQ(rig.Table.Count(), 1);
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
    rig.Worker.WaitFor();
    EXPECT_LE(sent, 2 + steps) << "about twelve missed steps would have run at once";
}

TEST(Worker, AfterAFailureNothingIsSentFor120StepsThenTheLinkReopens) {
    Observer seen;
    Rig rig;
    rig.Worker.LinkFailed("forced");
    rig.Worker.EnqueueQuery(KIND_NETWORK);
    for (int i = 0; i < 120; ++i) {
        rig.Worker.Step();
        ASSERT_EQ(rig.Worker.Queued(), 1) << "step " << i;
        if (i < 119) {
            ASSERT_EQ(rig.Worker.State(), ST_WAIT);
        }
    }
    EXPECT_EQ(rig.Worker.State(), ST_OPEN);
    rig.Worker.Step();
    EXPECT_EQ(rig.Worker.State(), ST_RUN);
    EXPECT_EQ(rig.Worker.Queued(), 0) << "frames queued while down are dropped";
    rig.Worker.EnqueueQuery(KIND_DATE);
    rig.Worker.Step();
    EXPECT_EQ(seen.Next(), "\x02" "ENQ:DATE" + FF + "\x03");
}

TEST(Worker, SetFrameComesFromSendBuf) {
    Observer seen;
    Rig rig;
    rig.Feed(Answer("02-00-00-00-00-01", {"NAME:"}));
    rig.Worker.Step();
    std::strcpy(rig.Table.EditRec.NAME, "n");
    const uint16_t n = rig.Table.BuildSet(0, KIND_DEVINFO, false);
    rig.Worker.EnqueueSet(n);
    rig.Worker.Step();
    EXPECT_EQ(seen.Next(), Text(rig.Table.SendBuf(), n));
}

// Ends and closes the link whether it ran or never did (a hang meets CTest's
// time-out).
TEST(Worker, EndsAndClosesTheLinkRunOrNot) {
    TmTable table;
    TdrvUDP driver;
    { TQmx42 worker(table, driver, 8020); }
    EXPECT_FALSE(driver.IsOpen());
    TQmx42 worker(table, driver, 8020);
    worker.Resume();
    while (worker.State() == ST_OPEN) std::this_thread::yield();
    EXPECT_EQ(worker.State(), ST_RUN);
    worker.Terminate();
    EXPECT_EQ(worker.WaitFor(), 1);
    EXPECT_FALSE(driver.IsOpen());
}
