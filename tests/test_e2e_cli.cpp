// tarnel-cli end to end against the simulator; runs inside the sandbox.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "CliRun.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
// One shell word, whatever it holds (line breaks and control bytes too).
std::string Q(const std::string& word) {
    std::string q = "'";
    for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// What the simulator has said it received since the last call (--verbose).
std::string Heard(const SimProcess& sim) { return sim.Heard(100); }

// Six devices from MAC ...0B: 0 acknowledges, 1 refuses, 2 stays silent on
// SETs, 3 reports only some keys; 4 and 5 answer as 0A and 0a (one MAC in two
// letter cases), 4 with control characters in its device name.
class Cli6 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim = new SimProcess({"--count", "6", "--mac-base", "02-00-00-00-00-0B", "--nak", "1", "--silent", "2",
                              "--partial", "3", "--verbose", "--value", "4:MAC=02-00-00-00-00-0A", "--value",
                              "4:MODEL=a\\x09b\\x1b[2Jc\\x0ad", "--value", "5:MAC=02-00-00-00-00-0a"});
    }
    static void TearDownTestSuite() { delete sim; }
    static SimProcess* sim;
};
SimProcess* Cli6::sim = nullptr;

const std::string kAck = "02-00-00-00-00-0B", kNak = "02-00-00-00-00-0C", kSilent = "02-00-00-00-00-0D",
                  kPartial = "02-00-00-00-00-0E";
const std::string kUtf8 = "LC_ALL=C.UTF-8";
}  // namespace

TEST_F(Cli6, SearchWritesEveryDeviceOnOneLineWithoutControlCharacters) {
    ASSERT_TRUE(sim->Ready());
    const CliRun r = Cli("search");
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Out.find(kAck + "\tKLV-70\t000\t10000\t192.168.1.10\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("02-00-00-00-00-0A\ta\\tb\\x1B[2Jc\\nd\t004\t"), std::string::npos) << r.Out;
    EXPECT_EQ(Count(r.Out, "\n"), 6u) << r.Out;
    EXPECT_EQ(r.Out.find('\x1b'), std::string::npos);
    const CliRun j = Cli("--json search");
    EXPECT_NE(j.Out.find("\"MAC\": \"" + kPartial + "\", \"MODEL\": \"KLV-70\""), std::string::npos) << j.Out;
    EXPECT_NE(j.Out.find("\"MODEL\": \"a\\tb\\u001b[2Jc\\nd\""), std::string::npos) << "JSON keeps its escaping";
    EXPECT_EQ(j.Out.find("\"TOUT\": \"\""), std::string::npos);
    Heard(*sim);
}

// Every argument the windows could never produce, and every device the
// argument does not name exactly: refused with its status and message, and
// no SET reaches a device.
TEST_F(Cli6, RefusedArgumentsSendNothing) {
    struct Refusal {
        std::string Env, Args;
        int Code;
        const char* Says;
    };
    const std::string bad = "02-00-00-00-00-0AXYZ";
    const Refusal cases[] = {
        {"", "set-network all TOUT=31 --yes", 64, "all is for set-date only"},
        {"", "set-info all NAME=x", 64, "all is for set-date only"},
        {"", "set-info " + bad + " NAME=x", 64, "is not a MAC: expected six hex pairs joined by '-'"},
        {"", "set-info " + Q(kAck + "\n") + " NAME=x", 64, "is not a MAC"},
        {"", "set-info 02-00-00-00-00 NAME=x", 64, "is not a MAC"},
        {kUtf8, "set-info Caf\xC3\xA9 NAME=x", 64, "'Caf\xC3\xA9' is not a MAC"},
        {kUtf8, "set-info " + kAck + " N\xC3\x84ME=x", 64, "of this command: N\xC3\x84ME=x\n"},
        {"", "set-info ff-ff-ff-ff-ff-ff NAME=x", 64, "is every device"},
        {"", "set-date FF-FF-FF-FF-FF-FF 2024 1 1 1 1 9", 64, "is every device"},
        {"", "set-network " + kPartial + " GWAY=192.168.1.1 TOUT=31 --yes", 3, "The device does not report GWAY."},
        {"", "set-info " + kPartial + " UNIQ=5", 3, "The device does not report UNIQ."},
        {"", "set-info " + kPartial + " UNIQ=abc", 3, "\"Unique ID\" is a illegal value."},
        {"", "set-info " + kAck + " NAME=", 3, "an empty value cannot be sent"},
        {"", "set-network " + kAck + " IPADRM=192.168.266 --yes", 3, "\"Main IP\" is a illegal value."},
        {"", "set-network " + kAck + " IPADRM=0xC0A8010C --yes", 3, "\"Main IP\" is a illegal value."},
        {"", "set-network " + kAck + " IPADRM=0300.0250.01.012 --yes", 3, "\"Main IP\" is a illegal value."},
        {"", "set-network " + kAck + " TOUT=99999 --yes", 3, "\"Time Out\" is a illegal value."},
        {"", "set-network " + kAck + " IPADRM=192.168.1.010 --yes", 3, "a part begins with 0, which some read as octal"},
        {"TZ=UTC-14", "set-date " + kAck + " now", 3, "+14:00, is outside the -12 to +13 hours a device takes"},
        {"", "set-network " + kAck + " GPID='$FF' --yes", 3, "\"Group ID\" is a illegal value."},
        {"", "set-network " + kAck + " LOG='$FFF' --yes", 3, "\"Log\" is a illegal value."},
        {"", "set-network " + kAck + " TOUT=31", 3, "add --yes to agree"},
        {"", "set-info " + kAck + " UNIQ='$FF'", 3, "\"Unique ID\" is a illegal value."},
        {"", "set-date " + kAck + " 2024 1 1 1 0000013 9", 3, "Please input correct time."},
        {"", "set-date " + kAck + " '$FFFFFFFF' 1 1 1 1 9", 3, "Please input a correct date."},
        {"", "set-date " + kAck + " 2024 1 1 1 '     7' 9", 3, "Please input correct time."},
        {kUtf8, "set-info " + kAck + " " + Q("NAME=x\xFFIPADRM:10.9.9.9"), 3, "no text in the terminal's encoding"},
        {kUtf8, "set-info " + kAck + " " + Q("NAME=x\xC3\xBFIPADRM:10.9.9.9"), 3, "cannot be sent (0xFF)"},
        {kUtf8, "set-info " + kAck + " " + Q("NAME=x\x02y"), 3, "cannot be sent (0x02)"},
        {kUtf8, "set-info " + kAck + " " + Q("LOC=x\x1b[2J"), 3, "cannot be sent (0x1B)"},
        {kUtf8, "set-info " + kAck + " NAME=\xE2\x82\xAC", 3, "U+20AC"},
        {kUtf8, "set-info " + kAck + " NAME=" + std::string(21, 'x'), 3, "longer than 20 characters"},
        {"", "set-info 02-00-00-00-00-0a NAME=x", 3, "matches more than one device"},
    };
    Heard(*sim);
    for (const Refusal& c : cases) {
        const CliRun r = Cli(c.Args, c.Env);
        EXPECT_EQ(r.Code, c.Code) << c.Args << "\n" << r.Err;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Args << "\n" << r.Err;
        if (c.Code == 64) {
            EXPECT_EQ(Count(r.Err, "\n"), 1u) << "one line, whatever the argument held: " << r.Err;
        }
        EXPECT_EQ(Count(Heard(*sim), "SET:"), 0u) << c.Args;
    }
    const CliRun twice = Cli("set-info 02-00-00-00-00-0a NAME=x");
    EXPECT_NE(twice.Err.find("02-00-00-00-00-0A"), std::string::npos) << "names both: " << twice.Err;
    const CliRun j = Cli("--json set-network all TOUT=31");
    EXPECT_NE(j.Out.find("{\"error\": \"all is for set-date only"), std::string::npos) << j.Out;
    EXPECT_NE(j.Out.find("\"exit\": 64}"), std::string::npos) << j.Out;
}

TEST_F(Cli6, SetOutcomesAndWhatTheDevicesThenHold) {
    Heard(*sim);
    EXPECT_EQ(Cli("set-network " + kAck + " GWAY=192.168.1.1 IPADRM=192.168.1.50 --yes").Code, 0);
    EXPECT_GE(Count(Heard(*sim), "SET:" + kAck), 1u);
    EXPECT_NE(Cli("search").Out.find(kAck + "\tKLV-70\t000\t10000\t192.168.1.50\n"), std::string::npos)
        << "the device now holds what was sent";
    EXPECT_EQ(Cli("set-network " + kPartial + " IPADRM=192.168.1.13 --yes").Code, 0) << "it reports no gateway";
    EXPECT_EQ(Cli("set-network " + kNak + " IPADRM=192.168.1.51 --yes").Code, 1);
    EXPECT_EQ(Cli("set-network " + kSilent + " IPADRM=192.168.1.52 --yes").Code, 2);
    EXPECT_EQ(Cli("set-network " + kAck + " IPADRM=192.168.1.255 --yes").Code, 3);
    EXPECT_EQ(Cli("set-network 02-00-00-00-00-99 IPADRM=192.168.1.54 --yes").Code, 4);
    EXPECT_EQ(Cli("set-network " + kAck + " FOO=1 --yes").Code, 64);

    // A MAC in the other letter case names the one device that has it;
    // eleven Latin-1 characters fit in twenty however many bytes UTF-8 takes.
    const std::string eleven = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
    const CliRun ok = Cli("set-info 02-00-00-00-00-0b NAME=" + eleven + " UNIQ=12 --json", kUtf8);
    EXPECT_EQ(ok.Code, 0) << ok.Err;
    EXPECT_NE(ok.Out.find("\"result\": \"ACK\""), std::string::npos) << ok.Out;
    std::string escaped;
    for (int i = 0; i < 11; ++i) escaped += "\\u00e9";
    EXPECT_NE(Cli("search --json").Out.find("\"NAME\": \"" + escaped + "\""), std::string::npos);
    EXPECT_EQ(Cli("set-info " + kAck + " UNIQ=-1").Code, 3);
    EXPECT_EQ(Cli("set-info " + kNak + " NAME=x").Code, 1);
    EXPECT_EQ(Cli("set-date " + kAck + " 2024 2 29 9 7 +9").Code, 0);
    EXPECT_EQ(Cli("set-date " + kAck + " 2023 2 29 9 7 +9").Code, 3);
    Heard(*sim);
    const CliRun all = Cli("set-date all 2024 3 5 9 7 -5 --interface v0");
    EXPECT_EQ(all.Code, 0) << all.Err;
    EXPECT_EQ(all.Out, "all\tSENT\n");
    EXPECT_EQ(Count(Heard(*sim), "SET:FF-FF-FF-FF-FF-FF"), 1u) << "SENT once it has left";
}

// set-date all: the first device found keeps its date to itself; the next
// one that answers stands for every device.
TEST(CliDateAll, ADeviceThatKeepsItsDateDoesNotStopTheRest) {
    SimProcess sim({"--count", "2", "--no-date", "0"});
    ASSERT_TRUE(sim.Ready());
    const CliRun all = Cli("set-date all 2024 3 5 9 7 -5");
    EXPECT_EQ(all.Code, 0) << all.Err;
    EXPECT_EQ(all.Out, "all\tSENT\n");
}

// Port 8020 held by another program: the link never opens, and every
// command says so in the driver's words instead of reading as success.
TEST(CliLinkDown, EveryCommandExits5WithTheDriversMessage) {
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(8020);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
    for (const std::string args : {"search", "set-date all 2024 3 5 9 7 9", "set-info 02-00-00-00-00-01 NAME=x"}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.Code, 5) << args;
        EXPECT_NE(r.Err.find("Address already in use"), std::string::npos) << args << ": " << r.Err;
        EXPECT_EQ(r.Out, "") << args;
    }
    const CliRun j = Cli("search --json");
    EXPECT_EQ(j.Code, 5);
    EXPECT_NE(j.Out.find("Address already in use"), std::string::npos) << j.Out;
    EXPECT_NE(j.Out.find("\"exit\": 5}"), std::string::npos) << j.Out;
    ::close(holder);
}

TEST(CliFiles, ShowOutputAndOutputThatCannotBeWritten) {
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
    const CliRun missing = Cli("--json show " + dir.Path + "missing.dat");
    EXPECT_EQ(missing.Out.rfind("{\"error\": ", 0), 0u) << missing.Out;
    EXPECT_NE(missing.Out.find("\"exit\": 5}\n"), std::string::npos) << missing.Out;

    // Output that cannot be written or flushed is a failure.
    const CliRun full = Cli("show " + path + " --json", "", ">/dev/full");
    EXPECT_EQ(full.Code, 5);
    EXPECT_NE(full.Err.find("cannot write to standard output"), std::string::npos) << full.Err;
    EXPECT_EQ(Cli("show " + path, "", ">&-").Code, 5);


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
        const CliRun r = Cli("show " + c.file);
        EXPECT_EQ(r.Code, c.code) << c.file;
        EXPECT_NE(r.Err.find(c.said), std::string::npos) << r.Err.substr(0, 200);
    }

    // diff compares every device of both files, not the 256 a list holds.
    std::FILE* m2 = std::fopen((dir.Path + "many2.dat").c_str(), "wb");
    for (int i = 0; i < 300; ++i)
        std::fprintf(m2, "\x02MAC:02-00-00-00-%02X-%02X\xFF%s\x03", i / 256, i % 256, i == 280 ? "NAME:x\xFF" : "");
    std::fclose(m2);
    const CliRun d = Cli("diff " + dir.Path + "many.dat " + dir.Path + "many2.dat");
    EXPECT_EQ(d.Code, 1) << d.Err;
    EXPECT_EQ(d.Out, "CHANGED\t02-00-00-00-01-18\tNAME\t -> x\n");

    // A search that found nobody keeps the file saved before and says so; a
    // new file is still written; under --json a save that fails is an error.
    const CliRun kept = Cli("search --quick --save " + path);
    EXPECT_EQ(kept.Code, 4);
    EXPECT_NE(kept.Err.find("no device answered; " + path + " was left as it was"), std::string::npos) << kept.Err;
    EXPECT_EQ(Cli("show " + path).Out, r.Out);
    EXPECT_EQ(Cli("search --quick --save " + dir.Path + "fresh.dat").Code, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path + "fresh.dat"));
    const CliRun nowhere = Cli("--json search --quick --save " + dir.Path + "no/such.dat");
    EXPECT_EQ(nowhere.Code, 5);
    EXPECT_EQ(nowhere.Out.rfind("{\"error\": \"cannot save ", 0), 0u) << nowhere.Out;

    EXPECT_EQ(Cli("frobnicate").Code, 64);
    EXPECT_EQ(Cli("--json frobnicate").Out, "{\"error\": \"unknown command 'frobnicate' (see tarnel-cli --help)\", \"exit\": 64}\n");
    EXPECT_EQ(Cli("--version").Out, "tarnel-cli 1.01 (1.0.1.1)\n");
    EXPECT_EQ(Cli("set-date --help").Code, 0);
}

// Targets: no loopback, no multicast, at most 64; one the broadcasts reach
// already is left out with a note.
TEST(CliTargets, RefusedBeforeAnyTrafficOrLeftOutWithANote) {
    std::string many;
    for (int i = 1; i <= 65; ++i) many += " --target 10.99.0." + std::to_string(i);
    const std::pair<std::string, std::string> refused[] = {
        {"search --target 127.0.0.1", "a loopback address reaches no device"},
        {"search --target 224.0.0.1", "a multicast address reaches no device"},
        {"search" + many, "more than 64 targets"},
    };
    for (const auto& [args, says] : refused) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.Code, 64) << args;
        EXPECT_NE(r.Err.find(says), std::string::npos) << r.Err;
    }
    const CliRun local = Cli("search --quick --target 10.77.0.255");
    EXPECT_EQ(local.Code, 0) << local.Err;
    EXPECT_NE(local.Err.find("target 10.77.0.255 left out: it is on a network this computer broadcasts on already"),
              std::string::npos)
        << local.Err;
}

// One MAC answering from two addresses (a second host, or a second device
// with it), or with two serials from one: it is flagged and nothing is sent
// to it, whatever answers a SET.
TEST(CliDoubt, AMacFromTwoAddressesOrWithTwoSerialsIsNotSetUp) {
    ASSERT_EQ(std::system("ip addr add 10.77.0.9/24 dev v1"), 0);
    {
        SimProcess real({"--count", "1", "--nak", "0", "--verbose"});
        SimProcess forger({"--count", "1", "--address", "10.77.0.9", "--verbose"});
        ASSERT_TRUE(real.Ready() && forger.Ready());
        const CliRun search = Cli("search");
        EXPECT_NE(search.Err.find("02-00-00-00-00-01: answers from two addresses: 10.77.0."), std::string::npos)
            << search.Err;
        EXPECT_NE(search.Err.find("10.77.0.9"), std::string::npos) << search.Err;
        Heard(real);
        const CliRun set = Cli("set-info 02-00-00-00-00-01 NAME=x");
        EXPECT_EQ(set.Code, 3) << set.Err;
        EXPECT_NE(set.Err.find("answers from two addresses"), std::string::npos) << set.Err;
        TempDir dir;
        std::ofstream(dir.Path + "plan.csv") << "MAC,NAME\n02-00-00-00-00-01,x\n";
        const CliRun apply = Cli("apply " + dir.Path + "plan.csv");
        EXPECT_EQ(apply.Code, 3);
        EXPECT_NE(apply.Err.find("row 2 (02-00-00-00-00-01): answers from two addresses"), std::string::npos)
            << apply.Err;
        EXPECT_EQ(Count(Heard(real), "SET:"), 0u);
    }
    std::system("ip addr del 10.77.0.9/24 dev v1");

    SimProcess twins({"--count", "2", "--value", "1:MAC=02-00-00-00-00-01", "--verbose"});
    ASSERT_TRUE(twins.Ready());
    const CliRun set = Cli("set-info 02-00-00-00-00-01 NAME=x");
    EXPECT_EQ(set.Code, 3) << set.Err;
    EXPECT_NE(set.Err.find("answers with two serials: 1000"), std::string::npos) << set.Err;
    EXPECT_EQ(Count(Heard(twins), "SET:"), 0u);
}

// A device given a new main address may acknowledge from there: that is its
// acknowledgement, not silence.
TEST(CliMove, ANetworkSetAcknowledgedFromTheNewAddressIsTaken) {
    ASSERT_EQ(std::system("ip addr add 10.77.0.60/24 dev v1"), 0);
    SimProcess sim({"--count", "1", "--ack-from-new", "0"});
    ASSERT_TRUE(sim.Ready());
    const CliRun r = Cli("set-network 02-00-00-00-00-01 IPADRM=10.77.0.60 GWAY=10.77.0.1 --yes");
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, "02-00-00-00-00-01\tACK\n");
    std::system("ip addr del 10.77.0.60/24 dev v1");
}
