// Searches again and again against 200 simulated devices while another
// process floods port 8020 with hostile datagrams.  Runs inside the sandbox,
// for TARNEL_SOAK_SECONDS (60 by default; CMake's TARNEL_SOAK_SECONDS sets it).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "Frames.h"
#include "plan/Host.h"
#include "SimProcess.h"
#include "TempDir.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_ASAN 1
#endif
#endif
#ifdef SOAK_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace {
using Clock = std::chrono::steady_clock;

std::string FloodMac(int i) {
    char t[18];
    std::snprintf(t, sizeof t, "02-FF-00-00-%02X-%02X", (i >> 8) & 0xFF, i & 0xFF);
    return t;
}

// One hostile datagram of a kind chosen at random.
Bytes Hostile(std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 6), len(1, 1400), byte(0, 255), mac(0, 299);
    Bytes b;
    switch (kind(rng)) {
        case 0:  // random bytes, some longer than a slot
            b.resize(static_cast<size_t>(len(rng)));
            for (uint8_t& x : b) x = static_cast<uint8_t>(byte(rng));
            break;
        case 1:  // a truncated answer
            b = Answer(FloodMac(mac(rng)), {"INFO:NETWORK", "IPADRM:10.0.0.1", "NAME:" + std::string(200, 'x')});
            b.resize(static_cast<size_t>(1 + len(rng) % b.size()));
            break;
        case 2:  // an oversized answer
            b = Answer(FloodMac(mac(rng)), {"NAME:" + std::string(700, 'y')});
            break;
        case 3:  // no 0xFF at all
            b = {0x02, 'M', 'A', 'C', ':'};
            b.resize(300, 'z');
            break;
        case 4:
            b = MakeFrame("ACK", FloodMac(mac(rng)), {});
            break;
        case 5:
            b = MakeFrame("NAK", FloodMac(mac(rng)), {});
            break;
        default:  // an answer from one of 300 strangers
            b = Answer(FloodMac(mac(rng)), {"INFO:DEVINFO", "MODEL:intruder", "SERIAL:" + std::to_string(mac(rng))});
            break;
    }
    return b;
}

// The flood, in a process of its own: about 2000 datagrams a second, half to
// the program's address and half broadcast.
pid_t StartFlood() {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(8020);
    std::mt19937 rng(12345);
    for (unsigned n = 0;; ++n) {
        const Bytes b = Hostile(rng);
        to.sin_addr.s_addr = (n & 1) != 0 ? htonl(INADDR_BROADCAST) : inet_addr("10.77.0.1");
        ::sendto(fd, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        ::usleep(500);
    }
}

// The memory the process holds, in kB.  AddressSanitizer keeps freed blocks
// in quarantine, so its resident size grows without a leak; there the heap
// in use is what counts.
long MemoryKb() {
#ifdef SOAK_ASAN
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
#endif
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

    const pid_t flood = StartFlood();
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    long warm = 0;
    int searches = 0;
    while (Clock::now() < end) {
        host.Search(1);
        ++searches;
        EXPECT_EQ(host.Control.Worker()->State(), ST_RUN) << "the link closed";
        EXPECT_TRUE(host.Driver.IsOpen());
        EXPECT_LE(host.Table.Count(), 256);
        int missing = 0;
        for (int i = 0; i < 200; ++i) missing += host.Table.FindRow(MacOf(i + 1).c_str()) < 0;
        EXPECT_EQ(missing, 0) << "after search " << searches;
        if (warm == 0 && Clock::now() - start > std::chrono::seconds(seconds / 3)) warm = MemoryKb();
    }
    ::kill(flood, SIGKILL);
    ::waitpid(flood, nullptr, 0);
    EXPECT_EQ(host.Table.Count(), 256) << "the strangers' answers reached the table and filled it";
    const long last = MemoryKb();
    std::printf("%d searches; %ld kB held after warm-up, %ld kB at the end\n", searches, warm, last);
    ASSERT_GT(warm, 0);
    EXPECT_LE(last, warm + warm / 20) << "memory held grew by more than 5%";
}
