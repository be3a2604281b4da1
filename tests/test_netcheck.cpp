// The checks of the network values, table-driven.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "rules/Netcheck.h"
#include "rules/Strings.h"

namespace {
const char* const kBlank = "   .   .   .   ";

// A valid, enabled set of sixteen fields to vary from.
struct Fields {
    NetworkField f[NET_ROWS];
    Fields() {
        const char* texts[NET_ROWS] = {"192.168.  0. 10", "192.168.  0. 11", "1", "192.168.  0.  1",
                                       "255.255.255.  0", "192.168.  0.100", "192.168.  0.101", "5000", "5001",
                                       "192.168.  0. 20", "192.168.  0. 21", "192.168.  0. 22", "1", "2", "3", "30"};
        for (int i = 0; i < NET_ROWS; ++i) f[i] = {texts[i], true};
    }
    Fields& Set(int row, const char* text, bool enabled = true) {
        f[row] = {text, enabled};
        return *this;
    }
    std::vector<int> Check() const {
        std::vector<int> ids;
        for (const NetRefusal& r : ValidateNetworkSettings(f)) ids.push_back(r.Message);
        return ids;
    }
};

using Ids = std::vector<int>;
}  // namespace

TEST(NetCheck, ParseIpText) {
    struct Case {
        const char* text;
        const char* expect;  // nullptr: does not convert
    };
    const Case cases[] = {
        {"192.168.  0. 10", "192.168.0.10"}, {"192.168.  0.010", nullptr}, {"192.168.  0. 09", nullptr},
        {kBlank, nullptr},                   {"255.255.255.255", nullptr},       {"256.  1.  1.  1", nullptr},
        {"1.2.3.4\tx", nullptr},             {"", nullptr},
    };
    for (const Case& c : cases) {
        const uint32_t v = ParseIpText(c.text);
        if (c.expect == nullptr) {
            EXPECT_EQ(v, INADDR_NONE) << c.text;
        } else {
            EXPECT_EQ(v, inet_addr(c.expect)) << c.text;
        }
    }
}

TEST(NetCheck, StrToIntDef) {
    struct Case {
        const char* text;
        int32_t expect;
    };
    const Case cases[] = {{"12", 12},          {"  12", 12},         {"-5", -5},        {"+7", 7},
                          {"$1F", 31},         {"$FFFFFFFF", -1},    {"12 ", -1},       {"", -1},
                          {"abc", -1},         {"2147483648", -1},   {"-2147483648", INT32_MIN}, {"1.5", -1},
                          {"-", -1},           {"$", -1}};
    for (const Case& c : cases) EXPECT_EQ(StrToIntDef(c.text, -1), c.expect) << c.text;
}

// One field varied from a valid set (with a gateway where one is given).
TEST(NetCheck, Rules) {
    struct Case {
        const char* name;
        int row;
        const char* text;
        bool enabled;
        Ids expect;
        const char* gateway = nullptr;
    };
    const Case cases[] = {
        {"all valid", NET_MAIN, "192.168.  0. 10", true, {}},
        {"main last part 0", NET_MAIN, "192.168.  0.  0", true, {MSG_BAD_MAIN_IP}},
        {"main last part 255", NET_MAIN, "192.168.  0.255", true, {MSG_BAD_MAIN_IP}},
        {"main blank disabled", NET_MAIN, kBlank, false, {}},
        {"gateway not reported", NET_GATEWAY, kBlank, false, {}},
        {"backup disabled blank", NET_BACKUP, kBlank, false, {}},
        {"backup disabled zero", NET_BACKUP, "  0.  0.  0.  0", false, {MSG_BAD_BACKUP_IP}},
        {"backup enabled .255", NET_BACKUP, " 10.  0.  0.255", true, {MSG_BAD_BACKUP_IP}},
        {"backup disabled .255", NET_BACKUP, " 10.  0.  0.255", false, {}},
        {"backup enabled all ones", NET_BACKUP, "255.255.255.255", true, {MSG_BAD_BACKUP_IP}},
        {"backup disabled all ones", NET_BACKUP, "255.255.255.255", false, {}},
        {"leading zero: octal to some, decimal to others", NET_TRAP1, "192.168.  0.010", true, {MSG_BAD_TRAP1}},
        {"octal 09", NET_TRAP1, "192.168.  0. 09", true, {MSG_BAD_TRAP1}},
        {"group empty", NET_GROUP, "", true, {MSG_BAD_GROUP_ID}},
        {"group -1", NET_GROUP, "-1", true, {MSG_BAD_GROUP_ID}},
        {"group -5", NET_GROUP, "-5", true, {}},
        {"group 999", NET_GROUP, "999", true, {}},
        {"group empty disabled", NET_GROUP, "", false, {}},
        {"time out hex", NET_TIMEOUT, "$1F", true, {}},
        {"mask .0", NET_MASK, "255.255.255.  0", true, {}},
        {"mask hole", NET_MASK, "255.255.  0.255", true, {MSG_BAD_MASK}},
        {"mask all ones", NET_MASK, "255.255.255.255", true, {MSG_BAD_MASK}},
        {"mask zero", NET_MASK, "  0.  0.  0.  0", true, {}},
        {"mask disabled blank", NET_MASK, kBlank, false, {}},
        {"gateway in another subnet", NET_MASK, "255.255.255.  0", true, {MSG_MASK_MISMATCH}, "192.168.  1.  1"},
        {"a wider mask takes it in", NET_MASK, "255.255.  0.  0", true, {}, "192.168.  1.  1"},
        {"a zero mask takes any", NET_MASK, "  0.  0.  0.  0", true, {}, "192.168.  1.  1"},
    };
    for (const Case& c : cases) {
        Fields f;
        if (c.gateway) f.Set(NET_GATEWAY, c.gateway);
        f.Set(c.row, c.text, c.enabled);
        EXPECT_EQ(f.Check(), c.expect) << c.name;
    }
}

TEST(NetCheck, EveryFieldWrongInOrder) {
    Fields f;
    for (int row : {NET_MAIN, NET_BACKUP, NET_GATEWAY, NET_TRAP1, NET_TRAP2, NET_OPTIP1, NET_OPTIP2, NET_OPTIP3})
        f.Set(row, "  1.  1.  1.255");
    for (int row : {NET_GROUP, NET_TERM, NET_LOG, NET_PORT1, NET_PORT2, NET_PORT3, NET_TIMEOUT}) f.Set(row, "x");
    f.Set(NET_MASK, "255.  0.255.  0");
    EXPECT_EQ(f.Check(), (Ids{MSG_BAD_MAIN_IP, MSG_BAD_BACKUP_IP, MSG_BAD_GROUP_ID, MSG_BAD_GATEWAY, MSG_BAD_MASK,
                              MSG_BAD_TRAP1, MSG_BAD_TRAP2, MSG_BAD_TERM, MSG_BAD_LOG, MSG_BAD_OPT_IP1, MSG_BAD_OPT_IP2,
                              MSG_BAD_OPT_IP3, MSG_BAD_OPT_PORT1, MSG_BAD_OPT_PORT2, MSG_BAD_OPT_PORT3,
                              MSG_BAD_TIME_OUT}));
}
