#include "link/Table.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace {
// The longest item a 512-byte frame can hold after its 23-byte header.  An item
// longer than this is dropped whole rather than parsed from a cut copy.
constexpr size_t ITEM_BUF = FRAME_MAX;
constexpr size_t VALUE_CAP = 256;

bool Live(int row, int count) { return row >= 0 && row < count; }

// Whether a word holds a byte below 4.
bool ByteBelow4(uint64_t x) { return ((x - 4 * WORD_ONES) & ~x & WORD_HIGHS) != 0; }

// Length of a value's text: up to its first NUL, STX or ETX.  A NUL ends a
// field's text anyway, and a device file cannot carry STX or ETX inside a
// value, so a value holding one is cut there as a NUL cuts it.
size_t TextLength(const uint8_t* value, size_t n) {
    size_t i = 0;
    while (i + 8 <= n && !ByteBelow4(Word(value + i))) i += 8;
    if (i + 8 > n && i < n && n >= 8 && !ByteBelow4(Word(value + n - 8))) return n;  // the tail, as one word
    for (; i < n; ++i)
        if (value[i] == 0 || value[i] == STX || value[i] == ETX) return i;
    return n;
}

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

TmTable::TmTable() : Rec(new TDeviceRec[TABLE_SLOTS]()), Origins(new RowOrigin[TABLE_SLOTS]()) {}

int TmTable::FindRowLocked(const char* mac) const { return Macs.Find(mac, Rec.get()); }

int TmTable::FindRow(const char* mac) const {
    std::lock_guard<std::mutex> g(Lock);
    return FindRowLocked(mac);
}

bool TmTable::TakeAnswer(const uint8_t* data, uint16_t length) {
    std::lock_guard<std::mutex> g(Lock);
    return TakeAnswerLocked(ReadFrame(data, length));
}

// Any host can send an acknowledgement with a device's MAC, so once the
// device has answered in this run only its own address is believed.
bool TmTable::FromDevice(int row, const Origin* from) const {
    return from == nullptr || !Origins[row].Heard || Origins[row].Source == from->Source;
}

bool TmTable::MergeAnswer(const FrameView& frame, const Origin* from) {
    std::lock_guard<std::mutex> g(Lock);
    DateAnswered_ = SerialTaken_ = false;
    if (!TakeAnswerLocked(frame)) return false;
    RowOrigin& o = Origins[CurRow];
    if (from != nullptr) Hear(o, *from);
    // A date answer is an acknowledgement too, counted as an ACK is.
    if (DateAnswered_ && (from == nullptr || o.Source == from->Source) && !Doubtful(o)) {
        Rec[CurRow].Status = STATUS_ACK;
        o.Waiting = false;
    }
    return true;
}

// Any host can send an answer with a device's MAC, and two devices can share
// one: a MAC heard from two addresses, or with two serials, in one search
// (or after it) is no device to send to until a search hears it from one
// address alone.  So no answer moves where a device is believed to be,
// except the first of a search and one from the main address a network SET
// has just given it.
void TmTable::Hear(RowOrigin& o, const Origin& from) {
    if (!o.Heard || o.Search != Search_) {
        if (o.Source != from.Source) o.Via = Outlets{};
        o.Heard = true;
        o.Search = Search_;
        o.Source = from.Source;
        o.Other = 0;
        std::memset(o.Serials, 0, sizeof o.Serials);
    } else if (from.Source != o.Source) {
        if (!o.Waiting || o.NewSource != from.Source) {
            o.Other = from.Source;
            return;
        }
        o.Source = from.Source;
        o.Via = Outlets{};
    }
    o.Via.Add(from.IfIndex);
    if (!SerialTaken_) return;
    const char* serial = Rec[CurRow].SERIAL;
    if (o.Serials[0][0] == 0) std::memcpy(o.Serials[0], serial, sizeof o.Serials[0]);
    else if (std::strcmp(o.Serials[0], serial) != 0) std::memcpy(o.Serials[1], serial, sizeof o.Serials[1]);
}

bool TmTable::TakeAnswerLocked(const FrameView& frame) {
    ChangeMask_ = 0;
    if (frame.Word != FrameWord::Mac) return false;
    const char* mac = frame.Mac;
    // A row for the broadcast MAC would send its SETs to every device, and a
    // MAC holding a delimiter could not be saved or sent.
    if (!UsableMac(mac)) return false;
    int row = FindRowLocked(mac);
    if (row < 0) {
        if (NoAddUnknown_) return false;
        if (Count_ >= TABLE_SLOTS) {
            ++LeftOut_;
            return false;
        }
        ChangeMask_ = CHG_DEVICE;
        row = Count_++;
        // A slot left by a deleted row starts empty, so no stale flag of the
        // old device decides what a later SET sends to this one.
        Rec[row] = TDeviceRec{};
        Origins[row] = RowOrigin{};
        std::memcpy(Rec[row].MAC, mac, MAC_LEN);
        Macs.Add(mac, row);
    }
    CurRow = row;
    ParseItems(frame.Items, frame.ItemsLength);
    Pending_ |= ChangeMask_;
    ++Merged_;
    return true;
}

void TmTable::ParseItems(const uint8_t* data, size_t length) {
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
}

bool TmTable::ParseItem(const uint8_t* item, size_t length) {
    const size_t body = length - 1;  // without the closing 0xFF
    const void* colon = std::memchr(item, ':', body);
    if (colon == nullptr) return false;
    const size_t keyLen = static_cast<size_t>(static_cast<const uint8_t*>(colon) - item);
    const int key = FindKey(reinterpret_cast<const char*>(item), keyLen);
    if (key < 0) return false;
    const uint8_t* value = item + keyLen + 1;
    const size_t valueLen = std::min(body - keyLen - 1, VALUE_CAP);

    const KeyField& f = KeyFields[key];
    if (key == KEY_INFO) {
        if (valueLen >= 4 && std::memcmp(value, "DATE", 4) == 0) DateAnswered_ = true;
        return true;
    }
    if (f.Width == 0) return true;  // MAC as an item: the header carries it
    if (key == KEY_SERIAL) SerialTaken_ = true;

    TDeviceRec& r = Rec[CurRow];
    if (uint8_t* flag = FlagOf(r, key)) *flag = 1;
    char* field = FieldOf(r, key);
    const size_t width = static_cast<size_t>(f.Width);
    size_t cut = std::min(valueLen, width);
    // A stored field holds no NUL, STX or ETX before its padding, so a value
    // equal to it has none to cut: the common unchanged answer costs no scan.
    if (SameAsPadded(field, value, cut, width)) return true;
    const size_t text = TextLength(value, cut);
    if (text < cut && SameAsPadded(field, value, text, width)) return true;
    cut = text;
    UpdateChangeMaskLocked(f.ChangeBit, MaskUpdate::Raise);
    std::memcpy(field, value, cut);
    std::memset(field + cut, 0, width - cut);
    return true;
}

void TmTable::SetStatus(uint32_t code, const char* mac, const Origin* from) {
    std::lock_guard<std::mutex> g(Lock);
    const int row = FindRowLocked(mac);
    if (row < 0) return;
    RowOrigin& o = Origins[row];
    // A device given a new main address may acknowledge from there.
    const bool moved = from != nullptr && o.Waiting && o.NewSource != 0 && from->Source == o.NewSource;
    if (Doubtful(o) || (!moved && !FromDevice(row, from))) return;
    Rec[row].Status = code;
    o.Waiting = false;
    if (moved && code == STATUS_ACK) {
        o.Source = from->Source;
        o.Via = Outlets{};
        o.Via.Add(from->IfIndex);
    }
}

Outlets TmTable::RowOutlets(int row) const {
    std::lock_guard<std::mutex> g(Lock);
    return Live(row, Count_) ? Origins[row].Via : Outlets{};
}

uint32_t TmTable::TakeLeftOut() {
    std::lock_guard<std::mutex> g(Lock);
    const uint32_t n = LeftOut_;
    LeftOut_ = 0;
    return n;
}

void TmTable::SetRowStatus(int row, uint32_t code) {
    std::lock_guard<std::mutex> g(Lock);
    if (Live(row, Count_)) Rec[row].Status = code;
}

void TmTable::AwaitAnswer(int row, uint32_t newSource) {
    std::lock_guard<std::mutex> g(Lock);
    if (!Live(row, Count_)) return;
    Rec[row].Status = STATUS_NONE;
    Origins[row].Waiting = true;
    Origins[row].NewSource = newSource;
}

void TmTable::EndWaits() {
    std::lock_guard<std::mutex> g(Lock);
    for (int i = 0; i < Count_; ++i) Origins[i].Waiting = false;
}

void TmTable::BeginSearch() {
    std::lock_guard<std::mutex> g(Lock);
    ++Search_;
    for (int i = 0; i < Count_; ++i) Origins[i].Waiting = false;
}

int TmTable::HeardInSearch() const {
    std::lock_guard<std::mutex> g(Lock);
    int heard = 0;
    for (int i = 0; i < Count_; ++i) heard += Origins[i].Heard && Origins[i].Search == Search_;
    return heard;
}

std::string TmTable::RowDoubt(int row) const {
    std::lock_guard<std::mutex> g(Lock);
    if (!Live(row, Count_)) return {};
    const RowOrigin& o = Origins[row];
    if (o.Other != 0) {
        char a[INET_ADDRSTRLEN], b[INET_ADDRSTRLEN];
        ::inet_ntop(AF_INET, &o.Source, a, sizeof a);
        ::inet_ntop(AF_INET, &o.Other, b, sizeof b);
        return std::string("answers from two addresses: ") + a + " and " + b;
    }
    if (o.Serials[1][0] != 0) return std::string("answers with two serials: ") + o.Serials[0] + " and " + o.Serials[1];
    return {};
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
    char mac[MAC_LEN];
    std::memcpy(mac, Rec[row].MAC, MAC_LEN);
    edit(Rec[row]);
    if (std::memcmp(mac, Rec[row].MAC, MAC_LEN) != 0) Macs.Rebuild(Rec.get(), Count_);
    return true;
}

void TmTable::DeleteRow(int row) {
    std::lock_guard<std::mutex> g(Lock);
    if (row == NO_ROW) {
        Count_ = 0;
        std::fill(Rec.get(), Rec.get() + TABLE_SLOTS, TDeviceRec{});
        std::fill(Origins.get(), Origins.get() + TABLE_SLOTS, RowOrigin{});
        Macs.Clear();
        return;
    }
    if (row < 1 || row > Count_) return;
    std::copy(Rec.get() + row, Rec.get() + Count_, Rec.get() + row - 1);
    std::copy(Origins.get() + row, Origins.get() + Count_, Origins.get() + row - 1);
    --Count_;
    Macs.Rebuild(Rec.get(), Count_);
}

uint32_t TmTable::ChangeMask() const {
    std::lock_guard<std::mutex> g(Lock);
    return ChangeMask_;
}

bool TmTable::UpdateChangeMask(uint32_t bits, MaskUpdate how) {
    std::lock_guard<std::mutex> g(Lock);
    if (how == MaskUpdate::Clear) Pending_ &= ~bits;
    return UpdateChangeMaskLocked(bits, how);
}

bool TmTable::UpdateChangeMaskLocked(uint32_t bits, MaskUpdate how) {
    if (how == MaskUpdate::Raise) ChangeMask_ |= bits;
    else if (how == MaskUpdate::Clear) ChangeMask_ &= ~bits;
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
    if (!broadcast && Doubtful(Origins[row])) return 0;
    NoteSetBuilt(row, kind);
    return BuildSetFrame(Rec[row], EditRec, kind, broadcast, SendBuf_).Length;
}

void TmTable::NoteSetBuilt(int row, int kind) {
    Rec[row].HasGPID = 1;
    for (const int* k = SetKeysOf(kind); *k >= 0; ++k)
        if (KeyFields[*k].StripsBlanks && HasKey(Rec[row], *k))
            StripBlanks(FieldOf(EditRec, *k), static_cast<size_t>(KeyFields[*k].Width));
}
