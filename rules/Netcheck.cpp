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
    std::string compact;
    for (char c : text) {
        if (c == ' ') continue;
        // inet_aton stops at other white space and takes the rest as valid.
        if (std::isspace(static_cast<unsigned char>(c))) return INADDR_NONE;
        compact += c;
    }
    in_addr a{};
    // inet_aton also takes forms with fewer dots, as inet_addr does.
    if (compact.empty() || inet_aton(compact.c_str(), &a) == 0) return INADDR_NONE;
    return a.s_addr;
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
