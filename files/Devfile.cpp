// Device files: one answer frame per row, in row order, nothing else.
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "Diskfile.h"
#include "File.h"
#include "Protocol.h"

namespace {
void PutText(std::vector<uint8_t>& out, const char* key, const char* value, size_t width) {
    out.insert(out.end(), key, key + std::strlen(key));
    out.push_back(':');
    out.insert(out.end(), value, value + strnlen(value, width));
    out.push_back(ITEM_END);
}

void PutItem(std::vector<uint8_t>& out, const TDeviceRec& r, int key) {
    PutText(out, KeyFields[key].Name, FieldOf(r, key), static_cast<size_t>(KeyFields[key].Width));
}

}  // namespace

std::vector<uint8_t> DeviceFileBytes(const std::vector<TDeviceRec>& rows) {
    std::vector<uint8_t> out;
    out.reserve(rows.size() * 128);
    for (const TDeviceRec& r : rows) {
        out.push_back(STX);
        // The MAC is always 17 bytes at offsets 5 to 21, which the reader relies on.
        PutText(out, "MAC", "", 0);
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

// Replaced only once the new list is whole, so a full disk or a refused write
// never costs the list already saved.
bool TmFile::WriteDeviceFile(const std::string& path) const {
    return ReplaceFile(path, DeviceFileBytes(Table.Rows())).Saved;
}

void TmFile::ReadDeviceFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return;  // not read whole: nothing is stored
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != ETX) continue;
        const size_t length = i - start + 1;
        Table.TakeAnswer(bytes.data() + start, static_cast<uint16_t>(length > 0xFFFF ? 0xFFFF : length));
        start = i + 1;
    }
}
