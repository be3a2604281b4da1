// Consecutive main addresses for the devices of a plan.
#pragma once

#include <string>
#include <vector>

#include "link/Record.h"

struct Proposal {
    std::vector<int> Messages;  // the window's message ids for the first address, mask and gateway
    int NotFitting = 0;         // devices left without an address when the subnet ran out
};

// Gives the rows, in their order, consecutive main addresses from first in the
// subnet of mask, skipping every address a row already uses as its main
// address, the gateway, the subnet's network and broadcast addresses, and
// those ending in 0 or 255 (the Network window refuses them as a main
// address).  Mask and gateway (when not empty) fill MASK and GWAY where a row
// reports them.  Nothing changes when Messages is not empty.
Proposal ProposeAddresses(std::vector<TDeviceRec>& rows, const std::string& first, const std::string& mask,
                          const std::string& gateway);
