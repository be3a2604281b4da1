#include "Table.h"

#include <algorithm>
#include <cstring>

namespace {
// The longest item a 512-byte frame can hold after its 23-byte header.  An item
// longer than this is dropped whole rather than parsed from a cut copy.
constexpr size_t ITEM_BUF = FRAME_MAX;
constexpr size_t VALUE_CAP = 256;
constexpr size_t ITEMS_AT = 23;

bool Live(int row, int count) { return row >= 0 && row < count; }

// Whether a stored field equals the value zero-padded to the field's width.
// Most fields are a few bytes wide and compared inline; the wide text fields
// go to memcmp.
bool SameAsPadded(const char* field, const uint8_t* value, size_t cut, size_t width) {
    const auto* f = reinterpret_cast<const uint8_t*>(field);
    if (width <= 16) {
        uint8_t diff = 0;
        for (size_t i = 0; i < cut; ++i) diff |= static_cast<uint8_t>(f[i] ^ value[i]);
        for (size_t i = cut; i < width; ++i) diff |= f[i];
        return diff == 0;
    }
    static const uint8_t kZeros[256] = {};
    return std::memcmp(f, value, cut) == 0 && std::memcmp(f + cut, kZeros, width - cut) == 0;
}
}  // namespace

TmTable::TmTable() : Rec(new TDeviceRec[TABLE_SLOTS]()) { InitKeys(); }

void TmTable::InitKeys() {
    for (int i = 0; i < KEY_COUNT; ++i) {
        std::strncpy(KeyTable[i].Name, KeyFields[i].Name, sizeof KeyTable[i].Name - 1);
        KeyTable[i].Len = static_cast<uint8_t>(std::strlen(KeyFields[i].Name));
        KeyTable[i].Code = KeyFields[i].Code;
    }
    SelectedRow = NO_ROW;
}

int TmTable::FindRowLocked(const char* mac) const {
    for (int i = 0; i < Count_; ++i) {
        if (std::memcmp(Rec[i].MAC, mac, MAC_LEN) == 0) return i;
    }
    return -1;
}

int TmTable::FindRow(const char* mac) const {
    std::lock_guard<std::mutex> g(Lock);
    return FindRowLocked(mac);
}

bool TmTable::TakeAnswer(const uint8_t* data, uint16_t length) {
    std::lock_guard<std::mutex> g(Lock);
    return TakeAnswerLocked(data, length);
}

bool TmTable::MergeAnswer(const uint8_t* data, uint16_t length) {
    std::lock_guard<std::mutex> g(Lock);
    DateAnswered_ = false;
    if (!TakeAnswerLocked(data, length)) return false;
    if (DateAnswered_) Rec[CurRow].Status = STATUS_ACK;
    return true;
}

bool TmTable::TakeAnswerLocked(const uint8_t* data, uint16_t length) {
    ChangeMask_ = 0;
    if (data == nullptr || length < ITEMS_AT || std::memcmp(data + 1, "MAC", 3) != 0) return false;
    const char* mac = reinterpret_cast<const char*>(data + 5);
    int row = FindRowLocked(mac);
    if (row < 0) {
        if (NoAddUnknown_ || Count_ >= TABLE_SLOTS) return false;
        ChangeMask_ = CHG_DEVICE;
        row = Count_++;
        // A slot left by a deleted row starts empty, so no stale flag of the
        // old device decides what a later SET sends to this one.
        Rec[row] = TDeviceRec{};
    }
    std::memcpy(Rec[row].MAC, mac, MAC_LEN);
    CurRow = row;
    ParseItems(data + ITEMS_AT, static_cast<uint16_t>(length - ITEMS_AT));
    Pending_ |= ChangeMask_;
    ++Merged_;
    return true;
}

bool TmTable::ParseItems(const uint8_t* data, uint16_t length) {
    // Items are taken in place, each up to its 0xFF; the bytes after the last
    // 0xFF are no item.  One longer than the item buffer a frame can fill is
    // dropped whole rather than parsed from a cut copy.
    const uint8_t* p = data;
    const uint8_t* const end = data + length;
    while (p < end) {
        const auto* stop = static_cast<const uint8_t*>(std::memchr(p, ITEM_END, static_cast<size_t>(end - p)));
        if (stop == nullptr) break;
        const size_t n = static_cast<size_t>(stop - p) + 1;
        if (n <= ITEM_BUF) ParseItem(p, n);
        p = stop + 1;
    }
    return true;
}

bool TmTable::ParseItem(const uint8_t* item, size_t length) {
    const size_t body = length - 1;  // without the closing 0xFF
    const void* colon = std::memchr(item, ':', body);
    if (colon == nullptr) return false;
    const size_t keyLen = static_cast<size_t>(static_cast<const uint8_t*>(colon) - item);
    const int key = FindKey(KeyTable, reinterpret_cast<const char*>(item), keyLen);
    if (key < 0) return false;
    const uint8_t* value = item + keyLen + 1;
    const size_t valueLen = std::min(body - keyLen - 1, VALUE_CAP);

    const KeyField& f = KeyFields[key];
    if (key == KEY_INFO) {
        if (valueLen >= 4 && std::memcmp(value, "DATE", 4) == 0) DateAnswered_ = true;
        return true;
    }
    if (f.Width == 0) return true;  // MAC as an item: the header carries it

    TDeviceRec& r = Rec[CurRow];
    if (uint8_t* flag = FlagOf(r, key)) *flag = 1;
    char* field = FieldOf(r, key);
    const size_t width = static_cast<size_t>(f.Width);
    const size_t cut = std::min(valueLen, width);
    if (SameAsPadded(field, value, cut, width)) return true;
    UpdateChangeMaskLocked(f.ChangeBit, true, true);
    std::memcpy(field, value, cut);
    std::memset(field + cut, 0, width - cut);
    return true;
}

void TmTable::SetStatus(uint32_t code, const char* mac) {
    std::lock_guard<std::mutex> g(Lock);
    const int row = FindRowLocked(mac);
    if (row >= 0) Rec[row].Status = code;
}

void TmTable::SetRowStatus(int row, uint32_t code) {
    std::lock_guard<std::mutex> g(Lock);
    if (Live(row, Count_)) Rec[row].Status = code;
}

uint32_t TmTable::RowStatus(int row) const {
    std::lock_guard<std::mutex> g(Lock);
    return Live(row, Count_) ? Rec[row].Status : STATUS_NONE;
}

int TmTable::Count() const {
    std::lock_guard<std::mutex> g(Lock);
    return Count_;
}

bool TmTable::CopyRow(int row, TDeviceRec& out) const {
    std::lock_guard<std::mutex> g(Lock);
    if (!Live(row, Count_)) return false;
    out = Rec[row];
    return true;
}

std::vector<TDeviceRec> TmTable::Rows() const {
    std::lock_guard<std::mutex> g(Lock);
    return std::vector<TDeviceRec>(Rec.get(), Rec.get() + Count_);
}

std::vector<GridRow> TmTable::GridRows() const {
    std::lock_guard<std::mutex> g(Lock);
    std::vector<GridRow> rows(static_cast<size_t>(Count_));
    for (int i = 0; i < Count_; ++i) {
        GridRow& g2 = rows[static_cast<size_t>(i)];
        std::memcpy(g2.MAC, Rec[i].MAC, sizeof g2.MAC);
        std::memcpy(g2.MODEL, Rec[i].MODEL, sizeof g2.MODEL);
        std::memcpy(g2.TARCID, Rec[i].TARCID, sizeof g2.TARCID);
        std::memcpy(g2.SERIAL, Rec[i].SERIAL, sizeof g2.SERIAL);
        std::memcpy(g2.IPADRM, Rec[i].IPADRM, sizeof g2.IPADRM);
    }
    return rows;
}

bool TmTable::EditRow(int row, const std::function<void(TDeviceRec&)>& edit) {
    std::lock_guard<std::mutex> g(Lock);
    if (!Live(row, Count_)) return false;
    edit(Rec[row]);
    return true;
}

void TmTable::DeleteRow(int row) {
    std::lock_guard<std::mutex> g(Lock);
    if (row == NO_ROW) {
        Count_ = 0;
        std::fill(Rec.get(), Rec.get() + TABLE_SLOTS, TDeviceRec{});
        return;
    }
    if (row < 1 || row > Count_) return;
    std::copy(Rec.get() + row, Rec.get() + Count_, Rec.get() + row - 1);
    --Count_;
}

uint32_t TmTable::ChangeMask() const {
    std::lock_guard<std::mutex> g(Lock);
    return ChangeMask_;
}

bool TmTable::UpdateChangeMask(uint32_t bits, bool apply, bool set) {
    std::lock_guard<std::mutex> g(Lock);
    if (apply && !set) Pending_ &= ~bits;
    return UpdateChangeMaskLocked(bits, apply, set);
}

bool TmTable::UpdateChangeMaskLocked(uint32_t bits, bool apply, bool set) {
    if (apply) {
        if (set) ChangeMask_ |= bits;
        else ChangeMask_ &= ~bits;
    }
    return ChangeMask_ != 0;
}

uint64_t TmTable::Merged() const {
    std::lock_guard<std::mutex> g(Lock);
    return Merged_;
}

uint32_t TmTable::TakeChanges() {
    std::lock_guard<std::mutex> g(Lock);
    const uint32_t bits = Pending_;
    Pending_ = 0;
    return bits;
}

void TmTable::SetNoAddUnknown(bool value) {
    std::lock_guard<std::mutex> g(Lock);
    NoAddUnknown_ = value;
}

bool TmTable::NoAddUnknown() const {
    std::lock_guard<std::mutex> g(Lock);
    return NoAddUnknown_;
}

uint16_t TmTable::BuildSet(int row, int kind, bool broadcast) {
    std::lock_guard<std::mutex> g(Lock);
    if (!Live(row, Count_)) return 0;
    TDeviceRec& r = Rec[row];
    SendBuf_[0] = STX;
    std::memcpy(SendBuf_ + 1, "SET:", 4);
    std::memcpy(SendBuf_ + 5, broadcast ? BROADCAST_MAC : r.MAC, MAC_LEN);
    SendBuf_[22] = ITEM_END;
    r.HasGPID = 1;

    size_t pos = ITEMS_AT;
    bool overflow = false;
    for (const int* k = SetKeysOf(kind); *k >= 0; ++k) {
        if (HasKey(r, *k)) pos += PutItem(*k, pos, overflow);
        if (overflow) return 0;
    }
    if (pos == ITEMS_AT) return 0;
    SendBuf_[pos] = ETX;
    return static_cast<uint16_t>(pos + 1);
}

size_t TmTable::PutItem(int key, size_t pos, bool& overflow) {
    const KeyField& f = KeyFields[key];
    char* value = FieldOf(EditRec, key);
    const size_t width = static_cast<size_t>(f.Width);
    size_t textLen = 0;
    if (f.StripsBlanks) {
        textLen = StripBlanks(value, width);
    } else {
        while (textLen < width && value[textLen] != '\0') ++textLen;
    }
    if (textLen == 0) return 0;
    // TERM and LOG always travel as four bytes, NULs included.
    const size_t valueLen = (key == KEY_TERM || key == KEY_LOG) ? 4 : textLen;
    const size_t keyLen = KeyTable[key].Len;
    const size_t itemLen = keyLen + 1 + valueLen + 1;
    if (pos + itemLen + 1 > SEND_MAX) {  // +1 for the closing ETX
        overflow = true;
        return 0;
    }
    uint8_t* out = SendBuf_ + pos;
    std::memcpy(out, f.Name, keyLen);
    out[keyLen] = ':';
    std::memcpy(out + keyLen + 1, value, valueLen);
    out[itemLen - 1] = ITEM_END;
    return itemLen;
}
