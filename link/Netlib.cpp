#include "link/Netlib.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

bool AddressOfHostName(std::string& address) {
    char name[128] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || list == nullptr) return false;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(list);
    if (ok) address = text;
    return ok;
}

bool AddressOfInterfaces(std::string& address) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    bool found = false;
    for (const ifaddrs* i = list; i != nullptr && !found; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr) {
            address = text;
            found = true;
        }
    }
    ::freeifaddrs(list);
    return found;
}

bool FindLocalAddress(std::string& address, const AddressSource& byName, const AddressSource& byInterface) {
    if (byName(address) && address.size() <= 16) return true;
    return byInterface(address) && address.size() <= 16;
}

std::vector<LocalSubnet> LocalSubnets(const std::string& only) {
    std::vector<LocalSubnet> out;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return out;
    for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_netmask == nullptr || i->ifa_addr->sa_family != AF_INET ||
            (i->ifa_flags & IFF_UP) == 0 || (!only.empty() && only != i->ifa_name))
            continue;
        out.push_back({reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr,
                       reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr});
    }
    ::freeifaddrs(list);
    return out;
}
