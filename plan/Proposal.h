// Consecutive main addresses for the devices of a plan.
#pragma once

#include <string>
#include <vector>

#include "link/Record.h"

struct Proposal {
    std::vector<std::string> Problems;  // what is wrong with the first address, mask and gateway, in words
    int NotFitting = 0;                 // devices left without an address when the subnet ran out
};

// What the Network window and the SET unit say of the first address, mask and
// gateway (empty: none), the texts filled in; empty when they may be used.
// Needs no device, so it runs before any traffic.
std::vector<std::string> CheckProposal(const std::string& first, const std::string& mask, const std::string& gateway);

// Gives the rows, in their order, consecutive main addresses from first in the
// subnet of mask, skipping every address a row already uses as its main
// address, the gateway, the subnet's network and broadcast addresses, and
// those ending in 0 or 255 (the Network window refuses them as a main
// address).  A row that reports no main address gets none.  Mask and gateway
// (when not empty) fill MASK and GWAY where a row reports them.  Nothing
// changes when Problems is not empty.
Proposal ProposeAddresses(std::vector<TDeviceRec>& rows, const std::string& first, const std::string& mask,
                          const std::string& gateway);
