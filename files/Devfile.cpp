// Device files: one answer frame per row, in row order, nothing else.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

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

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
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

// The new list goes to a file beside the old one and replaces it only once it
// is whole, so a full disk or a refused write never costs the list already saved.
bool TmFile::WriteDeviceFile(const std::string& path) const {
    const std::vector<uint8_t> bytes = DeviceFileBytes(Table.Rows());
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
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
