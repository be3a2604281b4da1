// The conflict check of a device list: each kind of problem, on the rows it concerns.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "rules/Conflicts.h"

namespace {
TDeviceRec Dev(char mac, const char* ip, const char* mask = "", const char* gw = "") {
    TDeviceRec r{};
    std::snprintf(r.MAC, sizeof r.MAC, "02-00-00-00-00-0%c", mac);
    const auto put = [](char* field, uint8_t& has, const char* text) {
        std::strcpy(field, text);
        has = *text != '\0';
    };
    put(r.IPADRM, r.HasIPADRM, ip);
    put(r.MASK, r.HasMASK, mask);
    put(r.GWAY, r.HasGWAY, gw);
    return r;
}

const std::string kAway = " is in none of this computer's subnets (only a router reaches it)";
}  // namespace

TEST(Conflicts, EachKindFlagsTheRightRows) {
    const std::vector<LocalSubnet> local = {{inet_addr("10.77.0.1"), inet_addr("255.255.255.0")},
                                            {inet_addr("192.168.1.7"), inet_addr("255.255.255.0")}};
    const std::tuple<const char*, std::vector<TDeviceRec>, std::vector<std::vector<std::string>>> cases[] = {
        {"all well, second subnet too, no main address",
         {Dev('A', "10.77.0.5", "255.255.255.0", "10.77.0.1"), Dev('B', "192.168.1.9"), Dev('C', ""), Dev('D', "")},
         {{}, {}, {}, {}}},
        {"three share an address, each names the others",
         {Dev('A', "10.77.0.5"), Dev('B', "10.77.0.6"), Dev('C', "10.77.0.5"), Dev('D', "10.77.0.5")},
         {{"main address 10.77.0.5 is also used by 02-00-00-00-00-0C, 02-00-00-00-00-0D"},
          {},
          {"main address 10.77.0.5 is also used by 02-00-00-00-00-0A, 02-00-00-00-00-0D"},
          {"main address 10.77.0.5 is also used by 02-00-00-00-00-0A, 02-00-00-00-00-0C"}}},
        {"gateway outside its own subnet; none, 0.0.0.0 and a bad mask are not judged",
         {Dev('A', "10.77.0.5", "255.255.255.0", "10.77.1.1"), Dev('B', "10.77.0.6", "255.255.255.0", "0.0.0.0"),
          Dev('C', "10.77.0.7", "junk", "10.1.1.1"), Dev('D', "10.77.0.8", "255.255.0.0", "10.77.1.1"),
          Dev('E', "10.77.0.9", "255.255.255.255", "10.77.0.1")},
         {{"gateway 10.77.1.1 is not in its own subnet (mask 255.255.255.0)"}, {}, {}, {},
          {"gateway 10.77.0.1 is not in its own subnet (mask 255.255.255.255)"}}},
        {"addresses no device can hold",
         {Dev('A', "10.77.0.1"), Dev('B', "127.0.0.5"), Dev('C', "10.77.0.0"), Dev('D', "10.77.0.255", "255.255.0.0"),
          Dev('E', "10.77.0.127", "255.255.255.128")},
         {{"main address 10.77.0.1 is this computer's own address"},
          {"main address 127.0.0.5 is a loopback address", "main address 127.0.0.5" + kAway},
          {"main address 10.77.0.0 is its subnet's network address"},
          {"main address 10.77.0.255 is its subnet's broadcast address"},
          {"main address 10.77.0.127 is its subnet's broadcast address"}}},
        {"several reasons on one device, in order",
         {Dev('A', "10.99.0.2", "255.255.255.0", "10.98.0.1"), Dev('B', "10.99.0.2")},
         {{"main address 10.99.0.2 is also used by 02-00-00-00-00-0B", "main address 10.99.0.2" + kAway,
           "gateway 10.98.0.1 is not in its own subnet (mask 255.255.255.0)"},
          {"main address 10.99.0.2 is also used by 02-00-00-00-00-0A", "main address 10.99.0.2" + kAway}}},
    };
    for (const auto& [what, rows, expect] : cases) EXPECT_EQ(FindConflicts(rows, local), expect) << what;
    EXPECT_EQ(CountFlagged(FindConflicts(std::get<1>(cases[4]), local)), 2u);
}
