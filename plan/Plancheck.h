// A plan read and checked in full against the devices found, before anything
// is sent: every problem of every row, not just the first.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "link/Record.h"

// The largest plan read: far more than 256 devices' worth of settings.
constexpr size_t PLAN_MAX_BYTES = 4 * 1024 * 1024;

struct PlanProblem {
    int Row;          // the record's number in the plan, the header being row 1
    std::string Mac;  // the device's MAC when the row names one that answered
    std::string Text;
    std::string Key = {};  // the column it concerns, when it concerns one
};

struct KeyChange {
    int Key;
    std::string Old, New;  // Latin-1; New as it goes out
};

struct PlannedDevice {
    int Row = 0;
    int TableRow = -1;  // the device's row in the table that was searched
    TDeviceRec Current{};
    std::map<int, std::string> Values;  // setting key -> planned value (Latin-1), for non-empty cells
    std::vector<KeyChange> Changes;     // in column order; empty: the device already holds the plan

    bool ChangesKind(int kind) const;
};

struct CheckedPlan {
    std::vector<PlannedDevice> Devices;  // in plan order
    std::vector<PlanProblem> Problems;   // in row order; not empty: nothing may be sent
};

// records: the plan's CSV records, header first, cells in UTF-8.  found: the
// table's rows after a search, index = table row; doubts: beside them, why a
// row's device cannot be sent to (TmTable::RowDoubt), "" when it can.
CheckedPlan CheckPlan(const std::vector<std::vector<std::string>>& records, const std::vector<TDeviceRec>& found,
                      const std::vector<std::string>& doubts = {});

// The kind of SET that carries a setting key; -1 for any other key.
int KindOf(int key);

// Whether two address texts name one address (texts that are no address:
// whether they are equal).
bool SameAddress(const std::string& a, const std::string& b);

// A value as a SET carries it: addresses without blanks.
std::string SentForm(int key, const std::string& value);

// The values a row changes of one kind over the device's current ones, as the
// kind's window would have them when OK is pressed: the messages of its checks.
// EditRec filled as that window fills it before it sends; empty when refused.
void FillEditRec(const PlannedDevice& device, int kind, TDeviceRec& edit);
