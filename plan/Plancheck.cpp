#include "plan/Plancheck.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "rules/Netcheck.h"
#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "rules/Setvalues.h"

int KindOf(int key) {
    return KeyFields[key].ChangeBit == CHG_NETWORK ? KIND_NETWORK
           : KeyFields[key].ChangeBit == CHG_INFO  ? KIND_DEVINFO
                                                   : -1;
}

namespace {
bool IsIdentity(int key) { return key == KEY_MAC || key == KEY_SERIAL || key == KEY_MODEL || key == KEY_TARCID; }

struct Columns {
    std::vector<int> Keys;  // per cell of a record, -1 for an unknown column
    int KeyColumn = -1;     // the cell that names the device
    int Key = -1;           // KEY_MAC or KEY_SERIAL
};

Columns ReadHeader(const std::vector<std::string>& header, std::vector<PlanProblem>& problems) {
    Columns c;
    std::vector<bool> seen(KEY_COUNT, false);
    for (size_t i = 0; i < header.size(); ++i) {
        const int key = PlanColumnKey(header[i]);
        if (key < 0)
            problems.push_back({1, {}, "unknown column \"" + header[i] + "\"", header[i]});
        else if (seen[static_cast<size_t>(key)])
            problems.push_back({1, {}, "column " + header[i] + " appears twice", header[i]});
        else
            seen[static_cast<size_t>(key)] = true;
        c.Keys.push_back(key);
    }
    for (int want : {KEY_SERIAL, KEY_MAC}) {
        const auto at = std::find(c.Keys.begin(), c.Keys.end(), want);
        if (at != c.Keys.end()) {
            c.KeyColumn = static_cast<int>(at - c.Keys.begin());
            c.Key = want;
        }
    }
    if (c.Key < 0) problems.push_back({1, {}, "the plan has neither a MAC nor a SERIAL column"});
    return c;
}

// The found devices whose key column value is this one; a MAC in any letter
// case, as the set- commands take it.
std::vector<int> Matches(const std::vector<TDeviceRec>& found, int key, const std::string& value) {
    std::vector<int> rows;
    for (size_t i = 0; i < found.size(); ++i) {
        const std::string cell = PlanCell(found[i], key);
        if (key == KEY_MAC ? cell.size() == value.size() && strncasecmp(cell.c_str(), value.c_str(), cell.size()) == 0
                           : cell == value)
            rows.push_back(static_cast<int>(i));
    }
    return rows;
}

// Reads one record into a device; false (with its problems) when it names none.
bool ReadRow(const std::vector<std::string>& cells, int rowNumber, const Columns& columns,
             const std::vector<TDeviceRec>& found, const std::vector<std::string>& doubts, PlannedDevice& d,
             std::vector<PlanProblem>& problems) {
    if (cells.size() != columns.Keys.size()) {
        problems.push_back({rowNumber, {}, "has " + std::to_string(cells.size()) + " cells, the header " +
                                               std::to_string(columns.Keys.size())});
        return false;
    }
    const char* keyName = KeyFields[columns.Key].Name;
    const std::string name = cells[static_cast<size_t>(columns.KeyColumn)];
    if (name.empty()) {
        problems.push_back({rowNumber, {}, std::string("no ") + keyName, keyName});
        return false;
    }
    const std::vector<int> rows = Matches(found, columns.Key, Latin1FromUtf8(name).value_or(name));
    if (rows.size() != 1) {
        problems.push_back({rowNumber, {}, rows.empty() ? std::string("no device with ") + keyName + " " + name +
                                                             " answered"
                                                       : "serial " + name + " is shared by " +
                                                             std::to_string(rows.size()) + " devices",
                            keyName});
        return false;
    }
    d.Row = rowNumber;
    d.TableRow = rows.front();
    d.Current = found[static_cast<size_t>(d.TableRow)];
    const std::string mac = PlanCell(d.Current, KEY_MAC);
    // Another host, or a second device with this MAC, answers too.
    if (static_cast<size_t>(d.TableRow) < doubts.size() && !doubts[static_cast<size_t>(d.TableRow)].empty())
        problems.push_back({rowNumber, mac, doubts[static_cast<size_t>(d.TableRow)]});
    for (size_t i = 0; i < cells.size(); ++i) {
        const int key = columns.Keys[i];
        if (key < 0 || cells[i].empty() || static_cast<int>(i) == columns.KeyColumn) continue;
        const std::optional<std::string> value = Latin1FromUtf8(cells[i]);
        const std::string current = PlanCell(d.Current, key);
        if (!value) {
            problems.push_back({rowNumber, mac, std::string(KeyFields[key].Name) + ": not a Latin-1 text", KeyFields[key].Name});
        } else if (IsIdentity(key)) {
            // A row shifted against its MAC would set another device's values.
            if (key == KEY_MAC ? Matches({d.Current}, key, *value).empty() : *value != current)
                problems.push_back({rowNumber, mac, std::string(KeyFields[key].Name) +
                                                        " cannot be set; the device reports \"" +
                                                        Utf8FromLatin1(current) + "\"",
                                    KeyFields[key].Name});
        } else {
            d.Values[key] = *value;
        }
    }
    return true;
}

void FindChanges(PlannedDevice& d) {
    for (int key : PlanColumns) {
        const auto planned = d.Values.find(key);
        if (planned == d.Values.end()) continue;
        const std::string sent = SentForm(key, planned->second), current = PlanCell(d.Current, key);
        if (sent != current) d.Changes.push_back({key, current, sent});
    }
}

// The keys of a kind that the row changes: the others are as the device keeps
// them, as edits nobody touched.
SetValues Requested(const PlannedDevice& d, int kind) {
    SetValues values;
    for (const KeyChange& c : d.Changes)
        if (KindOf(c.Key) == kind) values[KeyFields[c.Key].Name] = d.Values.at(c.Key);
    return values;
}

// The main address a device ends with: the planned one, or the one it has.
std::string FinalAddress(const PlannedDevice* planned, const TDeviceRec& device) {
    if (planned != nullptr) {
        const auto it = planned->Values.find(KEY_IPADRM);
        if (it != planned->Values.end()) return SentForm(KEY_IPADRM, it->second);
    }
    return PlanCell(device, KEY_IPADRM);
}

// Two devices must not end with one main address, unless neither is moved.
void CheckAddresses(const std::vector<PlannedDevice>& devices, const std::vector<TDeviceRec>& found,
                    std::vector<PlanProblem>& problems) {
    std::vector<const PlannedDevice*> plannedFor(found.size(), nullptr);
    for (const PlannedDevice& d : devices) plannedFor[static_cast<size_t>(d.TableRow)] = &d;
    const auto moved = [](const PlannedDevice* d) {
        return d != nullptr && std::any_of(d->Changes.begin(), d->Changes.end(),
                                           [](const KeyChange& c) { return c.Key == KEY_IPADRM; });
    };
    for (const PlannedDevice& d : devices) {
        if (!moved(&d)) continue;
        const std::string mine = FinalAddress(&d, d.Current);
        for (size_t other = 0; other < found.size(); ++other) {
            if (static_cast<int>(other) == d.TableRow) continue;
            const PlannedDevice* o = plannedFor[other];
            if (!SameAddress(mine, FinalAddress(o, found[other]))) continue;
            // Between two moved devices the later row reports it, once.
            if (moved(o) && o->Row > d.Row) continue;
            const std::string otherMac = PlanCell(found[other], KEY_MAC);
            problems.push_back({d.Row, PlanCell(d.Current, KEY_MAC),
                                "IPADRM " + mine +
                                    (moved(o) ? " is planned for row " + std::to_string(o->Row) + " (" + otherMac + ") too"
                                              : " is the main address of " + otherMac + ", which the plan does not move"),
                                "IPADRM"});
        }
    }
}
}  // namespace

bool SameAddress(const std::string& a, const std::string& b) {
    uint32_t va = 0, vb = 0;
    if (ParseIpv4(a, va) && ParseIpv4(b, vb)) return va == vb;
    return a == b;
}

bool PlannedDevice::ChangesKind(int kind) const {
    return std::any_of(Changes.begin(), Changes.end(), [kind](const KeyChange& c) { return KindOf(c.Key) == kind; });
}

std::string SentForm(int key, const std::string& value) {
    if (!KeyFields[key].StripsBlanks) return value;
    std::string out = value;
    out.erase(std::remove(out.begin(), out.end(), ' '), out.end());
    return out;
}

CheckedPlan CheckPlan(const std::vector<std::vector<std::string>>& records, const std::vector<TDeviceRec>& found,
                      const std::vector<std::string>& doubts) {
    CheckedPlan plan;
    if (records.empty()) {
        plan.Problems.push_back({1, {}, "the plan is empty: it needs a header row"});
        return plan;
    }
    const Columns columns = ReadHeader(records.front(), plan.Problems);
    if (columns.Key < 0) return plan;
    std::vector<int> rowOf(found.size(), 0);
    for (size_t i = 1; i < records.size(); ++i) {
        const int rowNumber = static_cast<int>(i) + 1;
        // Spreadsheets end some files with rows of empty cells.
        if (std::all_of(records[i].begin(), records[i].end(), [](const std::string& c) { return c.empty(); })) continue;
        PlannedDevice d;
        if (!ReadRow(records[i], rowNumber, columns, found, doubts, d, plan.Problems)) continue;
        int& first = rowOf[static_cast<size_t>(d.TableRow)];
        if (first != 0) {
            plan.Problems.push_back({rowNumber, PlanCell(d.Current, KEY_MAC),
                                     "the same device as row " + std::to_string(first)});
            continue;
        }
        first = rowNumber;
        FindChanges(d);
        for (int kind : {KIND_NETWORK, KIND_DEVINFO}) {
            if (!d.ChangesKind(kind)) continue;  // nothing of this kind goes out, so no window would judge it
            for (const SetProblem& p : CheckSet(kind, Requested(d, kind), d.Current).Problems)
                plan.Problems.push_back({rowNumber, PlanCell(d.Current, KEY_MAC), p.Text, p.Key});
        }
        plan.Devices.push_back(std::move(d));
    }
    CheckAddresses(plan.Devices, found, plan.Problems);
    std::stable_sort(plan.Problems.begin(), plan.Problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) { return a.Row < b.Row; });
    return plan;
}

void FillEditRec(const PlannedDevice& device, int kind, TDeviceRec& edit) {
    edit = CheckSet(kind, Requested(device, kind), device.Current).Edit;
}
