// tarnel-cli end to end against the simulator, in this process but for what
// main alone does; runs inside the sandbox.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "CliRun.h"
#include "Frames.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
// Arguments and device texts are read and written in UTF-8 here.
const bool kUtf8 = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;

std::string Heard(const SimProcess& sim) { return sim.Heard(100); }

// An environment variable set, or unset with nullptr, until the end of a
// scope; TZ is taken at once.
struct EnvVar {
    EnvVar(const char* name, const char* value) : Name(name), Had(std::getenv(name) != nullptr) {
        if (Had) Old = std::getenv(name);
        Set(value);
    }
    ~EnvVar() { Set(Had ? Old.c_str() : nullptr); }
    void Set(const char* value) const {
        if (value != nullptr) ::setenv(Name.c_str(), value, 1);
        else ::unsetenv(Name.c_str());
        ::tzset();
    }
    std::string Name, Old;
    bool Had;
};

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
}  // namespace

// Refused with its status and message, and no SET reaches a device: what the
// line gets wrong before any traffic, and devices the argument does not name
// exactly or that do not report the key.
TEST_F(Cli6, RefusedArgumentsSendNothing) {
    std::string many = "search";
    for (int i = 1; i <= 65; ++i) many += " --target 10.99.0." + std::to_string(i);
    struct Refusal {
        std::string Args;
        int Code;
        std::string Says;
        const char* Tz = nullptr;
    } cases[] = {
        {"set-network all TOUT=31 --yes", 64, "all is for set-date only"},
        {"set-date FF-FF-FF-FF-FF-FF 2024 1 1 1 1 9", 64, "is every device"},
        {"set-date " + kAck + " now 1", 64, "usage: tarnel-cli set-date"},
        {"frobnicate", 64, "unknown command 'frobnicate' (see tarnel-cli --help)"},
        {"search --target 127.0.0.1", 64, "a loopback address reaches no device"},
        {"search --target 224.0.0.1", 64, "a multicast address reaches no device"},
        {many, 64, "more than 64 targets"},
        {"search --interface nosuch0", 64, "needs the name of a network interface"},
        {"set-info " + kAck + " NAME=", 3, "an empty value cannot be sent"},
        {"set-info " + kAck + " NAME=x\xFF", 3, "NAME: byte 0xFF is no text in the terminal's encoding"},
        {"set-network " + kAck + " TOUT=31", 3, "add --yes to agree"},
        {"set-date " + kAck + " now", 3, "+14:00, is outside the -12 to +13 hours a device takes", "UTC-14"},
        {"set-date all now", 3, "+5:30, is not whole hours; give the date explicitly", "IST-5:30"},
        {"set-network " + kPartial + " GWAY=192.168.1.1 TOUT=31 --yes", 3, "The device does not report GWAY."},
        {"set-network " + kAck + " IPADRM=192.168.1.255 --yes", 3, "\"Main IP\" is a illegal value."},
        {"set-info 02-00-00-00-00-0a NAME=x", 3, "matches more than one device: 02-00-00-00-00-0A 02-00-00-00-00-0a"},
    };
    ASSERT_TRUE(kUtf8 && sim->Ready());
    Heard(*sim);
    for (const Refusal& c : cases) {
        const EnvVar zone("TZ", c.Tz);
        const CliRun r = Cli(c.Args);
        EXPECT_EQ(r.Code, c.Code) << c.Args << "\n" << r.Err;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Args << "\n" << r.Err;
        EXPECT_EQ(Count(Heard(*sim), "SET:"), 0u) << c.Args;
    }
    EXPECT_EQ(Cli("--json frobnicate").Out,
              "{\"error\": \"unknown command 'frobnicate' (see tarnel-cli --help)\", \"exit\": 64}\n");
}

TEST_F(Cli6, SetOutcomesAndWhatTheDevicesThenHold) {
    Heard(*sim);
    EXPECT_EQ(Cli("set-network " + kAck + " GWAY=192.168.1.1 IPADRM=192.168.1.50 --yes").Code, 0);
    EXPECT_GE(Count(Heard(*sim), "SET:" + kAck), 1u);
    const CliRun listed = Cli("search");
    EXPECT_NE(listed.Out.find(kAck + "\tKLV-70\t000\t10000\t192.168.1.50\n"), std::string::npos)
        << "the device now holds what was sent";
    EXPECT_NE(listed.Out.find("02-00-00-00-00-0A\ta\\tb\\x1B[2Jc\\nd\t004\t"), std::string::npos) << listed.Out;
    EXPECT_EQ(Count(listed.Out, "\n"), 6u) << "a line a device, whatever it answers";
    EXPECT_EQ(Cli("set-network " + kPartial + " IPADRM=192.168.1.13 --yes").Code, 0) << "it reports no gateway";
    EXPECT_EQ(Cli("set-network " + kNak + " IPADRM=192.168.1.51 --yes").Code, 1);
    EXPECT_EQ(Cli("set-network " + kSilent + " IPADRM=192.168.1.52 --yes").Code, 2);
    EXPECT_EQ(Cli("set-network 02-00-00-00-00-99 IPADRM=192.168.1.54 --yes").Code, 4);

    // A MAC in the other letter case names the one device that has it;
    // eleven Latin-1 characters fit in twenty however many bytes UTF-8 takes.
    std::string eleven, escaped;
    for (int i = 0; i < 11; ++i) eleven += "\xC3\xA9", escaped += "\\u00e9";
    const CliRun ok = Cli("set-info 02-00-00-00-00-0b NAME=" + eleven + " UNIQ=12 --json");
    EXPECT_EQ(ok.Code, 0) << ok.Err;
    EXPECT_NE(ok.Out.find("\"result\": \"ACK\""), std::string::npos) << ok.Out;
    const std::string json = Cli("search --json").Out;
    EXPECT_NE(json.find("\"NAME\": \"" + escaped + "\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"MODEL\": \"a\\tb\\u001b[2Jc\\nd\""), std::string::npos) << "JSON keeps its escaping";
    EXPECT_EQ(Count(json, "\"TOUT\""), 5u) << "a key the device does not report is left out";
    const EnvVar zone("TZ", "XST-9");
    EXPECT_EQ(Cli("set-date " + kAck + " now").Code, 0);
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
    EXPECT_EQ(Cli("set-date all 2024 3 5 9 7 -5").Out, "all\tSENT\n");
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
    EXPECT_NE(Cli("search --json").Out.find("Address already in use\", \"exit\": 5}"), std::string::npos);
    ::close(holder);
}

// Files, and searches that find nobody.
TEST(CliFiles, ShowDiffAndSaveWithoutAnAnswer) {
    TempDir dir;
    const std::string path = dir.Path + "one.dat";
    WriteFile(path, "\x02MAC:02-00-00-00-00-01\xFFMODEL:UNIT-A\xFFTARCID:001\xFFSERIAL:12345\xFFIPADRM:192.168.0.10\xFF\x03");
    const std::string listed = "02-00-00-00-00-01\tUNIT-A\t001\t12345\t192.168.0.10\n";
    // show only reads: it makes no program directories.
    {
        const EnvVar home("HOME", (dir.Path + "home").c_str()), data("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(Cli("show " + path).Out, listed);
        EXPECT_FALSE(std::filesystem::exists(dir.Path + "home")) << "show made directories";
    }
    EXPECT_EQ(Cli("--json show " + dir.Path + "missing.dat").Out.rfind("{\"error\": \"cannot read ", 0), 0u);

    // Output that cannot be written or flushed is a failure: main's to tell.
    const std::string show = std::string(TARNEL_CLI) + " show " + path + " 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system((show + " >/dev/full").c_str())), 5);
    EXPECT_EQ(WEXITSTATUS(std::system((show + " >&-").c_str())), 5);

    // diff compares every device of both files, not the 256 a list holds.
    std::string many;
    for (int i = 0; i < 300; ++i) many += "\x02MAC:" + MacOf(i) + "\xFF\x03";
    WriteFile(dir.Path + "many.dat", many);
    WriteFile(dir.Path + "many2.dat", many.insert(many.find(MacOf(280)) + 17, "\xFFNAME:x"));
    EXPECT_NE(Cli("show " + dir.Path + "many.dat").Err.find(" holds more devices than a list can hold; devices left out: 44\n"),
              std::string::npos);
    const CliRun d = Cli("diff " + dir.Path + "many.dat " + dir.Path + "many2.dat");
    EXPECT_EQ(d.Code, 1) << d.Err;
    EXPECT_EQ(d.Out, "CHANGED\t02-00-00-00-01-18\tNAME\t -> x\n");

    // A search that found nobody keeps the file saved before and says so; a
    // new file is still written; under --json a save that fails is an error.
    // A target the broadcasts reach already is left out, with a note.
    const CliRun kept = Cli("search --quick --target 10.77.0.255 --save " + path);
    EXPECT_EQ(kept.Code, 4);
    EXPECT_EQ(kept.Err, "tarnel-cli: target 10.77.0.255 left out: it is on a network this computer broadcasts on "
                        "already (it would get every frame twice)\ntarnel-cli: no device answered; " + path +
                            " was left as it was\n");
    EXPECT_EQ(Cli("show " + path).Out, listed);
    EXPECT_EQ(Cli("search --quick --save " + dir.Path + "fresh.dat").Code, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path + "fresh.dat"));
    const CliRun nowhere = Cli("--json search --quick --save " + dir.Path + "no/such.dat");
    EXPECT_EQ(nowhere.Code, 5);
    EXPECT_EQ(nowhere.Out.rfind("{\"error\": \"cannot save ", 0), 0u) << nowhere.Out;
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
        WriteFile(dir.Path + "plan.csv", "MAC,NAME\n02-00-00-00-00-01,x\n");
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

// Five devices in the sandbox's subnet 10.77.0.0/24 or not: 0 is well, 1 and 2
// share an address, 3 keeps the simulator's 192.168.1.13, 4 has a gateway
// outside its subnet.
TEST(CliConflicts, EachIsListedWithItsDeviceAndTheListIsSavedAndCompared) {
    SimProcess sim({"--count", "5", "--value", "0:IPADRM=10.77.0.40", "--value", "0:GWAY=10.77.0.1", "--value",
                    "1:IPADRM=10.77.0.50", "--value", "1:GWAY=10.77.0.1", "--value", "2:IPADRM=10.77.0.50", "--value",
                    "2:GWAY=10.77.0.1", "--value", "4:IPADRM=10.77.0.70", "--value", "4:GWAY=10.78.0.1"});
    ASSERT_TRUE(sim.Ready());
    TempDir dir;
    const std::string saved = dir.Path + "saved.dat", before = dir.Path + "before.dat";
    const CliRun found = Cli("search --save " + saved);
    EXPECT_EQ(found.Code, 0);
    EXPECT_EQ(found.Err, "02-00-00-00-00-02: main address 10.77.0.50 is also used by 02-00-00-00-00-03\n"
                         "02-00-00-00-00-03: main address 10.77.0.50 is also used by 02-00-00-00-00-02\n"
                         "02-00-00-00-00-04: main address 192.168.1.13 is in none of this computer's subnets (only a "
                         "router reaches it)\n"
                         "02-00-00-00-00-05: gateway 10.78.0.1 is not in its own subnet (mask 255.255.255.0)\n");
    const std::string json = Cli("search --json").Out;
    EXPECT_NE(json.find("\"problems\": [\"gateway 10.78.0.1 is not in its own subnet"), std::string::npos) << json;
    EXPECT_EQ(Count(json, "\"problems\": []"), 1u) << json;
    EXPECT_EQ(Count(ReadFile(saved), "\x02MAC:"), 5u);
    EXPECT_EQ(Cli("diff " + saved).Code, 0) << "the network as saved";
    EXPECT_EQ(Cli("diff " + saved + " " + saved + " --json").Out, "[]\n");

    // A device of the file no longer answers, one answers that the file lacks.
    const std::string bytes = ReadFile(saved);
    WriteFile(before, bytes.substr(bytes.find("\x02MAC:02-00-00-00-00-02")) +
                          "\x02MAC:02-00-00-00-00-99\xFFMODEL:KLV-70\xFFTARCID:9\xFFSERIAL:9\xFF\x03");
    const CliRun gone = Cli("diff " + before + " " + saved);
    EXPECT_EQ(gone.Code, 1);
    EXPECT_EQ(gone.Out, "GONE\t02-00-00-00-00-99\nNEW\t02-00-00-00-00-01\n");

    ASSERT_EQ(Cli("set-info 02-00-00-00-00-01 NAME=Moved").Code, 0);
    const CliRun changed = Cli("diff " + saved + " --json");
    EXPECT_EQ(changed.Code, 1);
    EXPECT_EQ(changed.Out, "[\n  {\"MAC\": \"02-00-00-00-00-01\", \"status\": \"CHANGED\", \"changes\": {\"NAME\": "
                           "{\"old\": \"Unit 1\", \"new\": \"Moved\"}}}\n]\n");
    EXPECT_EQ(Cli("diff " + dir.Path + "missing.dat " + saved).Code, 5);
}
