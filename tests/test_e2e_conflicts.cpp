// Saved lists, their diff, conflicts, "now" and the quick search, through
// tarnel-cli against the simulator; runs inside the sandbox.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "CliRun.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
std::string ReadAll(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// Five devices in the sandbox's subnet 10.77.0.0/24 or not: 0 is well, 1 and 2
// share an address, 3 keeps the simulator's 192.168.1.13, 4 has a gateway
// outside its subnet.
class Conflicts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim = new SimProcess({"--count", "5", "--value", "0:IPADRM=10.77.0.40", "--value", "0:GWAY=10.77.0.1",
                              "--value", "1:IPADRM=10.77.0.50", "--value", "1:GWAY=10.77.0.1", "--value",
                              "2:IPADRM=10.77.0.50", "--value", "2:GWAY=10.77.0.1", "--value", "4:IPADRM=10.77.0.70",
                              "--value", "4:GWAY=10.78.0.1"});
    }
    static void TearDownTestSuite() { delete sim; }
    static SimProcess* sim;
};
SimProcess* Conflicts::sim = nullptr;
}  // namespace

TEST_F(Conflicts, EachConflictIsListedWithItsDevice) {
    ASSERT_TRUE(sim->Ready());
    const CliRun j = Cli("search --quick --json");
    EXPECT_EQ(j.Code, 0);
    const char* const expect[] = {
        "\"MAC\": \"02-00-00-00-00-01\"", "\"problems\": []",
        "\"MAC\": \"02-00-00-00-00-02\"", "\"problems\": [\"main address 10.77.0.50 is also used by 02-00-00-00-00-03\"]",
        "\"MAC\": \"02-00-00-00-00-03\"", "\"problems\": [\"main address 10.77.0.50 is also used by 02-00-00-00-00-02\"]",
        "\"MAC\": \"02-00-00-00-00-04\"",
        "\"problems\": [\"main address 192.168.1.13 is in none of this computer's subnets (only a router reaches it)\"]",
        "\"MAC\": \"02-00-00-00-00-05\"", "\"problems\": [\"gateway 10.78.0.1 is not in its own subnet (mask 255.255.255.0)\"]",
    };
    size_t at = 0;
    for (const char* e : expect) {
        at = j.Out.find(e, at);
        ASSERT_NE(at, std::string::npos) << e << "\n" << j.Out;
    }
    const CliRun text = Cli("search --quick");
    EXPECT_NE(text.Err.find("02-00-00-00-00-05: gateway 10.78.0.1 is not in its own subnet"), std::string::npos);
    EXPECT_EQ(Count(text.Err, ": main address"), 3u) << text.Err;
}

TEST_F(Conflicts, SaveThenDiffAgainstTheNetworkAndBetweenFiles) {
    TempDir dir;
    const std::string saved = dir.Path + "saved.dat", before = dir.Path + "before.dat";
    ASSERT_EQ(Cli("search --quick --save " + saved).Code, 0);
    EXPECT_EQ(Count(ReadAll(saved), "\x02MAC:"), 5u);
    EXPECT_EQ(Cli("diff " + saved + " --quick").Code, 0) << "the network as saved";
    EXPECT_EQ(Cli("diff " + saved + " " + saved + " --json").Out, "[]\n");

    // A device of the file no longer answers, one answers that the file lacks.
    const std::string bytes = ReadAll(saved);
    const size_t second = bytes.find("\x02MAC:02-00-00-00-00-02");
    std::ofstream(before, std::ios::binary)
        << bytes.substr(second) << "\x02MAC:02-00-00-00-00-99\xFFMODEL:KLV-70\xFFTARCID:9\xFFSERIAL:9\xFF\x03";
    const CliRun gone = Cli("diff " + before + " " + saved);
    EXPECT_EQ(gone.Code, 1);
    EXPECT_EQ(gone.Out, "GONE\t02-00-00-00-00-99\nNEW\t02-00-00-00-00-01\n");

    ASSERT_EQ(Cli("set-info 02-00-00-00-00-01 NAME=Moved").Code, 0);
    const CliRun changed = Cli("diff " + saved + " --quick --json");
    EXPECT_EQ(changed.Code, 1);
    EXPECT_EQ(changed.Out, "[\n  {\"MAC\": \"02-00-00-00-00-01\", \"status\": \"CHANGED\", \"changes\": {\"NAME\": "
                           "{\"old\": \"Unit 1\", \"new\": \"Moved\"}}}\n]\n");
    EXPECT_EQ(Cli("diff " + dir.Path + "missing.dat " + saved).Code, 5);
    EXPECT_EQ(Cli("search --quick --save " + dir.Path + "no/such/dir/x.dat").Code, 5);
}

TEST_F(Conflicts, NowTakesThisComputersClockInWholeHoursOnly) {
    const CliRun half = Cli("set-date all now", "TZ=IST-5:30");
    EXPECT_EQ(half.Code, 3);
    EXPECT_NE(half.Err.find("+5:30, is not whole hours; give the date explicitly"), std::string::npos) << half.Err;
    EXPECT_EQ(Cli("set-date 02-00-00-00-00-01 now", "TZ=XST-9").Code, 0);
    EXPECT_EQ(Cli("set-date 02-00-00-00-00-01 now 1").Code, 64);
}

TEST(QuickSearch, FindsEveryDeviceOf256) {
    SimProcess sim({"--count", "256"});
    ASSERT_TRUE(sim.Ready());
    const CliRun r = Cli("search --quick");
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(Count(r.Out, "\n"), 256u);
}
