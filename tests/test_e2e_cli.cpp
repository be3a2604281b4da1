// tarnel-cli end to end against the simulator, in this process but for what
// main alone does; runs inside the sandbox.
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

// Seven devices from MAC ...0B: 0 acknowledges, moves when told to, and keeps
// its date to itself; 1 refuses, 2 stays silent on SETs; 3 reports only some
// keys, and 6 answers as 3 with another serial; 4 and 5 answer as 0A and 0a
// (one MAC in two letter cases), 4 with control characters in its model.
class Cli6 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim = new SimProcess({"--count", "7", "--mac-base", "02-00-00-00-00-0B", "--nak", "1", "--silent", "2",
                              "--partial", "3,6", "--ack-from-new", "0", "--no-date", "0", "--verbose", "--value",
                              "4:MAC=02-00-00-00-00-0A", "--value", "4:MODEL=a\\x09b\\x1b[2Jc\\x0ad", "--value",
                              "5:MAC=02-00-00-00-00-0a", "--value", "6:MAC=02-00-00-00-00-0E"});
    }
    static void TearDownTestSuite() { delete sim; }
    static SimProcess* sim;
};
SimProcess* Cli6::sim = nullptr;

const std::string kAck = "02-00-00-00-00-0B", kNak = "02-00-00-00-00-0C", kSilent = "02-00-00-00-00-0D",
                  kTwins = "02-00-00-00-00-0E";
}  // namespace

// Refused with its status and message, and no SET reaches a device: what the
// line gets wrong before any traffic, and devices the argument does not name
// exactly or that are in doubt.  The forms themselves are checked in
// test_cli_args, the values by the SET unit.
TEST_F(Cli6, RefusedArgumentsSendNothing) {
    std::string many = "search";
    for (int i = 1; i <= 65; ++i) many += " --target 10.99.0." + std::to_string(i);
    TempDir dir;
    WriteFile(dir.Path + "plan.csv", "MAC,NAME\n" + kTwins + ",x\n");
    struct Refusal {
        std::string Args;
        int Code;
        std::string Says;
        const char* Tz = nullptr;
    } cases[] = {
        {"frobnicate", 64, "unknown command 'frobnicate' (see tarnel-cli --help)"},
        {many, 64, "more than 64 targets"},
        {"search --interface nosuch0", 64, "needs the name of a network interface"},
        {"set-info " + kAck + " NAME=x\xFF", 3, "NAME: byte 0xFF is no text in the terminal's encoding"},
        {"set-network " + kAck + " TOUT=31", 3, "add --yes to agree"},
        {"set-date " + kAck + " now", 3, "+14:00, is outside the -12 to +13 hours a device takes", "UTC-14"},
        {"set-network " + kAck + " IPADRM=192.168.1.255 --yes", 3, "\"Main IP\" is a illegal value."},
        {"set-info 02-00-00-00-00-0a NAME=x", 3, "matches more than one device: 02-00-00-00-00-0A 02-00-00-00-00-0a"},
        {"set-info " + kTwins + " NAME=x", 3, "answers with two serials: 1000"},
        {"apply " + dir.Path + "plan.csv", 3, "row 2 (" + kTwins + "): answers with two serials"},
    };
    ASSERT_TRUE(kUtf8 && sim->Ready());
    Heard(*sim);
    for (const Refusal& c : cases) {
        ::setenv("TZ", c.Tz != nullptr ? c.Tz : "XST-9", 1);
        ::tzset();
        const CliRun r = Cli(c.Args);
        EXPECT_EQ(r.Code, c.Code) << c.Args << "\n" << r.Err;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Args << "\n" << r.Err;
        EXPECT_EQ(Count(Heard(*sim), "SET:"), 0u) << c.Args;
    }
}

// Each command once: what it reports, and what the devices then hold.
TEST_F(Cli6, SetOutcomesAndWhatTheDevicesThenHold) {
    // A device given a main address of this host's network may acknowledge
    // from there: that is its acknowledgement, not silence.
    ASSERT_EQ(std::system("ip addr add 10.77.0.60/24 dev v1"), 0);
    const CliRun moved = Cli("set-network " + kAck + " IPADRM=10.77.0.60 GWAY=10.77.0.1 --yes");
    std::system("ip addr del 10.77.0.60/24 dev v1");
    EXPECT_EQ(moved.Out, kAck + "\tACK\n") << moved.Err;
    TempDir dir;
    const std::string saved = dir.Path + "saved.dat";
    const CliRun listed = Cli("search --save " + saved);
    EXPECT_NE(listed.Out.find(kAck + "\tKLV-70\t000\t10000\t10.77.0.60\n"), std::string::npos)
        << "the device now holds what was sent";
    EXPECT_NE(listed.Out.find("02-00-00-00-00-0A\ta\\tb\\x1B[2Jc\\nd\t004\t"), std::string::npos) << listed.Out;
    EXPECT_EQ(Count(listed.Out, "\n"), 6u) << "a line a device, whatever it answers";
    EXPECT_NE(listed.Err.find(kTwins + ": answers with two serials: 1000"), std::string::npos) << listed.Err;
    EXPECT_EQ(Cli("set-network " + kNak + " IPADRM=192.168.1.51 --yes").Code, 1);
    EXPECT_EQ(Cli("set-network " + kSilent + " IPADRM=192.168.1.52 --yes").Code, 2);
    EXPECT_EQ(Cli("set-network 02-00-00-00-00-99 IPADRM=192.168.1.54 --yes").Code, 4);

    // A MAC in the other letter case names the one device that has it;
    // eleven Latin-1 characters fit in twenty however many bytes UTF-8 takes.
    std::string eleven, escaped;
    for (int i = 0; i < 11; ++i) eleven += "\xC3\xA9", escaped += "\\u00e9";
    const CliRun ok = Cli("set-info 02-00-00-00-00-0b NAME=" + eleven);
    EXPECT_EQ(ok.Code, 0) << ok.Err;
    const std::string json = Cli("search --json").Out;
    EXPECT_NE(json.find("\"MODEL\": \"a\\tb\\u001b[2Jc\\nd\""), std::string::npos) << "JSON keeps its escaping";
    EXPECT_EQ(Count(json, "\"TOUT\""), 5u) << "a key the device does not report is left out";
    EXPECT_EQ(Count(json, "\"problems\": []"), 1u) << "the moved device alone is well: " << json;
    const CliRun changed = Cli("diff " + saved + " --json");
    EXPECT_EQ(changed.Code, 1);
    EXPECT_EQ(changed.Out, "[\n  {\"MAC\": \"" + kAck + "\", \"status\": \"CHANGED\", \"changes\": {\"NAME\": "
                           "{\"old\": \"Unit 1\", \"new\": \"" + escaped + "\"}}}\n]\n");

    // set-date all: the first device found keeps its date to itself; the
    // next one that answers stands for every device.
    Heard(*sim);
    const CliRun all = Cli("set-date all 2024 3 5 9 7 -5 --interface v0");
    EXPECT_EQ(all.Out, "all\tSENT\n") << all.Err;
    EXPECT_EQ(Count(Heard(*sim), "SET:FF-FF-FF-FF-FF-FF"), 1u) << "SENT once it has left";
}

// Files, and searches that find nobody.
TEST(CliFiles, ShowDiffAndSaveWithoutAnAnswer) {
    TempDir dir;
    const std::string path = dir.Path + "one.dat";
    WriteFile(path, "\x02MAC:02-00-00-00-00-01\xFFMODEL:UNIT-A\xFFTARCID:001\xFFSERIAL:12345\xFFIPADRM:192.168.0.10\xFF\x03");
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
    EXPECT_EQ(Cli("show " + path).Out, "02-00-00-00-00-01\tUNIT-A\t001\t12345\t192.168.0.10\n");
    EXPECT_EQ(Cli("search --quick --save " + dir.Path + "fresh.dat").Code, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path + "fresh.dat"));
    const CliRun nowhere = Cli("--json search --quick --save " + dir.Path + "no/such.dat");
    EXPECT_EQ(nowhere.Code, 5);
    EXPECT_EQ(nowhere.Out.rfind("{\"error\": \"cannot save ", 0), 0u) << nowhere.Out;
}
