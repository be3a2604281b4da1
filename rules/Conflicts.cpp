#include "rules/Conflicts.h"

#include <arpa/inet.h>

#include <cstring>
#include <map>

#include "rules/Netcheck.h"

namespace {
std::string Text(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

// The field as an address, or INADDR_NONE when it is empty or none.
uint32_t AddressOf(const char* field, uint8_t has) {
    if (has == 0) return INADDR_NONE;
    return ParseIpText(Text(field, 15));
}

bool SameSubnet(uint32_t a, uint32_t b, uint32_t mask) { return (a & mask) == (b & mask); }
}  // namespace

std::vector<std::vector<std::string>> FindConflicts(const std::vector<TDeviceRec>& rows,
                                                    const std::vector<LocalSubnet>& local) {
    std::vector<std::vector<std::string>> problems(rows.size());
    std::map<uint32_t, std::vector<size_t>> byAddress;
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint32_t main = AddressOf(rows[i].IPADRM, rows[i].HasIPADRM);
        if (main != INADDR_NONE) byAddress[main].push_back(i);
    }
    for (const auto& [address, sharing] : byAddress) {
        if (sharing.size() < 2) continue;
        for (size_t i : sharing) {
            std::string others;
            for (size_t j : sharing) {
                if (j == i) continue;
                if (!others.empty()) others += ", ";  // not "" + text: g++ 12 -O3 then warns of a bogus overflow
                others += Text(rows[j].MAC, MAC_LEN);
            }
            problems[i].push_back("main address " + Text(rows[i].IPADRM, 15) + " is also used by " + others);
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const TDeviceRec& r = rows[i];
        const uint32_t main = AddressOf(r.IPADRM, r.HasIPADRM);
        if (main == INADDR_NONE) continue;
        bool reachable = false;
        for (const LocalSubnet& s : local) reachable = reachable || SameSubnet(main, s.Address, s.Mask);
        if (!reachable)
            problems[i].push_back("main address " + Text(r.IPADRM, 15) +
                                  " is in none of this computer's subnets (only a router reaches it)");
        const uint32_t gateway = AddressOf(r.GWAY, r.HasGWAY);
        const uint32_t mask = AddressOf(r.MASK, r.HasMASK);
        // 0.0.0.0 is no gateway at all; an unreadable mask leaves nothing to judge by.
        if (gateway == INADDR_NONE || gateway == 0 || mask == INADDR_NONE) continue;
        if (!SameSubnet(gateway, main, mask))
            problems[i].push_back("gateway " + Text(r.GWAY, 15) + " is not in its own subnet (mask " +
                                  Text(r.MASK, 15) + ")");
    }
    return problems;
}

size_t CountFlagged(const std::vector<std::vector<std::string>>& problems) {
    size_t n = 0;
    for (const auto& p : problems) n += p.empty() ? 0 : 1;
    return n;
}
