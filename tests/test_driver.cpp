// The UDP transport over real sockets; runs inside the sandbox.
#include <arpa/inet.h>
#include <net/if.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "Frames.h"
#include "link/Qmx42d.h"

namespace {
struct Recorder : LinkNotify {
    void LinkFailed(const char* text) override {
        std::lock_guard<std::mutex> g(M);
        Texts.push_back(text);
    }
    std::vector<std::string> All() {
        std::lock_guard<std::mutex> g(M);
        return Texts;
    }
    std::mutex M;
    std::vector<std::string> Texts;
};

// A driver with its recorder, ready to open on the link port.
struct Link {
    Link(uint16_t port = 8020) {
        P.Notify = &R;
        P.Port = port;
    }
    Recorder R;
    TdrvUDP D;
    LinkParams P;
};

uint32_t ReadWithin(TdrvUDP& d, uint8_t* buf, Origin* from = nullptr, int ms = 2000) {
    for (int waited = 0; waited < ms; waited += 5) {
        if (const uint32_t n = d.Read(buf, from)) return n;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}

}  // namespace

TEST(Driver, RingDropsOldestWhenFull) {
    TdrvUDP d(4);  // holds three
    uint8_t buf[512];
    EXPECT_EQ(d.Read(buf), 0u);
    for (uint8_t i = 1; i <= 4; ++i) {
        const uint8_t b[1] = {i};
        d.Store(b, 1);
    }
    EXPECT_EQ(d.Waiting(), 3u);
    for (uint8_t expect = 2; expect <= 4; ++expect) {
        ASSERT_EQ(d.Read(buf), 1u);
        EXPECT_EQ(buf[0], expect);
    }
    EXPECT_EQ(d.Read(buf), 0u);
}

TEST(Driver, DefaultRingHoldsAThousandDatagrams) {
    TdrvUDP d;
    const uint8_t b[24] = {0x02};
    for (int i = 0; i < 1024; ++i) d.Store(b, sizeof b);
    EXPECT_EQ(d.Waiting(), 1024u);
}

TEST(Driver, BroadcastComesBackToOwnSocket) {
    Link l(8020);
    Recorder& r = l.R;
    TdrvUDP& d = l.D;
    LinkParams& p = l.P;
    ASSERT_TRUE(d.Open(p));
    const Bytes frame = Answer("02-00-00-00-00-01", {"MODEL:x"});
    p.Data = frame.data();
    p.Length = static_cast<uint32_t>(frame.size());
    ASSERT_TRUE(d.Send(p));
    uint8_t buf[512];
    ASSERT_EQ(ReadWithin(d, buf), frame.size());
    EXPECT_EQ(0, std::memcmp(buf, frame.data(), frame.size()));
    EXPECT_TRUE(r.All().empty());
}

TEST(Driver, OversizedDatagramIsDroppedAndTheLinkStays) {
    Link l(8020);
    Recorder& r = l.R;
    TdrvUDP& d = l.D;
    LinkParams& p = l.P;
    ASSERT_TRUE(d.Open(p));
    SendRaw(Bytes(600, 0x02));
    SendRaw(Bytes(513, 0x02));
    const Bytes ok = Answer("02-00-00-00-00-02", {});
    SendRaw(ok);
    uint8_t buf[512];
    Origin from;
    ASSERT_EQ(ReadWithin(d, buf, &from), ok.size()) << "only the frame that fits arrives";
    EXPECT_EQ(from.Source, inet_addr("127.0.0.1"));
    EXPECT_EQ(from.IfIndex, if_nametoindex("lo")) << "where it arrived";
    EXPECT_TRUE(d.IsOpen());
    EXPECT_TRUE(r.All().empty());
}

TEST(Driver, ReopenStartsWithAnEmptyRing) {
    Link l(8020);
    TdrvUDP& d = l.D;
    LinkParams& p = l.P;
    d.SetDestination(inet_addr("127.0.0.1"));
    ASSERT_TRUE(d.Open(p));
    SendRaw(Answer("02-00-00-00-00-01", {}));
    uint8_t buf[512];
    for (int i = 0; i < 200 && d.Waiting() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(d.Waiting(), 1u);
    ASSERT_TRUE(d.Open(p));
    EXPECT_EQ(d.Read(buf), 0u);
}

TEST(Driver, BindFailureIsReportedWithItsText) {
    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(8021);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);  // no SO_REUSEADDR
    Link l(8021);
    Recorder& r = l.R;
    TdrvUDP& d = l.D;
    LinkParams& p = l.P;
    EXPECT_FALSE(d.Open(p));
    EXPECT_FALSE(d.IsOpen());
    ASSERT_EQ(r.All().size(), 1u);
    EXPECT_EQ(r.All()[0], std::string("bind() error : ") + std::strerror(EADDRINUSE));
    ::close(blocker);
}

TEST(Driver, SendOnAClosedLinkFails) {
    TdrvUDP d;
    LinkParams p;
    const uint8_t b[1] = {1};
    p.Data = b;
    p.Length = 1;
    EXPECT_FALSE(d.Send(p));
}
