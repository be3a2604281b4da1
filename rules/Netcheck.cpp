#include "rules/Netcheck.h"

#include <arpa/inet.h>

#include <cctype>
#include <cstdint>
#include <limits>

#include "rules/Strings.h"

namespace {
enum class Rule { A, B, M, N };

struct RowRule {
    Rule Kind;
    int Message;
};

constexpr RowRule kRules[NET_ROWS] = {
    {Rule::A, 107}, {Rule::B, 108}, {Rule::N, 109}, {Rule::B, 110}, {Rule::M, 111}, {Rule::B, 112},
    {Rule::B, 113}, {Rule::N, 114}, {Rule::N, 115}, {Rule::B, 116}, {Rule::B, 117}, {Rule::B, 118},
    {Rule::N, 119}, {Rule::N, 120}, {Rule::N, 121}, {Rule::N, 122},
};

uint32_t LastPart(uint32_t networkOrder) { return ntohl(networkOrder) & 0xFFu; }

bool MaskContiguous(uint32_t networkOrder) {
    const uint32_t mask = ntohl(networkOrder);
    if (mask == 0) return true;
    const uint32_t lowest = mask & (~mask + 1);
    // Every bit from the lowest set one up to bit 31 must be set.
    return (mask | (lowest - 1)) == 0xFFFFFFFFu;
}
}  // namespace

uint32_t ParseIpText(const std::string& text) {
    uint32_t address = 0;
    return ParseIpv4(text, address) ? address : INADDR_NONE;
}

// Four decimal parts, blanks anywhere left out.  A part with a leading zero
// is refused: the checks would read it one way (inet_aton: octal) and a
// device, which gets the text itself, may read it another.
bool ParseIpv4(const std::string& text, uint32_t& address) {
    uint32_t value = 0, part = 0;
    int parts = 0, digits = 0;
    bool leadingZero = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '.';
        if (c == ' ') continue;
        if (c >= '0' && c <= '9') {
            leadingZero = leadingZero || (digits == 1 && part == 0);
            part = part * 10 + static_cast<uint32_t>(c - '0');
            if (++digits > 3) return false;
        } else if (c == '.' && digits > 0 && part <= 255 && !leadingZero && ++parts <= 4) {
            value = value << 8 | part;
            part = 0;
            digits = 0;
            leadingZero = false;
        } else {
            return false;
        }
    }
    if (parts != 4) return false;
    address = htonl(value);
    return true;
}

bool HasLeadingZero(const std::string& text) {
    std::string compact;
    for (char c : text)
        if (c != ' ') compact += c;
    for (size_t i = 0; i + 1 < compact.size(); ++i)
        if ((i == 0 || compact[i - 1] == '.') && compact[i] == '0' && compact[i + 1] >= '0' && compact[i + 1] <= '9')
            return true;
    return false;
}

std::vector<int> ValidateNetworkSettings(const NetworkField (&fields)[NET_ROWS]) {
    std::vector<int> errors;
    uint32_t value[NET_ROWS] = {};
    for (int row = 0; row < NET_ROWS; ++row) {
        const NetworkField& f = fields[row];
        const RowRule& rule = kRules[row];
        if (rule.Kind != Rule::N) value[row] = ParseIpText(f.Text);
        const uint32_t v = value[row];
        const bool converts = v != INADDR_NONE;  // 255.255.255.255 counts as not converting
        bool bad = false;
        switch (rule.Kind) {
            case Rule::A:
                bad = f.Enabled && (!converts || LastPart(v) == 0 || LastPart(v) == 255);
                break;
            case Rule::B:
                if (converts && LastPart(v) == 0) bad = true;
                else if (f.Enabled) bad = !converts || LastPart(v) == 255;
                break;
            case Rule::M:
                bad = f.Enabled && (!converts || !MaskContiguous(v));
                // A device that does not report one of the three could never
                // pass: its closed edit holds no address to compare.
                if (!bad && fields[NET_MAIN].Enabled && fields[NET_GATEWAY].Enabled && f.Enabled &&
                    (value[NET_MAIN] & v) != (value[NET_GATEWAY] & v)) {
                    errors.push_back(MSG_MASK_MISMATCH);
                    continue;
                }
                break;
            case Rule::N:
                bad = f.Enabled && StrToIntDef(f.Text, -1) == -1;
                break;
        }
        if (bad) errors.push_back(rule.Message);
    }
    return errors;
}
