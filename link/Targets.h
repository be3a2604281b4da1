// Targets: IPv4 addresses that every enquiry and every SET goes to as well as
// the broadcasts, so that devices behind a router are reached by a directed
// broadcast (10.1.2.255) or by their own address.
#pragma once

#include <netinet/in.h>

#include <string>
#include <vector>

struct TargetList {
    std::vector<in_addr_t> Addresses;  // network byte order, in the order given, no repeats
    std::vector<std::string> Bad;      // the entries that are no IPv4 address
};

// Dotted-quad text only (four decimal parts); 0.0.0.0 is no destination.
bool ParseTarget(const std::string& text, in_addr_t& address);

// Entries separated by blanks, as the settings file keeps them; each text of
// the list may itself hold several.
TargetList ParseTargets(const std::vector<std::string>& texts);
