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
        // No device answers on loopback or a multicast group.
        {{"127.0.0.1 224.0.0.1 239.1.2.3 10.9.9.9"}, {"10.9.9.9"}, {"127.0.0.1", "224.0.0.1", "239.1.2.3"}},
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

// Beyond MAX_TARGETS the rest are left out; a target the broadcasts already
// reach is left out with a note, so that no device takes every frame twice.
TEST(Targets, AtMostSixtyFourAndNoneTheBroadcastsReach) {
    std::string many;
    for (int i = 1; i <= 70; ++i) many += "10.9.0." + std::to_string(i) + " ";
    const TargetList list = ParseTargets({many});
    EXPECT_EQ(list.Addresses.size(), MAX_TARGETS);
    EXPECT_EQ(list.TooMany, 6u);

    const std::vector<LocalSubnet> reached = {{inet_addr("10.77.0.1"), inet_addr("255.255.255.0")},
                                              {inet_addr("127.0.0.1"), inet_addr("255.0.0.0")}};
    const ReachedTargets r =
        SkipReached({inet_addr("10.77.0.255"), inet_addr("10.78.0.255"), inet_addr("10.77.0.9"),
                     inet_addr("255.255.255.255")},
                    reached);
    EXPECT_EQ(r.Kept, std::vector<in_addr_t>{inet_addr("10.78.0.255")});
    EXPECT_EQ(r.Notes, (std::vector<std::string>{
                           "target 10.77.0.255 left out: it is on a network this computer broadcasts on already (it "
                           "would get every frame twice)",
                           "target 10.77.0.9 left out: it is on a network this computer broadcasts on already (it "
                           "would get every frame twice)",
                           "target 255.255.255.255 left out: the broadcasts already go there (it would get every "
                           "frame twice)"}));
}
