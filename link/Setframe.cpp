#include "link/Setframe.h"

#include "link/Protocol.h"

namespace {
// Whether a word holds 0xFF, STX or ETX (a byte of x | 0x01 is 0x03 only for
// STX and ETX, a byte of ~x is 0 only for 0xFF).
bool DelimiterByte(uint64_t x) { return ZeroByte((x | WORD_ONES) ^ (3 * WORD_ONES)) || ZeroByte(~x); }

}  // namespace

bool HoldsDelimiter(const void* bytes, size_t n) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    if (n >= 8) {
        for (size_t i = 0; i + 8 <= n; i += 8)
            if (DelimiterByte(Word(p + i))) return true;
        return DelimiterByte(Word(p + n - 8));
    }
    for (size_t i = 0; i < n; ++i)
        if (p[i] == ITEM_END || p[i] == STX || p[i] == ETX) return true;
    return false;
}

bool UsableMac(const char* mac) { return !IsBroadcastMac(mac) && !HoldsDelimiter(mac, MAC_LEN); }

// An item that does not fit, or whose value holds a byte that would end the
// item or the frame early (and so smuggle in items of its own), refuses the
// whole frame.  A network SET always carries the group id.
SetFrameResult BuildSetFrame(const TDeviceRec& device, const TDeviceRec& edit, int kind, bool broadcast, uint8_t* out) {
    SetFrameResult result;
    // A SET for one device never names every device, nor a MAC the frame
    // cannot carry; only a broadcast SET uses the broadcast MAC.
    if (!broadcast && !UsableMac(device.MAC)) {
        result.Fault = SetFrameFault::BadMac;
        return result;
    }
    out[0] = STX;
    std::memcpy(out + 1, "SET:", 4);
    std::memcpy(out + 5, broadcast ? BROADCAST_MAC : device.MAC, MAC_LEN);
    out[22] = ITEM_END;
    size_t pos = FRAME_ITEMS_AT;
    for (const int* k = SetKeysOf(kind); *k >= 0; ++k) {
        if (!HasKey(device, *k) && !(kind == KIND_NETWORK && *k == KEY_GPID)) continue;
        const KeyField& f = KeyFields[*k];
        // Only an address is rewritten (its blanks dropped), so only it needs
        // a copy; and only the field's own width is read from that copy.
        char stripped[sizeof(TDeviceRec::CONT)];
        const char* value = FieldOf(edit, *k);
        if (f.StripsBlanks) {
            std::memcpy(stripped, value, static_cast<size_t>(f.Width));
            value = stripped;
        }
        const size_t textLen = f.StripsBlanks ? StripBlanks(stripped, static_cast<size_t>(f.Width))
                                              : strnlen(value, static_cast<size_t>(f.Width));
        if (textLen == 0) continue;
        // TERM and LOG always travel as four bytes, NULs included.
        const size_t valueLen = (*k == KEY_TERM || *k == KEY_LOG) ? 4 : textLen;
        const size_t keyLen = f.NameLength;
        const size_t itemLen = keyLen + 1 + valueLen + 1;
        if (HoldsDelimiter(value, valueLen)) result.Fault = SetFrameFault::BadByte;
        if (pos + itemLen + 1 <= SET_FRAME_MAX) {  // +1 for the closing ETX
            std::memcpy(out + pos, f.Name, keyLen);
            out[pos + keyLen] = ':';
            std::memcpy(out + pos + keyLen + 1, value, valueLen);
            out[pos + itemLen - 1] = ITEM_END;
        }
        pos += itemLen;
    }
    result.Needed = pos + 1;
    if (result.Fault == SetFrameFault::None && pos == FRAME_ITEMS_AT) result.Fault = SetFrameFault::Empty;
    if (result.Fault == SetFrameFault::None && result.Needed > SET_FRAME_MAX) result.Fault = SetFrameFault::TooLong;
    if (result.Fault != SetFrameFault::None) return result;
    out[pos] = ETX;
    result.Length = static_cast<uint16_t>(pos + 1);
    return result;
}
