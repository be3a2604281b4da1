// Searches against 200 simulated devices while another process floods port 8020
// with hostile datagrams, for TARNEL_SOAK_SECONDS (CMake sets it); in the sandbox.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "Frames.h"
#include "SimProcess.h"
#include "Support.h"
#include "TempDir.h"
#include "plan/Host.h"

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace {
// One hostile datagram: an answer or an ACK about one of 300 MACs that no
// simulated device has, whole, cut short, or grown beyond a slot.
Bytes Hostile(std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 3), len(1, 1400), who(0, 299);
    const std::string mac = MacOf(0x8000 + who(rng));
    Bytes b = Answer(mac, {"INFO:DEVINFO", "MODEL:intruder", "SERIAL:" + std::to_string(who(rng))});
    switch (kind(rng)) {
        case 0: return MakeFrame("ACK", mac, {});
        case 1: b.resize(static_cast<size_t>(len(rng)) % b.size() + 1); break;
        case 2: b.resize(static_cast<size_t>(len(rng)), 0xA5); break;
        default: break;
    }
    return b;
}

// About 2000 datagrams a second to the program's address, from another process.
pid_t StartFlood() {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    std::mt19937 rng(12345);
    for (;;) {
        SendRaw(Hostile(rng), "10.77.0.1");
        ::usleep(500);
    }
}

// In kB: the heap in use where a sanitizer's runtime tells it (AddressSanitizer's
// quarantine grows the resident size without a leak), else the resident size.
long MemoryKb() {
    if (__sanitizer_get_current_allocated_bytes != nullptr)
        return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
    const std::string status = ReadFile("/proc/self/status");
    const size_t at = status.find("VmRSS:");
    return at == std::string::npos ? 0 : std::atol(status.c_str() + at + 6);
}
}  // namespace

TEST(Soak, SearchesHoldUpUnderHostileTraffic) {
    const char* env = std::getenv("TARNEL_SOAK_SECONDS");
    const int seconds = env != nullptr ? std::atoi(env) : 60;
    SimProcess sim({"--count", "200"});
    ASSERT_TRUE(sim.Ready());
    TempDir dir;
    HeadlessHost host(dir.Path);
    ASSERT_TRUE(host.BringUp());
    host.Search(1);
    ASSERT_EQ(host.Table.Count(), 200) << "every device before the flood";

    using Clock = std::chrono::steady_clock;
    const pid_t flood = StartFlood();
    const auto start = Clock::now(), warmUp = start + std::chrono::seconds(seconds / 3);
    long warm = 0;
    while (Clock::now() < start + std::chrono::seconds(seconds)) {
        host.Search(1);
        EXPECT_EQ(host.Control.Worker()->State(), ST_RUN) << "the link closed";
        int missing = 0;
        for (int i = 1; i <= 200; ++i) missing += host.Table.FindRow(MacOf(i).c_str()) < 0;
        EXPECT_EQ(missing, 0) << "devices lost in a search";
        if (warm == 0 && Clock::now() > warmUp) warm = MemoryKb();
    }
    ::kill(flood, SIGKILL);
    ::waitpid(flood, nullptr, 0);
    EXPECT_EQ(host.Table.Count(), 256) << "the strangers' answers reached the table and filled it";
    const long last = MemoryKb();
    ASSERT_GT(warm, 0);
    EXPECT_LE(last, warm + warm / 20) << "memory held grew by more than 5%";
}
