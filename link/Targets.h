// Targets: IPv4 addresses that every enquiry and every SET goes to as well as
// the broadcasts, so that devices behind a router are reached by a directed
// broadcast (10.1.2.255) or by their own address.
#pragma once

#include <netinet/in.h>

#include <string>
#include <vector>

#include "link/Netlib.h"

// Every target gets a copy of every frame, paced by the worker's step: beyond
// this many a search could no longer keep up, and frames to addresses nobody
// answers fill the socket's queue.
constexpr size_t MAX_TARGETS = 64;

struct TargetList {
    std::vector<in_addr_t> Addresses;  // network byte order, in the order given, no repeats
    std::vector<std::string> Bad;      // the entries that are no target (TargetProblem)
    size_t TooMany = 0;                // good entries left out beyond MAX_TARGETS
};

// Dotted-quad text only (four decimal parts); 0.0.0.0 is no destination, nor
// is a multicast or a loopback address.
bool ParseTarget(const std::string& text, in_addr_t& address);
// Why the text is no target, in words; "" when it is one.
std::string TargetProblem(const std::string& text);

struct ReachedTargets {
    std::vector<in_addr_t> Kept;
    std::vector<std::string> Notes;  // one for each target left out, saying why
};
// The broadcasts already reach 255.255.255.255 and every address of the
// subnets they leave on (a directed broadcast, a device's own address there):
// such a target would only give every device every frame twice, and every SET
// twice.  reached: the subnets of the interfaces the broadcasts leave by.
ReachedTargets SkipReached(const std::vector<in_addr_t>& targets, const std::vector<LocalSubnet>& reached);

// Entries separated by blanks, as the settings file keeps them; each text of
// the list may itself hold several.
TargetList ParseTargets(const std::vector<std::string>& texts);
