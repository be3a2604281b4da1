// Plans without a network: the address proposal and the checks of a whole plan.
#include <gtest/gtest.h>

#include "Frames.h"
#include "plan/Plancheck.h"
#include "files/Plancsv.h"
#include "plan/Proposal.h"
#include "link/Table.h"
#include "rules/Strings.h"

namespace {
const std::vector<std::string> kFull = {"MODEL:KLV-70", "TARCID:001",   "IPADRB:10.0.0.200", "GPID:1",
                                        "TERM:5000",    "LOG:5001",     "GWAY:10.0.0.1",     "MASK:255.255.255.0",
                                        "OPTIP:10.0.0.2", "OPTIP2:10.0.0.3", "OPTIP3:10.0.0.4", "OPT1:0",
                                        "OPT2:0",       "OPT3:0",       "TOUT:30",           "TRAP1:10.0.0.5",
                                        "TRAP2:10.0.0.6", "CONT:admin", "NAME:Unit",         "LOC:Rack 1",
                                        "UNIQ:7"};
const std::vector<std::string> kPartial = {"MASK:255.255.255.0", "NAME:Unit"};

struct Dev {
    int Index;
    std::string Serial, Address;  // no address: none reported
    bool Partial = false;
    std::vector<std::string> Later = {};  // answers of one item each, after the first
};

std::vector<TDeviceRec> Found(const std::vector<Dev>& devices) {
    TmTable table;
    for (const Dev& d : devices) {
        std::vector<std::string> items = d.Partial ? kPartial : kFull;
        items.push_back("SERIAL:" + d.Serial);
        if (!d.Address.empty()) items.push_back("IPADRM:" + d.Address);
        Take(table, Answer(MacOf(d.Index), items));
        for (const std::string& item : d.Later) Take(table, Answer(MacOf(d.Index), {item}));
    }
    return table.Rows();
}

// Devices 1 and 2 complete, 3 and 4 partial and sharing a serial; 5 reports
// long texts, in answers of their own; 0xAB reports no main address.
const std::vector<TDeviceRec> kFound = Found({{1, "100", "10.0.0.10"},
                                               {2, "101", "10.0.0.11"},
                                               {3, "200", "10.0.0.12", true},
                                               {4, "200", "10.0.0.13", true},
                                               {5, "300", "10.0.0.14", false,
                                                {"NAME:" + std::string(240, 'n'), "LOC:" + std::string(240, 'l')}},
                                               {0xAB, "400", "", true}});

CheckedPlan Check(const std::string& csv) {
    std::string error;
    const auto records = ParseCsv(csv, error);
    EXPECT_TRUE(records) << error;
    return CheckPlan(records.value_or(std::vector<std::vector<std::string>>{}), kFound);
}

std::vector<std::string> Lines(const CheckedPlan& p) {
    std::vector<std::string> out;
    for (const PlanProblem& x : p.Problems) out.push_back(std::to_string(x.Row) + " " + x.Mac + " " + x.Text);
    return out;
}

std::string Addresses(const std::vector<TDeviceRec>& rows) {
    std::string out;
    for (const TDeviceRec& r : rows) out += PlanCell(r, KEY_IPADRM) + " ";
    return out;
}
}  // namespace

TEST(Proposal, ConsecutiveHostAddressesSkippingUsedOnes) {
    struct Case {
        const char *First, *Mask, *Gateway;
        int Devices;
        const char* Want;  // addresses in row order
        int NotFitting;
    } cases[] = {
        {"10.0.0.9", "255.255.255.0", "", 4, "10.0.0.9 10.0.0.14 10.0.0.15 10.0.0.16 ", 0},
        {"10.0.0.9", "255.255.255.0", "10.0.0.12", 2, "10.0.0.9 10.0.0.13 ", 0},
        {"10.0.0.253", "255.255.255.0", "", 4, "10.0.0.253 10.0.0.254 10.0.0.12 10.0.0.13 ", 2},
        {"10.0.0.254", "255.255.0.0", "", 3, "10.0.0.254 10.0.1.1 10.0.1.2 ", 0},
        {"10.0.0.5", "255.255.255.252", "", 2, "10.0.0.5 10.0.0.6 ", 0},
        {"10.0.0.6", "255.255.255.252", "", 2, "10.0.0.6 10.0.0.11 ", 1},
        // The device without a main address gets none, and needs none.
        {"10.0.0.253", "255.255.255.0", "", 6, "", 3},
    };
    for (const Case& c : cases) {
        std::vector<TDeviceRec> rows(kFound.begin(), kFound.begin() + c.Devices);
        const Proposal p = ProposeAddresses(rows, c.First, c.Mask, c.Gateway);
        EXPECT_TRUE(p.Problems.empty()) << c.First;
        EXPECT_EQ(p.NotFitting, c.NotFitting) << c.First << " " << c.Mask;
        if (c.NotFitting == 0) {
            EXPECT_EQ(Addresses(rows), c.Want) << c.First << " " << c.Mask;
        }
    }
}

TEST(Proposal, MaskAndGatewayGoWhereTheDeviceReportsThemAndBadValuesAreRefused) {
    std::vector<TDeviceRec> rows(kFound.begin(), kFound.end());
    ASSERT_TRUE(ProposeAddresses(rows, "10.0.0.20", "255.255.0.0", "10.0.9.1").Problems.empty());
    EXPECT_EQ(PlanCell(rows[0], KEY_MASK), "255.255.0.0");
    EXPECT_EQ(PlanCell(rows[0], KEY_GWAY), "10.0.9.1");
    EXPECT_EQ(PlanCell(rows[2], KEY_MASK), "255.255.0.0");
    EXPECT_EQ(PlanCell(rows[2], KEY_GWAY), "") << "a device without a gateway gets none in its plan";

    // The texts as they are shown, filled in.
    const std::string main = MessageText(MSG_BAD_MAIN_IP), mask = MessageText(MSG_BAD_MASK);
    struct Case {
        const char *First, *Mask, *Gateway;
        std::vector<std::string> Problems;
    } bad[] = {{"10.0.0.0", "255.255.255.0", "", {main}},
               {"10.0.0.1", "255.0.255.0", "", {mask}},
               {"10.0.0.1", "255.255.255.0", "10.0.1.1", {MessageText(MSG_MASK_MISMATCH)}},
               {"10.0.0.1", "255.255.255.0", "10.0.0.0x1", {MessageText(MSG_BAD_GATEWAY)}},
               {"10.0.0.1\x01", "255.255.255.0", "", {"IPADRM holds a character that cannot be sent (0x01)."}},
               {"10.0.0.010", "255.255.255.0", "", {"IPADRM 10.0.0.010: a part begins with 0, which some read as octal "
                                                    "(010 as 8), so which address the device takes is unsure; write it "
                                                    "without the leading zero"}}};
    for (const Case& c : bad) {
        std::vector<TDeviceRec> copy = rows;
        EXPECT_EQ(ProposeAddresses(copy, c.First, c.Mask, c.Gateway).Problems, c.Problems) << c.First;
        EXPECT_EQ(Addresses(copy), Addresses(rows)) << "nothing changes";
    }
}

TEST(PlanCheck, EveryKindOfRefusalIsListedWithItsRow) {
    const std::string m1 = MacOf(1), m2 = MacOf(2), m3 = MacOf(3), m5 = MacOf(5);
    struct Case {
        std::string Csv;
        std::vector<std::string> Want;  // problems, in order
    } cases[] = {
        // A MAC in the other letter case names its device, as the set- commands take it.
        {"MAC,NAME\n02-00-00-00-00-ab,x\n", {}},
        {"SERIAL,MAC,NAME\n400,02-00-00-00-00-ab,y\n", {}},
        // The device's own long texts go with the planned one: the SET would not fit a frame.
        {"MAC,CONT\n" + m5 + ",x\n",
         {"2 " + m5 + " the SET would take 529 bytes, more than one frame carries (510): the texts the device "
                      "reports go with it"}},
        {"MAC,FOO,NAME,BAR\n", {"1  unknown column \"FOO\"", "1  unknown column \"BAR\""}},
        {"NAME,IPADRM\n", {"1  the plan has neither a MAC nor a SERIAL column"}},
        {"MAC,NAME,NAME\n", {"1  column NAME appears twice"}},
        {"MAC,NAME\n02-00-00-00-09-99,x\n,y\n" + m1 + "\n,\n",
         {"2  no device with MAC 02-00-00-00-09-99 answered", "3  no MAC", "4  has 1 cells, the header 2"}},
        {"SERIAL,NAME\n200,x\n100,\"caf\xC3\xA9\"\n", {"2  serial 200 is shared by 2 devices"}},
        {"MAC,SERIAL,NAME\n" + m1 + ",101,x\n", {"2 " + m1 + " SERIAL cannot be set; the device reports \"100\""}},
        {"MAC,GPID,NAME\n" + m3 + ",1,\xE2\x82\xAC\n",
         {"2 " + m3 + " NAME: not a Latin-1 text", "2 " + m3 + " The device does not report GPID."}},
        {"MAC,IPADRM,UNIQ\n" + m1 + ",10.0.0.255,abc\n",
         {"2 " + m1 + " \"Main IP\" is a illegal value.", "2 " + m1 + " \"Unique ID\" is a illegal value."}},
        // The gateway is judged with the mask the device keeps.
        {"MAC,GWAY\n" + m1 + ",10.0.1.1\n",
         {"2 " + m1 + " The mask value of \"Main IP\" and \"Default Gateway\" is different."}},
        {"MAC,IPADRM\n" + m1 + ",10.0.0.50\n" + m2 + ",10.0.0. 50\n" + m1 + ",10.0.0.51\n",
         {"3 " + m2 + " IPADRM 10.0.0.50 is planned for row 2 (" + m1 + ") too",
          "4 " + m1 + " the same device as row 2"}},
        {"MAC,IPADRM\n" + m1 + ",10.0.0.12\n",
         {"2 " + m1 + " IPADRM 10.0.0.12 is the main address of " + m3 + ", which the plan does not move"}},
        // Two devices may swap, and a row that keeps its address collides with nobody.
        {"MAC,IPADRM\n" + m1 + ",10.0.0.11\n" + m2 + ",10.0.0.10\n" + m3 + ",10.0.0.12\n", {}},
        {"", {"1  the plan is empty: it needs a header row"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Lines(Check(c.Csv)), c.Want) << c.Csv;
}

TEST(PlanCheck, ChangesAreWhatWouldGoOutAndOnlyChangedKindsAreJudged) {
    const std::string m1 = MacOf(1), m3 = MacOf(3);
    // A row that leaves its network values as they are sends no network SET
    // and is not judged.
    const CheckedPlan p = Check("MAC,SERIAL,IPADRM,MASK,NAME,UNIQ\n" + m1 + ",100,10.0.0. 10,255.255.255.0,New,7\n" +
                                m3 + ",200,10.0.0.12,255.255.255.0,Unit,\n");
    ASSERT_TRUE(p.Problems.empty()) << Lines(p).front();
    ASSERT_EQ(p.Devices.size(), 2u);
    ASSERT_EQ(p.Devices[0].Changes.size(), 1u);
    EXPECT_EQ(p.Devices[0].Changes[0].Key, KEY_NAME);
    EXPECT_EQ(p.Devices[0].Changes[0].Old, "Unit");
    EXPECT_TRUE(p.Devices[0].ChangesKind(KIND_DEVINFO));
    EXPECT_FALSE(p.Devices[0].ChangesKind(KIND_NETWORK));
    EXPECT_TRUE(p.Devices[1].Changes.empty());

    // Device 3 reports no gateway: nothing to hold its new address against.
    const CheckedPlan moved = Check("MAC,IPADRM\n" + m3 + ",10.0.0.40\n");
    EXPECT_TRUE(Lines(moved).empty()) << Lines(moved).front();
}
