// plan and apply against the simulator; runs inside the sandbox.
#include <gtest/gtest.h>

#include <clocale>
#include <nlohmann/json.hpp>
#include <set>

#include "CliRun.h"
#include "cli/Plancmds.h"
#include "Frames.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
// What the simulator heard since the last call: one line a datagram.
std::string Heard(const SimProcess& sim) { return sim.Heard(100); }

// Device i of a simulator run.
std::string Mac(int i) { return MacOf(i + 1); }

struct Apply {
    std::string Flags;  // any of --dry-run --yes --json --no-verify
    std::function<Consent(int)> Ask = [](int) { return Consent::NoTerminal; };
    std::function<bool()> Interrupted = [] { return false; };

    CliRun operator()(const std::string& csv) const {
        TempDir dir;
        WriteFile(dir.Path + "plan.csv", csv);
        ApplyArgs args;
        args.Path = dir.Path + "plan.csv";
        args.DryRun = Flags.find("--dry-run") != std::string::npos;
        args.NoVerify = Flags.find("--no-verify") != std::string::npos;
        Options options;
        options.Yes = Flags.find("--yes") != std::string::npos;
        options.Json = Flags.find("--json") != std::string::npos;
        std::ostringstream out, err;
        const int code = RunApply(args, options, out, err, Ask, Interrupted);
        return {code, out.str(), err.str()};
    }
};
}  // namespace

// Every problem is listed and nothing is sent (plans are checked in full in
// test_plan): device 2 reports texts so long that they come in answers of
// their own, and its information SET would carry them too.
TEST(PlanE2E, RefusedPlansListEveryProblemAndSendNothing) {
    SimProcess sim({"--count", "3", "--value", "2:NAME=" + std::string(240, 'n'), "--value",
                    "2:LOC=" + std::string(240, 'l'), "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const std::string csv = "MAC,F\x1B[2JO,CONT\n" + Mac(2) + ",,x\n";
    Heard(sim);
    for (const char* flags : {"--yes", "--dry-run"}) {
        const CliRun r = Apply{flags}(csv);
        EXPECT_EQ(r.Code, 3) << flags;
        EXPECT_EQ(r.Err, "tarnel-cli: row 1: unknown column \"F\\x1B[2JO\"\ntarnel-cli: row 2 (" + Mac(2) +
                             "): the SET would take 529 bytes, more than one frame carries (510): the texts the device "
                             "reports go with it\ntarnel-cli: the plan is refused; nothing was sent\n");
    }
    // A plan saved in another encoding than UTF-8 still gets its JSON report.
    const CliRun json = Apply{"--yes --json"}("MAC,Caf\xE9\n" + Mac(0) + ",x\n");
    EXPECT_EQ(json.Code, 3) << json.Err;
    EXPECT_EQ(nlohmann::json::parse(json.Out)["problems"][0]["message"], "unknown column \"Caf\xEF\xBF\xBD\"")
        << json.Out;
    EXPECT_EQ(SetTargets(Heard(sim)).size(), 0u);
}

// Device 2 acknowledges a SET and is heard no more.
TEST(PlanE2E, DryRunShowsEachChangeAndAQuestionGuardsTheReboot) {
    SimProcess sim({"--count", "3", "--vanish", "2", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const std::string csv = "MAC,SERIAL,IPADRM,NAME\n" + Mac(0) + ",10000,192.168.1.60,Unit 1\n" + Mac(1) +
                            ",10001,,Caf\xC3\xA9\n" + Mac(2) + ",10002,192.168.1.12,\n";
    // Device texts go out in the terminal's encoding.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const CliRun dry = Apply{"--dry-run"}(csv);
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(dry.Code, 0) << dry.Err;
    EXPECT_EQ(dry.Out, Mac(0) + "\t10000\tIPADRM: 192.168.1.10 -> 192.168.1.60\n" + Mac(1) +
                           "\t10001\tNAME: Unit 2 -> Caf\xC3\xA9\n" + Mac(2) + "\t10002\tunchanged\n");

    for (const Consent answer : {Consent::NoTerminal, Consent::No}) {
        Apply apply;
        int asked = 0;
        apply.Ask = [&](int rebooting) {
            ++asked;
            EXPECT_EQ(rebooting, 1);
            return answer;
        };
        EXPECT_EQ(apply(csv).Code, 3);
        EXPECT_EQ(asked, 1);
    }
    EXPECT_EQ(SetTargets(Heard(sim)).size(), 0u);

    // Information alone does not reboot the device: nobody is asked.
    Apply infoOnly;
    infoOnly.Ask = [](int) -> Consent { ADD_FAILURE() << "asked"; return Consent::No; };
    const CliRun info = infoOnly("MAC,NAME\n" + Mac(1) + ",Caf\xC3\xA9\n");
    EXPECT_EQ(info.Code, 0) << info.Err;
    EXPECT_EQ(info.Out, Mac(1) + "\t10001\tVERIFIED\n1 device: 1 VERIFIED\n");
    // Nothing shows that the device took it: that is no success.
    const CliRun gone = infoOnly("MAC,NAME\n" + Mac(2) + ",Gone\n");
    EXPECT_EQ(gone.Code, 2) << gone.Err;
    EXPECT_EQ(gone.Out, Mac(2) + "\t10002\tNOT_VERIFIED\n1 device: 1 NOT_VERIFIED\n");
}

// Forty devices: 5 refuses, 17 stays silent, 30 acknowledges but keeps its
// values, 39 reports only some keys.  The plan of what they hold changes
// nothing; a new plan, then the same plan again.
TEST(PlanE2E, FortyDevicesThenTheSamePlanAgain) {
    SimProcess sim({"--count", "40", "--nak", "5", "--silent", "17", "--keep", "30", "--partial", "39", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const CliRun unchanged = Apply{"--yes"}(Cli("plan").Out);
    EXPECT_EQ(unchanged.Code, 0) << unchanged.Err;
    EXPECT_EQ(Count(unchanged.Out, "\tUNCHANGED\n"), 40u) << unchanged.Out;
    EXPECT_EQ(Cli("plan --first-address 192.168.1.8").Code, 64);
    const CliRun plan = Cli("plan --first-address 192.168.1.100 --mask 255.255.255.0 --gateway 192.168.1.1");
    ASSERT_EQ(plan.Code, 0) << plan.Err;
    Heard(sim);
    const CliRun first = Apply{"--yes"}(plan.Out);
    EXPECT_EQ(first.Code, 2) << first.Err;
    EXPECT_NE(first.Out.find(Mac(30) + "\t10030\tMISMATCH\tIPADRM\n"), std::string::npos) << first.Out;
    EXPECT_NE(first.Out.find("40 devices: 1 MISMATCH, 1 NAK, 1 SILENT, 37 VERIFIED\n"), std::string::npos);
    EXPECT_EQ(SetTargets(Heard(sim)).size(), 40u);

    const CliRun second = Apply{"--yes --json"}(plan.Out);
    EXPECT_EQ(second.Code, 2);
    const auto doc = nlohmann::json::parse(second.Out);
    std::map<std::string, int> results;
    for (const auto& d : doc["devices"]) ++results[d["result"].get<std::string>()];
    EXPECT_EQ(results, (std::map<std::string, int>{{"MISMATCH", 1}, {"NAK", 1}, {"SILENT", 1}, {"UNCHANGED", 37}}));
    EXPECT_EQ(doc["devices"][30]["changes"][0],
              (nlohmann::json{{"key", "IPADRM"}, {"old", "192.168.1.40"}, {"new", "192.168.1.130"}}));
    EXPECT_EQ(doc["exit"], 2);
    EXPECT_EQ(SetTargets(Heard(sim)), (std::set<std::string>{Mac(5), Mac(17), Mac(30)}))
        << "only the three that did not take the plan";
}

// Devices 0 and 1 take information and refuse network settings.  Device 0
// has changed all the same, that part is checked, and the next device still
// goes.  Device 2 is to take the address device 1 leaves, which it still holds:
// device 2 is not set, and says why; the dry run shows the order.
TEST(PlanE2E, PartlyTakenPlansAndAnAddressTakenOnlyOnceItsHolderHasLeftIt) {
    SimProcess sim({"--count", "3", "--nak-network", "0,1", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const CliRun r = Apply{"--yes"}("MAC,IPADRM,NAME\n" + Mac(0) + ",192.168.1.60,New\n" + Mac(2) + ",192.168.1.61,\n");
    EXPECT_EQ(r.Code, 1) << r.Err;
    EXPECT_EQ(r.Out, Mac(0) + "\t10000\tNAK\tinformation VERIFIED\n" + Mac(2) +
                         "\t10002\tVERIFIED\n2 devices: 1 NAK, 1 VERIFIED\n");
    const auto doc =
        nlohmann::json::parse(Apply{"--yes --json --no-verify"}("MAC,IPADRM,NAME\n" + Mac(0) + ",192.168.1.60,Newer\n").Out);
    EXPECT_EQ(doc["devices"][0]["information"], "ACK") << doc;
    EXPECT_EQ(doc["devices"][0]["result"], "NAK");

    const std::string csv = "MAC,IPADRM\n" + Mac(2) + ",192.168.1.11\n" + Mac(1) + ",192.168.1.80\n";
    EXPECT_NE(Apply{"--dry-run"}(csv).Out.find(Mac(2) + "\t10002\tafter " + Mac(1) + " leaves 192.168.1.11\n"),
              std::string::npos);
    Heard(sim);
    const CliRun held = Apply{"--yes"}(csv);
    EXPECT_EQ(held.Code, 2) << held.Err;
    EXPECT_EQ(held.Out, Mac(2) + "\t10002\tBLOCKED\t192.168.1.11 still held by " + Mac(1) + "\n" + Mac(1) +
                            "\t10001\tNAK\n2 devices: 1 BLOCKED, 1 NAK\n");
    EXPECT_EQ(SetTargets(Heard(sim)), std::set<std::string>{Mac(1)});
}

// Ctrl-C between devices: the rest is not sent; during the last device: no
// check search; at the question: nothing sent; 130 each time.  A bad first
// address is refused before any traffic, in words.
TEST(PlanE2E, InterruptedAtEachStepAndOptionsCheckedFirst) {
    SimProcess sim({"--count", "3", "--verbose", "--keep", "1", "--value", "1:NAME=a\\x1b[2Jb"});
    ASSERT_TRUE(sim.Ready());
    Apply apply{"--yes"};
    int asked = 0;
    apply.Interrupted = [&] { return ++asked > 1; };
    Heard(sim);
    const CliRun between = apply("MAC,IPADRM\n" + Mac(0) + ",192.168.1.70\n" + Mac(2) + ",192.168.1.72\n");
    EXPECT_EQ(between.Code, EXIT_INTERRUPTED);
    EXPECT_EQ(between.Out, Mac(0) + "\t10000\tACK\n" + Mac(2) + "\t10002\tNOT_SENT\n2 devices: 1 ACK, 1 NOT_SENT\n");
    EXPECT_NE(between.Err.find("interrupted"), std::string::npos);
    EXPECT_EQ(SetTargets(Heard(sim)), std::set<std::string>{Mac(0)});
    asked = 0;
    const CliRun r = apply("MAC,NAME\n" + Mac(0) + ",Late\n");
    EXPECT_EQ(r.Code, EXIT_INTERRUPTED);
    EXPECT_EQ(r.Out, Mac(0) + "\t10000\tACK\n1 device: 1 ACK\n");

    // Device 1 keeps its values, so the check search would go on: Ctrl-C ends it.
    Apply checking{"--yes"};
    int calls = 0;
    checking.Interrupted = [&] { return ++calls > 2; };
    const CliRun c = checking("MAC,NAME\n" + Mac(1) + ",Later\n");
    EXPECT_EQ(c.Code, EXIT_INTERRUPTED);
    EXPECT_EQ(c.Out, Mac(1) + "\t10001\tMISMATCH\tNAME\n1 device: 1 MISMATCH\n");

    Heard(sim);
    Apply question;
    question.Ask = [](int) { return Consent::Interrupted; };
    EXPECT_EQ(question("MAC,IPADRM\n" + Mac(1) + ",192.168.1.90\n").Code, EXIT_INTERRUPTED);
    EXPECT_EQ(SetTargets(Heard(sim)).size(), 0u);

    const CliRun bad = Cli({"plan", "--first-address", "192.168.1.\x01", "--mask", "255.255.255.0"});
    EXPECT_EQ(bad.Code, 3);
    EXPECT_NE(bad.Err.find("IPADRM holds a character that cannot be sent (0x01)."), std::string::npos) << bad.Err;
    EXPECT_EQ(Count(Heard(sim), "ENQ:"), 0u) << "refused before the search";

    // On a terminal a device's control characters are escaped, as in the lists.
    std::ostringstream shown, err;
    RunCli({"plan"}, shown, err, false, true);
    EXPECT_NE(shown.str().find("a\\x1B[2Jb"), std::string::npos) << shown.str();
    EXPECT_EQ(shown.str().find('\x1b'), std::string::npos);
}
