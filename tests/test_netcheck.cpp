// The checks of the network values and the reading of addresses and numbers.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "rules/Netcheck.h"
#include "rules/Strings.h"

namespace {
const char* const kBlank = "   .   .   .   ";
using Ids = std::vector<int>;

// The messages for a valid, enabled set of sixteen fields with these changes.
Ids Check(const std::vector<std::tuple<int, const char*, bool>>& changes) {
    const char* texts[NET_ROWS] = {"192.168.  0. 10", "192.168.  0. 11", "1", "192.168.  0.  1", "255.255.255.  0",
                                   "192.168.  0.100", "192.168.  0.101", "5000", "5001", "192.168.  0. 20",
                                   "192.168.  0. 21", "192.168.  0. 22", "1", "2", "3", "30"};
    NetworkField f[NET_ROWS];
    for (int i = 0; i < NET_ROWS; ++i) f[i] = {texts[i], true};
    for (const auto& [row, text, enabled] : changes) f[row] = {text, enabled};
    Ids ids;
    for (const NetRefusal& r : ValidateNetworkSettings(f)) ids.push_back(r.Message);
    return ids;
}
}  // namespace

TEST(NetCheck, ParseIpTextAndStrToIntDef) {
    const std::pair<const char*, const char*> addresses[] = {  // nullptr: no address
        {"192.168.  0. 10", "192.168.0.10"}, {"192.168.  0.010", nullptr}, {"192.168.  0. 09", nullptr},
        {kBlank, nullptr},         {"255.255.255.255", nullptr},  {"256.  1.  1.  1", nullptr},
        {"1.2.3.4\tx", nullptr},   {"", nullptr}};
    for (const auto& [text, address] : addresses)
        EXPECT_EQ(ParseIpText(text), address ? inet_addr(address) : INADDR_NONE) << text;
    const std::pair<const char*, int32_t> numbers[] = {
        {"12", 12}, {"  12", 12}, {"-5", -5}, {"+7", 7}, {"$1F", 31}, {"$FFFFFFFF", -1}, {"12 ", -1}, {"", -1},
        {"abc", -1}, {"2147483648", -1}, {"-2147483648", INT32_MIN}, {"1.5", -1}, {"-", -1}, {"$", -1}};
    for (const auto& [text, number] : numbers) EXPECT_EQ(StrToIntDef(text, -1), number) << text;
}

TEST(NetCheck, Rules) {
    const char* const bad = "  1.  1.  1.255";
    const std::tuple<const char*, std::vector<std::tuple<int, const char*, bool>>, Ids> cases[] = {
        {"all valid", {}, {}},
        {"main last part 0", {{NET_MAIN, "192.168.  0.  0", true}}, {MSG_BAD_MAIN_IP}},
        {"main blank disabled", {{NET_MAIN, kBlank, false}}, {}},
        {"gateway not reported", {{NET_GATEWAY, kBlank, false}}, {}},
        {"backup disabled zero", {{NET_BACKUP, "  0.  0.  0.  0", false}}, {MSG_BAD_BACKUP_IP}},
        {"backup enabled .255", {{NET_BACKUP, " 10.  0.  0.255", true}}, {MSG_BAD_BACKUP_IP}},
        {"backup disabled .255", {{NET_BACKUP, " 10.  0.  0.255", false}}, {}},
        {"leading zero: octal to some, decimal to others", {{NET_TRAP1, "192.168.  0.010", true}}, {MSG_BAD_TRAP1}},
        {"group empty", {{NET_GROUP, "", true}}, {MSG_BAD_GROUP_ID}},
        {"group -1", {{NET_GROUP, "-1", true}}, {MSG_BAD_GROUP_ID}},
        {"group empty disabled", {{NET_GROUP, "", false}}, {}},
        {"mask hole", {{NET_MASK, "255.255.  0.255", true}}, {MSG_BAD_MASK}},
        {"mask all ones", {{NET_MASK, "255.255.255.255", true}}, {MSG_BAD_MASK}},
        {"mask disabled blank", {{NET_MASK, kBlank, false}}, {}},
        {"gateway in another subnet", {{NET_GATEWAY, "192.168.  1.  1", true}}, {MSG_MASK_MISMATCH}},
        {"a wider mask takes it in", {{NET_GATEWAY, "192.168.  1.  1", true}, {NET_MASK, "255.255.  0.  0", true}}, {}},
        {"a zero mask takes any", {{NET_GATEWAY, "192.168.  1.  1", true}, {NET_MASK, "  0.  0.  0.  0", true}}, {}},
        {"every field wrong: all named, in order",
         {{NET_MAIN, bad, true}, {NET_BACKUP, bad, true}, {NET_GATEWAY, bad, true}, {NET_TRAP1, bad, true},
          {NET_TRAP2, bad, true}, {NET_OPTIP1, bad, true}, {NET_OPTIP2, bad, true}, {NET_OPTIP3, bad, true},
          {NET_GROUP, "x", true},
          {NET_TERM, "x", true}, {NET_LOG, "x", true}, {NET_PORT1, "x", true}, {NET_PORT2, "x", true},
          {NET_PORT3, "x", true}, {NET_TIMEOUT, "x", true}, {NET_MASK, "255.  0.255.  0", true}},
         {MSG_BAD_MAIN_IP, MSG_BAD_BACKUP_IP, MSG_BAD_GROUP_ID, MSG_BAD_GATEWAY, MSG_BAD_MASK, MSG_BAD_TRAP1,
          MSG_BAD_TRAP2, MSG_BAD_TERM, MSG_BAD_LOG, MSG_BAD_OPT_IP1, MSG_BAD_OPT_IP2, MSG_BAD_OPT_IP3,
          MSG_BAD_OPT_PORT1, MSG_BAD_OPT_PORT2, MSG_BAD_OPT_PORT3, MSG_BAD_TIME_OUT}},
    };
    for (const auto& [name, changes, expect] : cases) EXPECT_EQ(Check(changes), expect) << name;
}
