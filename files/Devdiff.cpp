#include "files/Devdiff.h"

#include <cstring>
#include <map>
#include <set>

#include "files/Plancsv.h"
#include "link/Protocol.h"

namespace {
std::string Mac(const TDeviceRec& r) { return PlanCell(r, KEY_MAC); }

std::vector<DiffChange> Compare(const TDeviceRec& a, const TDeviceRec& b) {
    std::vector<DiffChange> out;
    const auto compare = [&](int key) {
        const std::string before = PlanCell(a, key), after = PlanCell(b, key);
        if (before != after) out.push_back({KeyFields[key].Name, before, after});
    };
    for (int key : {KEY_MODEL, KEY_TARCID, KEY_SERIAL}) compare(key);
    for (int key : FileOrder) {
        if ((key == KEY_YMDHM || key == KEY_GMT) && !(HasKey(a, key) && HasKey(b, key))) continue;
        compare(key);
    }
    return out;
}
}  // namespace

std::vector<DeviceDiff> DiffDevices(const std::vector<TDeviceRec>& before, const std::vector<TDeviceRec>& after) {
    std::map<std::string, size_t> inAfter;
    for (size_t i = 0; i < after.size(); ++i) inAfter.emplace(Mac(after[i]), i);
    std::set<std::string> inBefore;
    std::vector<DeviceDiff> out;
    for (const TDeviceRec& r : before) {
        const std::string mac = Mac(r);
        inBefore.insert(mac);
        const auto it = inAfter.find(mac);
        if (it == inAfter.end()) {
            out.push_back({DeviceDiff::Gone, mac, {}});
            continue;
        }
        std::vector<DiffChange> changes = Compare(r, after[it->second]);
        if (!changes.empty()) out.push_back({DeviceDiff::Changed, mac, std::move(changes)});
    }
    for (const TDeviceRec& r : after)
        if (inBefore.count(Mac(r)) == 0) out.push_back({DeviceDiff::New, Mac(r), {}});
    return out;
}

const char* DiffKindName(DeviceDiff::Kind kind) {
    switch (kind) {
        case DeviceDiff::Gone: return "GONE";
        case DeviceDiff::New: return "NEW";
        default: return "CHANGED";
    }
}
