// The conflict check of a device list: each kind of problem, on the rows it concerns.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "Frames.h"
#include "rules/Conflicts.h"

namespace {
TDeviceRec Dev(int mac, const char* ip, const char* mask = "", const char* gw = "") {
    std::vector<std::string> items;
    for (const auto& [key, value] : {std::pair{"IPADRM:", ip}, {"MASK:", mask}, {"GWAY:", gw}})
        if (*value != '\0') items.push_back(key + std::string(value));
    return RowsOf({Answer(MacOf(mac), items)})[0];
}

const std::string kAway = " is in none of this computer's subnets (only a router reaches it)";
}  // namespace

TEST(Conflicts, EachKindFlagsTheRightRows) {
    const std::vector<LocalSubnet> local = {{inet_addr("10.77.0.1"), inet_addr("255.255.255.0")},
                                            {inet_addr("192.168.1.7"), inet_addr("255.255.255.0")}};
    const std::tuple<const char*, std::vector<TDeviceRec>, std::vector<std::vector<std::string>>> cases[] = {
        {"all well, second subnet too, no main address",
         {Dev(0xA, "10.77.0.5", "255.255.255.0", "10.77.0.1"), Dev(0xB, "192.168.1.9"), Dev(0xC, ""), Dev(0xD, "")},
         {{}, {}, {}, {}}},
        {"three share an address, each names the others",
         {Dev(0xA, "10.77.0.5"), Dev(0xB, "10.77.0.6"), Dev(0xC, "10.77.0.5"), Dev(0xD, "10.77.0.5")},
         {{"main address 10.77.0.5 is also used by 02-00-00-00-00-0C, 02-00-00-00-00-0D"},
          {},
          {"main address 10.77.0.5 is also used by 02-00-00-00-00-0A, 02-00-00-00-00-0D"},
          {"main address 10.77.0.5 is also used by 02-00-00-00-00-0A, 02-00-00-00-00-0C"}}},
        {"gateway outside its own subnet; none, 0.0.0.0 and a bad mask are not judged",
         {Dev(0xA, "10.77.0.5", "255.255.255.0", "10.77.1.1"), Dev(0xB, "10.77.0.6", "255.255.255.0", "0.0.0.0"),
          Dev(0xC, "10.77.0.7", "junk", "10.1.1.1"), Dev(0xD, "10.77.0.8", "255.255.0.0", "10.77.1.1"),
          Dev(0xE, "10.77.0.9", "255.255.255.255", "10.77.0.1")},
         {{"gateway 10.77.1.1 is not in its own subnet (mask 255.255.255.0)"}, {}, {}, {},
          {"gateway 10.77.0.1 is not in its own subnet (mask 255.255.255.255)"}}},
        {"addresses no device can hold",
         {Dev(0xA, "10.77.0.1"), Dev(0xB, "127.0.0.5"), Dev(0xC, "10.77.0.0"), Dev(0xD, "10.77.0.255", "255.255.0.0"),
          Dev(0xE, "10.77.0.127", "255.255.255.128")},
         {{"main address 10.77.0.1 is this computer's own address"},
          {"main address 127.0.0.5 is a loopback address", "main address 127.0.0.5" + kAway},
          {"main address 10.77.0.0 is its subnet's network address"},
          {"main address 10.77.0.255 is its subnet's broadcast address"},
          {"main address 10.77.0.127 is its subnet's broadcast address"}}},
        {"several reasons on one device, in order",
         {Dev(0xA, "10.99.0.2", "255.255.255.0", "10.98.0.1"), Dev(0xB, "10.99.0.2")},
         {{"main address 10.99.0.2 is also used by 02-00-00-00-00-0B", "main address 10.99.0.2" + kAway,
           "gateway 10.98.0.1 is not in its own subnet (mask 255.255.255.0)"},
          {"main address 10.99.0.2 is also used by 02-00-00-00-00-0A", "main address 10.99.0.2" + kAway}}},
    };
    for (const auto& [what, rows, expect] : cases) EXPECT_EQ(FindConflicts(rows, local), expect) << what;
    EXPECT_EQ(CountFlagged(FindConflicts(std::get<1>(cases[4]), local)), 2u);
}
