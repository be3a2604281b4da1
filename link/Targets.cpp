#include "link/Targets.h"

#include <arpa/inet.h>

#include <algorithm>
#include <sstream>

std::string TargetProblem(const std::string& text) {
    in_addr a{};
    // inet_pton takes exactly four decimal parts, unlike inet_aton's short and octal forms.
    if (::inet_pton(AF_INET, text.c_str(), &a) != 1 || a.s_addr == htonl(INADDR_ANY))
        return "not an IPv4 address (such as 10.1.2.255): " + text;
    const uint32_t host = ntohl(a.s_addr);
    if ((host >> 24) == 127) return "a loopback address reaches no device: " + text;
    if ((host >> 28) == 0xE) return "a multicast address reaches no device: " + text;
    return {};
}

bool ParseTarget(const std::string& text, in_addr_t& address) {
    if (!TargetProblem(text).empty()) return false;
    in_addr a{};
    ::inet_pton(AF_INET, text.c_str(), &a);
    address = a.s_addr;
    return true;
}

ReachedTargets SkipReached(const std::vector<in_addr_t>& targets, const std::vector<LocalSubnet>& reached) {
    ReachedTargets out;
    for (const in_addr_t t : targets) {
        char text[INET_ADDRSTRLEN];
        ::inet_ntop(AF_INET, &t, text, sizeof text);
        std::string why;
        if (t == htonl(INADDR_BROADCAST)) why = "the broadcasts already go there";
        for (const LocalSubnet& s : reached)
            if (why.empty() && (t & s.Mask) == (s.Address & s.Mask) && (ntohl(s.Address) >> 24) != 127)
                why = "it is on a network this computer broadcasts on already";
        if (why.empty()) out.Kept.push_back(t);
        else out.Notes.push_back(std::string("target ") + text + " left out: " + why + " (it would get every frame twice)");
    }
    return out;
}

TargetList ParseTargets(const std::vector<std::string>& texts) {
    TargetList list;
    for (const std::string& text : texts) {
        std::istringstream in(text);
        std::string entry;
        while (in >> entry) {
            in_addr_t a = 0;
            if (!ParseTarget(entry, a)) list.Bad.push_back(entry);
            else if (std::find(list.Addresses.begin(), list.Addresses.end(), a) != list.Addresses.end()) continue;
            else if (list.Addresses.size() >= MAX_TARGETS) ++list.TooMany;
            else list.Addresses.push_back(a);
        }
    }
    return list;
}
