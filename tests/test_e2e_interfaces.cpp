// Devices behind two network cards: a search reaches both.  Runs inside the
// sandbox with two veth pairs; one simulator hears only v1, the other only v3.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Host.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
int FoundWith(const std::string& interface, int expect) {
    TempDir dir;
    HeadlessHost host(dir.Path, interface);
    if (!host.BringUp() || !host.Control.RequestQuery(NO_ROW, KIND_NETWORK)) return -1;
    for (int i = 0; i < 150 && host.Table.Count() < expect; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // nothing more should come
    return host.Table.Count();
}
}  // namespace

TEST(Interfaces, ASearchReachesDevicesOnEveryCard) {
    SimProcess first({"--count", "2", "--interface", "v1", "--address", "10.77.0.2", "--mac-base", "02-00-00-00-0A-01"});
    SimProcess second({"--count", "3", "--interface", "v3", "--address", "10.78.0.2", "--mac-base", "02-00-00-00-0B-01"});
    ASSERT_TRUE(first.Ready());
    ASSERT_TRUE(second.Ready());
    EXPECT_EQ(FoundWith("", 5), 5);
    EXPECT_EQ(FoundWith("v0", 2), 2) << "the card of the default route alone";
    EXPECT_EQ(FoundWith("v2", 3), 3) << "the second card alone";
}
