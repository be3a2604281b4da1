#include "files/Devdiff.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "files/Diskfile.h"
#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "link/Table.h"

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

DeviceFileRead LoadDeviceRows(const std::string& path, std::vector<TDeviceRec>& rows) {
    const FileRead file = ReadCappedFile(path, DEVICE_FILE_MAX);
    if (file.Outcome != ReadOutcome::Read) return {DeviceFileOutcome::CannotRead, file.Reason, 0, 0};
    // The file is taken a table at a time: a table that is full hands on its
    // rows and starts afresh with the frame it could not take.
    const std::span<const uint8_t> bytes(file.Bytes);
    DeviceFileRead read;
    rows.clear();
    TmTable table;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != ETX) continue;
        const std::span<const uint8_t> frame = bytes.subspan(start, i - start + 1);
        start = i + 1;
        const auto length = static_cast<uint16_t>(std::min<size_t>(frame.size(), 0xFFFF));
        bool taken = table.TakeAnswer(frame.data(), length);
        if (!taken && table.TakeLeftOut() > 0) {
            const std::vector<TDeviceRec> full = table.Rows();
            rows.insert(rows.end(), full.begin(), full.end());
            table.DeleteRow(NO_ROW);
            taken = table.TakeAnswer(frame.data(), length);
        }
        if (taken) ++read.Frames;
    }
    const std::vector<TDeviceRec> rest = table.Rows();
    rows.insert(rows.end(), rest.begin(), rest.end());
    if (read.Frames == 0 && !bytes.empty()) return {DeviceFileOutcome::NotDeviceFile, "it is not a device file", 0, 0};
    return read;
}
