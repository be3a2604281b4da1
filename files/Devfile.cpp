#include "files/Devfile.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "link/Protocol.h"

namespace {
void PutText(std::vector<uint8_t>& out, const char* key, std::string_view value) {
    out.insert(out.end(), key, key + std::strlen(key));
    out.push_back(':');
    out.insert(out.end(), value.begin(), value.end());
    out.push_back(ITEM_END);
}

void PutItem(std::vector<uint8_t>& out, const TDeviceRec& r, int key) {
    PutText(out, KeyFields[key].Name, FieldText(r, key));
}
}  // namespace

std::vector<uint8_t> DeviceFileBytes(const std::vector<TDeviceRec>& rows) {
    std::vector<uint8_t> out;
    out.reserve(rows.size() * 128);
    for (const TDeviceRec& r : rows) {
        out.push_back(STX);
        // The MAC is always 17 bytes at offsets 5 to 21, which the reader relies on.
        PutText(out, "MAC", "");
        out.insert(out.end() - 1, r.MAC, r.MAC + MAC_LEN);
        PutItem(out, r, KEY_MODEL);
        PutItem(out, r, KEY_TARCID);
        PutItem(out, r, KEY_SERIAL);
        for (int key : FileOrder)
            if (HasKey(r, key)) PutItem(out, r, key);
        out.push_back(ETX);
    }
    return out;
}

DeviceFileRead TakeDeviceFileBytes(TmTable& table, std::span<const uint8_t> bytes) {
    DeviceFileRead r;
    table.TakeLeftOut();  // what a search left out is no part of this file
    std::set<std::string> leftOut;  // a device the file names twice is one device
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != ETX) continue;
        const std::span<const uint8_t> frame = bytes.subspan(start, i - start + 1);
        start = i + 1;
        if (table.TakeAnswer(frame.data(), static_cast<uint16_t>(std::min<size_t>(frame.size(), 0xFFFF)))) ++r.Frames;
        else if (table.TakeLeftOut() > 0) leftOut.emplace(reinterpret_cast<const char*>(frame.data() + 5), MAC_LEN);
    }
    r.LeftOut = leftOut.size();
    if (r.Frames == 0 && !bytes.empty()) r.Outcome = DeviceFileOutcome::NotDeviceFile;
    return r;
}

DeviceFileRead LoadDeviceFile(TmTable& table, const std::string& path) {
    const FileRead file = ReadCappedFile(path, DEVICE_FILE_MAX);
    if (file.Outcome != ReadOutcome::Read) return {DeviceFileOutcome::CannotRead, file.Reason, 0, 0};
    // Tried on a table of its own first, so a foreign file leaves the list as it was.
    TmTable trial;
    if (TakeDeviceFileBytes(trial, file.Bytes).Outcome != DeviceFileOutcome::Read)
        return {DeviceFileOutcome::NotDeviceFile, "it is not a device file", 0, 0};
    table.DeleteRow(NO_ROW);
    table.SetNoAddUnknown(false);
    return TakeDeviceFileBytes(table, file.Bytes);
}

// Replaced only once the new list is whole, so a full disk or a refused write
// never costs the list already saved.
FileSave SaveDeviceFile(const TmTable& table, const std::string& path) {
    return ReplaceFile(path, DeviceFileBytes(table.Rows()));
}
