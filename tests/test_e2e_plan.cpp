// plan and apply against the simulator; runs inside the sandbox.
#include <gtest/gtest.h>

#include <clocale>
#include <nlohmann/json.hpp>
#include <set>

#include "CliRun.h"
#include "cli/Plancmds.h"
#include "files/Plancsv.h"
#include "Frames.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
// What the simulator heard since the last call: one line a datagram.
std::string Heard(const SimProcess& sim) { return sim.Heard(100); }

// Device i of a simulator run.
std::string Mac(int i) { return MacOf(i + 1); }

CliRun Plan(const PlanArgs& args = {}, bool terminal = false) {
    std::ostringstream out, err;
    Options options;
    options.OutTerminal = terminal;
    const int code = RunPlan(args, options, out, err);
    return {code, out.str(), err.str()};
}

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

// The cells of a plan's column, in row order.
std::vector<std::string> Column(const std::string& csv, const std::string& name) {
    std::string error;
    const auto records = ParseCsv(csv, error);
    std::vector<std::string> cells;
    if (!records || records->empty()) return cells;
    const auto& header = records->front();
    const size_t at = static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    for (size_t i = 1; i < records->size(); ++i) cells.push_back(at < (*records)[i].size() ? (*records)[i][at] : "?");
    return cells;
}

}  // namespace

TEST(PlanE2E, UnchangedPlanSendsNothingAndProposalSkipsUsedAddresses) {
    SimProcess sim({"--count", "6", "--partial", "5", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const CliRun plan = Plan();
    ASSERT_EQ(plan.Code, 0) << plan.Err;
    EXPECT_EQ(Column(plan.Out, "IPADRM"), (std::vector<std::string>{"192.168.1.10", "192.168.1.11", "192.168.1.12",
                                                                     "192.168.1.13", "192.168.1.14", "192.168.1.15"}));
    EXPECT_EQ(Column(plan.Out, "GWAY")[5], "") << "the partial device has no gateway";
    Heard(sim);
    const CliRun again = Apply{"--yes"}(plan.Out);
    EXPECT_EQ(again.Code, 0) << again.Err;
    EXPECT_EQ(Count(again.Out, "\tUNCHANGED\n"), 6u) << again.Out;
    EXPECT_EQ(SetTargets(Heard(sim)).size(), 0u);

    const CliRun proposal = Plan({"192.168.1.8", "255.255.255.0", "192.168.1.1"});
    ASSERT_EQ(proposal.Code, 0) << proposal.Err;
    EXPECT_EQ(Column(proposal.Out, "IPADRM"), (std::vector<std::string>{"192.168.1.8", "192.168.1.9", "192.168.1.16",
                                                                         "192.168.1.17", "192.168.1.18", "192.168.1.19"}));
    EXPECT_EQ(Plan({"192.168.1.8", "", ""}).Code, 64);
}

TEST(PlanE2E, RefusedPlansListEveryProblemAndSendNothing) {
    // Device 2 reports texts so long that they come in answers of their own.
    SimProcess sim({"--count", "4", "--partial", "3", "--value", "3:SERIAL=10002", "--value",
                    "2:NAME=" + std::string(240, 'n'), "--value", "2:LOC=" + std::string(240, 'l'), "--verbose"});
    ASSERT_TRUE(sim.Ready());
    struct Case {
        std::string Csv;
        std::vector<std::string> Problems;
        std::string Flags = "--yes";
    } cases[] = {
        {"MAC,IPADRM,TOUT,FOO\n" + Mac(0) + ",192.168.1.12,30,\n" + Mac(1) + ",192.168.1.50,x,\n" + Mac(3) +
             ",192.168.1.51,30,\n",
         {"row 1: unknown column \"FOO\"",
          "row 2 (" + Mac(0) + "): IPADRM 192.168.1.12 is the main address of " + Mac(2),
          "row 3 (" + Mac(1) + "): \"Time Out\" is a illegal value.",
          "row 4 (" + Mac(3) + "): The device does not report TOUT."}},
        {"SERIAL,NAME\n10002,a\n10000,b\n10009,c\n",
         {"row 2: serial 10002 is shared by 2 devices", "row 4: no device with SERIAL 10009 answered"}},
        {"MAC,F\x1B[2JO\n" + Mac(0) + ",x\n", {"row 1: unknown column \"F\\x1B[2JO\""}},
        // The information SET would carry the device's long texts too: more than a frame holds.
        {"MAC,CONT\n" + Mac(2) + ",x\n", {"row 2 (" + Mac(2) + "): the SET would take 529 bytes, more than one frame"}},
        {"MAC,CONT\n" + Mac(2) + ",x\n", {"row 2 (" + Mac(2) + "): the SET would take 529 bytes"}, "--dry-run"},
    };
    Heard(sim);
    for (const Case& c : cases) {
        const CliRun r = Apply{c.Flags}(c.Csv);
        EXPECT_EQ(r.Code, 3) << c.Csv;
        for (const std::string& p : c.Problems) EXPECT_NE(r.Err.find(p), std::string::npos) << p << "\n" << r.Err;
        EXPECT_NE(r.Err.find("nothing was sent"), std::string::npos);
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

    struct Case {
        Consent Answer;
        int Code;
    } cases[] = {{Consent::NoTerminal, 3}, {Consent::No, 3}};
    for (const Case& c : cases) {
        Apply apply;
        int asked = 0;
        apply.Ask = [&](int rebooting) {
            ++asked;
            EXPECT_EQ(rebooting, 1);
            return c.Answer;
        };
        EXPECT_EQ(apply(csv).Code, c.Code);
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

// Device 0 takes its information and refuses its network settings: it has
// changed all the same, that part is checked, and the next device still goes.
TEST(PlanE2E, ADeviceThatTookOnlyItsInformationSaysSo) {
    SimProcess sim({"--count", "2", "--nak-network", "0", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const std::string csv = "MAC,IPADRM,NAME\n" + Mac(0) + ",192.168.1.60,New\n" + Mac(1) + ",192.168.1.61,\n";
    const CliRun r = Apply{"--yes"}(csv);
    EXPECT_EQ(r.Code, 1) << r.Err;
    EXPECT_EQ(r.Out, Mac(0) + "\t10000\tNAK\tinformation VERIFIED\n" + Mac(1) +
                         "\t10001\tVERIFIED\n2 devices: 1 NAK, 1 VERIFIED\n");
    const auto doc =
        nlohmann::json::parse(Apply{"--yes --json --no-verify"}("MAC,IPADRM,NAME\n" + Mac(0) + ",192.168.1.60,Newer\n").Out);
    EXPECT_EQ(doc["devices"][0]["information"], "ACK") << doc;
    EXPECT_EQ(doc["devices"][0]["result"], "NAK");
}

// Forty devices: 5 refuses, 17 stays silent, 30 acknowledges but keeps its values.
TEST(PlanE2E, FortyDevicesThenTheSamePlanAgain) {
    SimProcess sim({"--count", "40", "--nak", "5", "--silent", "17", "--keep", "30", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const CliRun plan = Plan({"192.168.1.100", "255.255.255.0", "192.168.1.1"});
    ASSERT_EQ(plan.Code, 0) << plan.Err;
    Heard(sim);
    const CliRun first = Apply{"--yes"}(plan.Out);
    EXPECT_EQ(first.Code, 2) << first.Err;
    EXPECT_NE(first.Out.find(Mac(5) + "\t10005\tNAK\n"), std::string::npos) << first.Out;
    EXPECT_NE(first.Out.find(Mac(17) + "\t10017\tSILENT\n"), std::string::npos);
    EXPECT_NE(first.Out.find(Mac(30) + "\t10030\tMISMATCH\tIPADRM\n"), std::string::npos);
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

// Device 0 is to take the address device 1 leaves; device 1 refuses, so it
// still holds it: device 0 is not set, and says why.  The dry run shows the
// order.
TEST(PlanE2E, AnAddressIsTakenOnlyOnceItsHolderHasLeftIt) {
    SimProcess sim({"--count", "3", "--nak", "1", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    const std::string csv = "MAC,IPADRM\n" + Mac(0) + ",192.168.1.11\n" + Mac(1) + ",192.168.1.80\n";
    const CliRun dry = Apply{"--dry-run"}(csv);
    EXPECT_EQ(dry.Code, 0) << dry.Err;
    EXPECT_NE(dry.Out.find(Mac(0) + "\t10000\tafter " + Mac(1) + " leaves 192.168.1.11\n"), std::string::npos)
        << dry.Out;
    Heard(sim);
    const CliRun r = Apply{"--yes"}(csv);
    EXPECT_EQ(r.Code, 2) << r.Err;
    EXPECT_EQ(r.Out, Mac(0) + "\t10000\tBLOCKED\t192.168.1.11 still held by " + Mac(1) + "\n" + Mac(1) +
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

    const CliRun bad = Plan({"192.168.1.\x01", "255.255.255.0", ""});
    EXPECT_EQ(bad.Code, 3);
    EXPECT_NE(bad.Err.find("IPADRM holds a character that cannot be sent (0x01)."), std::string::npos) << bad.Err;
    EXPECT_EQ(Count(Heard(sim), "ENQ:"), 0u) << "refused before the search";

    // On a terminal a device's control characters are escaped, as in the lists.
    const CliRun shown = Plan({}, true);
    EXPECT_NE(shown.Out.find("a\\x1B[2Jb"), std::string::npos) << shown.Out;
    EXPECT_EQ(shown.Out.find('\x1b'), std::string::npos);
}
