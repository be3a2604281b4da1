// The UDP transport over real sockets; runs inside the sandbox.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Frames.h"
#include "Support.h"
#include "link/Qmx42d.h"

namespace {
// Failures here are met on the calling thread, never the receiver's.
struct Recorder : LinkNotify {
    void LinkFailed(const char* text) override { Texts.push_back(text); }
    std::vector<std::string> Texts;
};
}  // namespace

TEST(Driver, RingDropsTheOldestWhenFull) {
    TdrvUDP d(4);  // holds three
    uint8_t buf[TdrvUDP::SLOT_BYTES];
    EXPECT_EQ(d.Read(buf), 0u);
    for (uint8_t i = 1; i <= 4; ++i) d.Store(&i, 1);
    EXPECT_EQ(d.Waiting(), 3u);
    for (uint8_t expect = 2; expect <= 4; ++expect) {
        ASSERT_EQ(d.Read(buf), 1u);
        EXPECT_EQ(buf[0], expect);
    }
    EXPECT_EQ(d.Read(buf), 0u);
}

// Its own broadcast comes back; a reopened link starts empty; a datagram too
// long for a slot, which anyone can send, is dropped and the link stays.
TEST(Driver, ALinkHearsFramesAndDropsWhatIsNone) {
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
    uint8_t buf[TdrvUDP::SLOT_BYTES];
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
    EXPECT_TRUE(r.Texts.empty());
}

TEST(Driver, FailuresAreReportedWithTheirText) {
    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(8021);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);  // no SO_REUSEADDR
    Recorder r;
    LinkParams p;
    p.Notify = &r;
    p.Port = 8021;
    TdrvUDP d;
    EXPECT_FALSE(d.Open(p));
    EXPECT_FALSE(d.IsOpen());
    EXPECT_EQ(r.Texts, std::vector<std::string>{std::string("bind() error : ") + std::strerror(EADDRINUSE)});
    ::close(blocker);
    const uint8_t b[1] = {1};
    p.Data = b;
    p.Length = 1;
    EXPECT_FALSE(d.Send(p)) << "nothing goes on a closed link";
}
