#include "link/Targets.h"

#include <arpa/inet.h>

#include <algorithm>
#include <sstream>

bool ParseTarget(const std::string& text, in_addr_t& address) {
    in_addr a{};
    // inet_pton takes exactly four decimal parts, unlike inet_aton's short and octal forms.
    if (::inet_pton(AF_INET, text.c_str(), &a) != 1 || a.s_addr == htonl(INADDR_ANY)) return false;
    address = a.s_addr;
    return true;
}

TargetList ParseTargets(const std::vector<std::string>& texts) {
    TargetList list;
    for (const std::string& text : texts) {
        std::istringstream in(text);
        std::string entry;
        while (in >> entry) {
            in_addr_t a = 0;
            if (!ParseTarget(entry, a)) list.Bad.push_back(entry);
            else if (std::find(list.Addresses.begin(), list.Addresses.end(), a) == list.Addresses.end())
                list.Addresses.push_back(a);
        }
    }
    return list;
}
