// tarnel-cli end to end against the simulator; runs inside the sandbox.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "SimProcess.h"
#include "TempDir.h"

namespace {
struct CliRun {
    int Code;
    std::string Out;
};

// env: assignments put before the command; errors: standard error goes to Out too.
CliRun Cli(const std::string& args, const std::string& env = {}, bool errors = false) {
    const std::string command = env + " " + TARNEL_CLI + " " + args + (errors ? " 2>&1" : " 2>/dev/null");
    FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// Four devices: 0 acknowledges, 1 refuses, 2 stays silent on SETs, 3 reports only some keys.
class Cli4 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim = new SimProcess({"--count", "4", "--nak", "1", "--silent", "2", "--partial", "3"});
    }
    static void TearDownTestSuite() { delete sim; }
    static SimProcess* sim;
};
SimProcess* Cli4::sim = nullptr;

const std::string kAck = "02-00-00-00-00-01", kNak = "02-00-00-00-00-02", kSilent = "02-00-00-00-00-03",
                  kPartial = "02-00-00-00-00-04";
}  // namespace

TEST_F(Cli4, SearchListsEveryDevice) {
    ASSERT_TRUE(sim->Ready());
    const CliRun r = Cli("search");
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Out.find(kAck + "\tKLV-70\t000\t10000\t192.168.1.10\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find(kPartial), std::string::npos);
    const CliRun j = Cli("search --json");
    EXPECT_NE(j.Out.find("\"MAC\": \"" + kPartial + "\", \"MODEL\": \"KLV-70\""), std::string::npos) << j.Out;
    EXPECT_EQ(j.Out.find("\"TOUT\": \"\""), std::string::npos);
}

TEST_F(Cli4, SetNetworkOutcomes) {
    EXPECT_EQ(Cli("set-network " + kAck + " GWAY=192.168.1.1 IPADRM=192.168.1.50 --yes").Code, 0);
    EXPECT_NE(Cli("search").Out.find(kAck + "\tKLV-70\t000\t10000\t192.168.1.50\n"), std::string::npos)
        << "the device now holds what was sent";
    EXPECT_EQ(Cli("set-network " + kNak + " IPADRM=192.168.1.51 --yes").Code, 1);
    EXPECT_EQ(Cli("set-network " + kSilent + " IPADRM=192.168.1.52 --yes").Code, 2);
    EXPECT_EQ(Cli("set-network " + kAck + " IPADRM=192.168.1.255 --yes").Code, 3);
    EXPECT_EQ(Cli("set-network " + kAck + " IPADRM=192.168.1.53").Code, 3) << "no reboot agreed";
    EXPECT_EQ(Cli("set-network 02-00-00-00-00-99 IPADRM=192.168.1.54 --yes").Code, 4);
    EXPECT_EQ(Cli("set-network " + kAck + " FOO=1 --yes").Code, 64);
}

TEST_F(Cli4, SetInfoAndDateOutcomes) {
    const CliRun ok = Cli("set-info " + kAck + " NAME=Rack-9 UNIQ=12 --json");
    EXPECT_EQ(ok.Code, 0);
    EXPECT_NE(ok.Out.find("\"result\": \"ACK\""), std::string::npos) << ok.Out;
    EXPECT_NE(Cli("search --json").Out.find("\"NAME\": \"Rack-9\""), std::string::npos);
    EXPECT_EQ(Cli("set-info " + kAck + " UNIQ=-1").Code, 3);
    EXPECT_EQ(Cli("set-info " + kNak + " NAME=x").Code, 1);
    EXPECT_EQ(Cli("set-date " + kAck + " 2024 2 29 9 7 +9").Code, 0);
    EXPECT_EQ(Cli("set-date " + kAck + " 2023 2 29 9 7 +9").Code, 3);
    EXPECT_EQ(Cli("set-date all 2024 3 5 9 7 9").Code, 0);
}

TEST(CliFiles, ShowPrintsADeviceFile) {
    TempDir dir;
    const std::string path = dir.Path + "one.dat";
    FILE* f = std::fopen(path.c_str(), "wb");
    const std::string frame = "\x02MAC:02-00-00-00-00-01\xFFMODEL:UNIT-A\xFFTARCID:001\xFFSERIAL:12345\xFF"
                              "IPADRM:192.168.0.10\xFF\x03";
    std::fwrite(frame.data(), 1, frame.size(), f);
    std::fclose(f);
    const CliRun r = Cli("show " + path);
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(r.Out, "02-00-00-00-00-01\tUNIT-A\t001\t12345\t192.168.0.10\n");
    EXPECT_EQ(Cli("show " + dir.Path + "missing.dat").Code, 5);

    // show only reads: it makes no program directories.
    const CliRun bare = Cli("show " + path, "env -u XDG_DATA_HOME HOME=" + dir.Path + "home");
    EXPECT_EQ(bare.Code, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.Path + "home")) << "show made directories";

    std::FILE* m = std::fopen((dir.Path + "many.dat").c_str(), "wb");
    for (int i = 0; i < 300; ++i) std::fprintf(m, "\x02MAC:02-00-00-00-%02X-%02X\xFF\x03", i / 256, i % 256);
    std::fclose(m);
    struct Case {
        std::string file;
        int code;
        std::string said;
    };
    const Case cases[] = {
        {dir.Path, 5, "cannot read " + dir.Path + ": it is a folder\n"},
        {dir.Path + "many.dat", 0, " holds more devices than a list can hold; devices left out: 44\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli("show " + c.file, {}, true);
        EXPECT_EQ(r.Code, c.code) << c.file;
        EXPECT_NE(r.Out.find(c.said), std::string::npos) << r.Out.substr(0, 200);
    }
    EXPECT_EQ(Cli("frobnicate").Code, 64);
    EXPECT_EQ(Cli("--version").Out, "tarnel-cli 1.01 (1.0.1.1)\n");
}
