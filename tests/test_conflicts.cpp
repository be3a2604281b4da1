// The conflict check of a device list and "now" as the date edits.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>

#include "rules/Conflicts.h"
#include "rules/Datenow.h"

namespace {
TDeviceRec Dev(const char* mac, const char* ip, const char* mask = "", const char* gw = "") {
    TDeviceRec r{};
    std::strcpy(r.MAC, mac);
    const auto put = [](char* field, uint8_t& has, const char* text) {
        if (*text == '\0') return;
        std::strcpy(field, text);
        has = 1;
    };
    put(r.IPADRM, r.HasIPADRM, ip);
    put(r.MASK, r.HasMASK, mask);
    put(r.GWAY, r.HasGWAY, gw);
    return r;
}

LocalSubnet Net(const char* address, const char* mask) { return {inet_addr(address), inet_addr(mask)}; }

const char *A = "02-00-00-00-00-0A", *B = "02-00-00-00-00-0B", *C = "02-00-00-00-00-0C";
}  // namespace

TEST(Conflicts, EachKindFlagsTheRightRows) {
    const std::vector<LocalSubnet> local = {Net("10.77.0.1", "255.255.255.0"), Net("192.168.1.7", "255.255.255.0")};
    struct Case {
        const char* what;
        std::vector<TDeviceRec> rows;
        std::vector<std::vector<std::string>> expect;
    };
    const Case cases[] = {
        {"all well, second subnet too",
         {Dev(A, "10.77.0.5", "255.255.255.0", "10.77.0.1"), Dev(B, "192.168.1.9")},
         {{}, {}}},
        {"three share an address, each names the others",
         {Dev(A, "10.77.0.5"), Dev(B, "10.77.0.6"), Dev(C, "10.77.0.5"), Dev("02-00-00-00-00-0D", "10.77.0.5")},
         {{"main address 10.77.0.5 is also used by 02-00-00-00-00-0C, 02-00-00-00-00-0D"},
          {},
          {"main address 10.77.0.5 is also used by 02-00-00-00-00-0A, 02-00-00-00-00-0D"},
          {"main address 10.77.0.5 is also used by 02-00-00-00-00-0A, 02-00-00-00-00-0C"}}},
        {"unreachable without a router",
         {Dev(A, "10.99.0.2")},
         {{"main address 10.99.0.2 is in none of this computer's subnets (only a router reaches it)"}}},
        {"gateway outside its own subnet; none, 0.0.0.0 and a bad mask are not judged",
         {Dev(A, "10.77.0.5", "255.255.255.0", "10.77.1.1"), Dev(B, "10.77.0.6", "255.255.255.0", "0.0.0.0"),
          Dev(C, "10.77.0.7", "junk", "10.1.1.1"), Dev("02-00-00-00-00-0D", "10.77.0.8", "255.255.0.0", "10.77.1.1")},
         {{"gateway 10.77.1.1 is not in its own subnet (mask 255.255.255.0)"}, {}, {}, {}}},
        {"addresses no device can hold",
         {Dev(A, "10.77.0.1"), Dev(B, "127.0.0.5"), Dev(C, "10.77.0.0"),
          Dev("02-00-00-00-00-0D", "10.77.0.255", "255.255.0.0"), Dev("02-00-00-00-00-0E", "10.77.0.127", "255.255.255.128")},
         {{"main address 10.77.0.1 is this computer's own address"},
          {"main address 127.0.0.5 is a loopback address",
           "main address 127.0.0.5 is in none of this computer's subnets (only a router reaches it)"},
          {"main address 10.77.0.0 is its subnet's network address"},
          {"main address 10.77.0.255 is its subnet's broadcast address"},
          {"main address 10.77.0.127 is its subnet's broadcast address"}}},
        {"a host mask still has its gateway checked",
         {Dev(A, "10.77.0.5", "255.255.255.255", "10.77.0.1")},
         {{"gateway 10.77.0.1 is not in its own subnet (mask 255.255.255.255)"}}},
        {"no main address: nothing to share or reach",
         {Dev(A, ""), Dev(B, "")},
         {{}, {}}},
        {"several reasons on one device",
         {Dev(A, "10.99.0.2", "255.255.255.0", "10.98.0.1"), Dev(B, "10.99.0.2")},
         {{"main address 10.99.0.2 is also used by 02-00-00-00-00-0B",
           "main address 10.99.0.2 is in none of this computer's subnets (only a router reaches it)",
           "gateway 10.98.0.1 is not in its own subnet (mask 255.255.255.0)"},
          {"main address 10.99.0.2 is also used by 02-00-00-00-00-0A",
           "main address 10.99.0.2 is in none of this computer's subnets (only a router reaches it)"}}},
    };
    for (const Case& c : cases) {
        const auto problems = FindConflicts(c.rows, local);
        EXPECT_EQ(problems, c.expect) << c.what;
    }
    EXPECT_EQ(CountFlagged(FindConflicts(cases[7].rows, local)), 2u);
}

TEST(DateNow, WholeHourOffsetsOnly) {
    struct Case {
        long gmtoff;
        bool ok;
        const char* gmt;
        const char* offset;
    };
    const Case cases[] = {
        {9 * 3600, true, "+9", "+9:00"},   {-5 * 3600, true, "-5", "-5:00"},   {0, true, "0", "+0:00"},
        {19800, false, "", "+5:30"},       {-9000, false, "", "-2:30"},        {13 * 3600, true, "+13", "+13:00"},
    };
    for (const Case& c : cases) {
        std::tm t{};
        t.tm_year = 2024 - 1900;
        t.tm_mon = 1;
        t.tm_mday = 29;
        t.tm_hour = 9;
        t.tm_min = 7;
        t.tm_gmtoff = c.gmtoff;
        const NowEdits n = EditsOfLocalTime(t);
        EXPECT_EQ(n.Ok, c.ok) << c.offset;
        EXPECT_EQ(n.Offset, c.offset);
        EXPECT_EQ(n.Edits[DATE_GMT], c.gmt);
        if (!c.ok) continue;
        const DateVerdict v = ValidateDate(n.Edits);
        EXPECT_TRUE(v.Ok) << c.offset;
        EXPECT_EQ(v.Text, "2024.02.29.09.07");
    }
}
