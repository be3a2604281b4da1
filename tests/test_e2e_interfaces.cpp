// Devices behind two network cards: a search reaches both.  Runs inside the
// sandbox with two veth pairs; one simulator hears only v1, the other only v3.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "plan/Host.h"
#include "SimProcess.h"
#include "Support.h"
#include "TempDir.h"

namespace {
// How many frames starting with `what` a simulator run with --verbose has
// logged so far.  It logs a frame before it answers it, and takes frames in
// the order they came: once a later frame has been answered, every earlier
// one is in the log.
size_t Logged(const std::string& log, const std::string& what) { return Count(log, "klv70-sim: " + what); }

bool WaitMerged(HeadlessHost& host, uint64_t merged) {
    return WaitUntil([&] { return host.Table.Merged() >= merged; });
}

StatusWait::Outcome SetTimeOut(HeadlessHost& host, const std::string& mac) {
    const int row = host.Table.FindRow(mac.c_str());
    host.Table.CopyRow(row, host.Table.EditRec);
    std::strcpy(host.Table.EditRec.TOUT, "45");
    if (!host.Control.RequestSet(row, KIND_NETWORK, false)) return StatusWait::Silent;
    return host.WaitAnswer(row);
}

StatusWait::Outcome AskDate(HeadlessHost& host, const std::string& mac) {
    const int row = host.Table.FindRow(mac.c_str());
    if (!host.Control.RequestQuery(row, KIND_DATE)) return StatusWait::Silent;
    return host.WaitAnswer(row);
}

// The devices found by an enquiry out of `interface`; a second enquiry,
// answered after whatever the first one drew, is the end of the wait.
int FoundWith(const std::string& interface, int expect) {
    TempDir dir;
    HeadlessHost host(dir.Path, interface);
    if (!host.BringUp()) return -1;
    for (int round = 1; round <= 2; ++round)
        if (!host.Control.RequestQuery(NO_ROW, KIND_NETWORK) || !WaitMerged(host, static_cast<uint64_t>(round * expect)))
            return -1;
    return host.Table.Count();
}
}  // namespace

// getifaddrs lists addresses: a card with a second address once sent every
// frame twice, and a device applied every SET (and rebooted) twice.  A search
// reaches every card, or the one asked for; a SET or a date enquiry for one
// device leaves only by the card its answers came in on.
TEST(Interfaces, ASearchReachesEveryCardAndAFrameForOneDeviceLeavesOnceByItsCard) {
    ASSERT_EQ(std::system("ip addr add 10.77.0.3/24 dev v0"), 0);
    SimProcess first({"--count", "2", "--interface", "v1", "--address", "10.77.0.2", "--mac-base", "02-00-00-00-0A-01",
                      "--verbose"});
    SimProcess second({"--count", "3", "--interface", "v3", "--address", "10.78.0.2", "--mac-base",
                       "02-00-00-00-0B-01", "--verbose"});
    ASSERT_TRUE(first.Ready() && second.Ready());
    EXPECT_EQ(FoundWith("v0", 2), 2) << "the card of the default route alone";
    EXPECT_EQ(FoundWith("v2", 3), 3) << "the second card alone";
    TempDir dir;
    HeadlessHost host(dir.Path);
    ASSERT_TRUE(host.BringUp());
    ASSERT_TRUE(host.Control.RequestQuery(NO_ROW, KIND_NETWORK));
    ASSERT_TRUE(WaitMerged(host, 5));
    EXPECT_EQ(host.Table.Count(), 5);
    first.Heard(0);
    second.Heard(0);

    EXPECT_EQ(SetTimeOut(host, "02-00-00-00-0A-02"), StatusWait::Acknowledged);
    EXPECT_EQ(AskDate(host, "02-00-00-00-0B-03"), StatusWait::Acknowledged);
    EXPECT_EQ(AskDate(host, "02-00-00-00-0A-01"), StatusWait::Acknowledged);  // behind what the first card heard
    const std::string heardFirst = first.Heard(0), heardSecond = second.Heard(0);
    EXPECT_EQ(Logged(heardFirst, "SET:"), 1u) << heardFirst;
    EXPECT_EQ(Logged(heardSecond, "SET:"), 0u) << heardSecond;
    EXPECT_EQ(Logged(heardFirst, "ENQ:DATE"), 1u) << heardFirst;
    EXPECT_EQ(Logged(heardSecond, "ENQ:DATE"), 1u) << heardSecond;
    EXPECT_EQ(std::system("ip addr del 10.77.0.3/24 dev v0"), 0);
}
