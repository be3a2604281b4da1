// The device link end to end against the simulator, without any window; runs
// inside the sandbox.  Sets and their answers go end to end in test_e2e_cli.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Commands.h"
#include "plan/Host.h"
#include "SimProcess.h"
#include "TempDir.h"

// One search cycle fills a whole list, and the command line says on standard
// error how many answers it left out (two enquiries, 44 devices beyond the
// 256th).  Not the quick search: under a sanitizer on a busy machine 300
// answers can start after its quiet time at the tests' pace.
TEST(EndToEnd, ThreeHundredDevicesFillExactly256RowsAndTheRestIsTold) {
    SimProcess sim({"--count", "300"});
    TempDir dir;
    HeadlessHost host(dir.Path);
    std::ostringstream err;
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(BringUpAndSearch(host, 1, Options{}, err));
    EXPECT_EQ(host.Table.Count(), 256);
    const std::string head = "tarnel-cli: The device list is full (256 devices): ";
    ASSERT_EQ(err.str().rfind(head, 0), 0u) << err.str();
    const int leftOut = std::atoi(err.str().c_str() + head.size());
    EXPECT_GT(leftOut, 0);
    EXPECT_LE(leftOut, 88) << "two answers from each of 44 devices at most";
    EXPECT_NE(err.str().find(" answers from further devices were left out.\n"), std::string::npos);
}
