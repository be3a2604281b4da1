// Target lists as the command line and the settings file give them.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "link/Targets.h"

TEST(Targets, DottedQuadsOnlyTheRestNamed) {
    struct Case {
        std::vector<std::string> texts;
        std::vector<const char*> addresses;
        std::vector<std::string> bad;
    };
    const Case cases[] = {
        {{"10.1.2.255"}, {"10.1.2.255"}, {}},
        {{" 10.1.2.255  192.168.9.7 ", "10.1.2.255"}, {"10.1.2.255", "192.168.9.7"}, {}},  // blanks; no repeats
        {{"10.1.2", "010.1.2.3", "0x0a.1.2.3", "10.1.2.256", "host.example", "0.0.0.0"},
         {},
         {"10.1.2", "010.1.2.3", "0x0a.1.2.3", "10.1.2.256", "host.example", "0.0.0.0"}},
        {{"bad 10.9.9.9"}, {"10.9.9.9"}, {"bad"}},
        {{""}, {}, {}},
    };
    for (const Case& c : cases) {
        const TargetList list = ParseTargets(c.texts);
        std::vector<in_addr_t> expect;
        for (const char* a : c.addresses) expect.push_back(inet_addr(a));
        EXPECT_EQ(list.Addresses, expect) << c.texts[0];
        EXPECT_EQ(list.Bad, c.bad) << c.texts[0];
    }
}
