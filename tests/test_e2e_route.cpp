// Devices behind a router: found and set up through a target, not without.
// Runs inside tests/routed_sandbox.sh, whose simulator stands for two devices
// at 10.99.0.2, two hops away.
#include <gtest/gtest.h>

#include <cstring>

#include "Support.h"
#include "link/Targets.h"
#include "plan/Host.h"
#include "TempDir.h"

namespace {
struct Routed {
    explicit Routed(const std::vector<std::string>& targets) : Host(Dir.Path) {
        Host.Driver.SetTargets(ParseTargets(targets).Addresses);
    }
    // What a search of one cycle found, and what it draws (a slow machine
    // may answer after the search is over).
    int Found(int expect) {
        if (!Host.BringUp()) return -1;
        Host.Search(1);
        WaitUntil([&] { return Host.Table.Count() >= expect; });
        return Host.Table.Count();
    }
    TempDir Dir;
    HeadlessHost Host;
};
}  // namespace

TEST(Route, FoundThroughATargetOnly) {
    struct Case {
        std::vector<std::string> targets;
        int found;
    };
    const Case cases[] = {
        {{}, 0},
        {{"10.99.0.255"}, 2},             // directed broadcast over the router
        {{"10.99.0.2"}, 2},               // the devices' own address
        {{"10.98.0.255 10.99.0.255"}, 2},  // the router's own network hears nothing
    };
    for (const Case& c : cases) {
        Routed r(c.targets);
        EXPECT_EQ(r.Found(c.found), c.found) << (c.targets.empty() ? "no target" : c.targets[0]);
    }
}

TEST(Route, ASetReachesADeviceBehindTheRouter) {
    Routed r({"10.99.0.255"});
    ASSERT_EQ(r.Found(2), 2);
    const int row = r.Host.Table.FindRow("02-00-00-00-99-02");
    ASSERT_GE(row, 0);
    std::memset(&r.Host.Table.EditRec, 0, sizeof r.Host.Table.EditRec);
    std::strcpy(r.Host.Table.EditRec.NAME, "Far away");
    ASSERT_TRUE(r.Host.Control.RequestSet(row, KIND_DEVINFO, false));
    EXPECT_EQ(r.Host.WaitAnswer(row), StatusWait::Acknowledged);
}
