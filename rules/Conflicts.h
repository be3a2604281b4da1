// What is wrong with a list of devices as found: addresses two devices share,
// devices this computer cannot reach without a router, and gateways a device
// cannot reach itself.  Pure logic: the local subnets are handed in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/Netlib.h"
#include "link/Record.h"

// One list of reasons per row, in row order; an empty list when nothing is
// wrong.  Fields that are empty or no address are not judged.
std::vector<std::vector<std::string>> FindConflicts(const std::vector<TDeviceRec>& rows,
                                                    const std::vector<LocalSubnet>& local);

class TmTable;
// FindConflicts of the table's rows, each row's doubt (TmTable::RowDoubt:
// answers for its MAC from two addresses or with two serials) first.
std::vector<std::vector<std::string>> TableConflicts(const TmTable& table, const std::vector<LocalSubnet>& local);

// How many rows have at least one reason.
size_t CountFlagged(const std::vector<std::vector<std::string>>& problems);
