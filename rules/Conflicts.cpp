#include "rules/Conflicts.h"

#include <arpa/inet.h>

#include <cstring>
#include <map>

#include "link/Table.h"
#include "rules/Netcheck.h"

namespace {
// The field as an address; false when it is empty or none.
bool AddressOf(const char (&field)[16], uint8_t has, uint32_t& address) {
    return has != 0 && ParseIpv4(std::string(FieldText(field)), address);
}

bool SameSubnet(uint32_t a, uint32_t b, uint32_t mask) { return (a & mask) == (b & mask); }

// An address no device can hold: this computer's own, one of loopback, or
// the network or broadcast address of its subnet (by its own mask, or by
// this computer's where it is one of its subnets).  "" when it is none.
std::string Unusable(uint32_t main, const uint32_t* mask, const std::vector<LocalSubnet>& local) {
    if ((ntohl(main) >> 24) == 127) return "is a loopback address";
    // A subnet of one or two addresses has no network and broadcast address.
    const auto hasBoth = [](uint32_t m) { return ~ntohl(m) >= 3; };
    std::vector<uint32_t> masks;
    if (mask != nullptr && hasBoth(*mask)) masks.push_back(*mask);
    for (const LocalSubnet& s : local) {
        if (s.Address == main) return "is this computer's own address";
        if (SameSubnet(main, s.Address, s.Mask) && hasBoth(s.Mask)) masks.push_back(s.Mask);
    }
    for (uint32_t m : masks) {
        if ((main & ~m) == 0) return "is its subnet's network address";
        if ((main | m) == 0xFFFFFFFFu) return "is its subnet's broadcast address";
    }
    return {};
}
}  // namespace

std::vector<std::vector<std::string>> FindConflicts(const std::vector<TDeviceRec>& rows,
                                                    const std::vector<LocalSubnet>& local) {
    std::vector<std::vector<std::string>> problems(rows.size());
    std::map<uint32_t, std::vector<size_t>> byAddress;
    for (size_t i = 0; i < rows.size(); ++i) {
        uint32_t main = 0;
        if (AddressOf(rows[i].IPADRM, rows[i].HasIPADRM, main)) byAddress[main].push_back(i);
    }
    for (const auto& [address, sharing] : byAddress) {
        if (sharing.size() < 2) continue;
        for (size_t i : sharing) {
            std::string others;
            for (size_t j : sharing) {
                if (j == i) continue;
                if (!others.empty()) others += ", ";  // not "" + text: g++ 12 -O3 then warns of a bogus overflow
                others += FieldText(rows[j].MAC);
            }
            problems[i].push_back("main address " + std::string(FieldText(rows[i].IPADRM)) + " is also used by " +
                                  others);
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const TDeviceRec& r = rows[i];
        uint32_t main = 0, gateway = 0, mask = 0;
        if (!AddressOf(r.IPADRM, r.HasIPADRM, main)) continue;
        const bool hasMask = AddressOf(r.MASK, r.HasMASK, mask);
        if (const std::string why = Unusable(main, hasMask ? &mask : nullptr, local); !why.empty())
            problems[i].push_back("main address " + std::string(FieldText(r.IPADRM)) + " " + why);
        bool reachable = false;
        for (const LocalSubnet& s : local) reachable = reachable || SameSubnet(main, s.Address, s.Mask);
        if (!reachable)
            problems[i].push_back("main address " + std::string(FieldText(r.IPADRM)) +
                                  " is in none of this computer's subnets (only a router reaches it)");
        // 0.0.0.0 is no gateway at all; an unreadable mask leaves nothing to judge by.
        if (!AddressOf(r.GWAY, r.HasGWAY, gateway) || gateway == 0 || !hasMask) continue;
        if (!SameSubnet(gateway, main, mask))
            problems[i].push_back("gateway " + std::string(FieldText(r.GWAY)) + " is not in its own subnet (mask " +
                                  std::string(FieldText(r.MASK)) + ")");
    }
    return problems;
}

std::vector<std::vector<std::string>> TableConflicts(const TmTable& table, const std::vector<LocalSubnet>& local) {
    const std::vector<TDeviceRec> rows = table.Rows();
    auto problems = FindConflicts(rows, local);
    for (size_t i = 0; i < rows.size() && i < problems.size(); ++i)
        if (std::string doubt = table.RowDoubt(static_cast<int>(i)); !doubt.empty())
            problems[i].insert(problems[i].begin(), std::move(doubt));
    return problems;
}

size_t CountFlagged(const std::vector<std::vector<std::string>>& problems) {
    size_t n = 0;
    for (const auto& p : problems) n += p.empty() ? 0 : 1;
    return n;
}
