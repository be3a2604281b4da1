#include "rules/Netcheck.h"

#include <arpa/inet.h>

#include <cctype>
#include <cstdint>
#include <limits>

#include "link/Protocol.h"
#include "rules/Strings.h"

// Marks each label for the translation tools; the window translates it.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, text) text
#endif

const NetworkFieldSpec NetworkFields[NET_ROWS] = {
    {KEY_IPADRM, QT_TRANSLATE_NOOP("TwndSetup", "Main IP:"), EditForm::Address, 15, NetRule::MainAddress, MSG_BAD_MAIN_IP},
    {KEY_IPADRB, QT_TRANSLATE_NOOP("TwndSetup", "Backup IP:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_BACKUP_IP},
    {KEY_GPID, QT_TRANSLATE_NOOP("TwndSetup", "Group ID:"), EditForm::Digits, 3, NetRule::Number, MSG_BAD_GROUP_ID},
    {KEY_GWAY, QT_TRANSLATE_NOOP("TwndSetup", "Default Gateway:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_GATEWAY},
    {KEY_MASK, QT_TRANSLATE_NOOP("TwndSetup", "Subnet Mask:"), EditForm::Address, 15, NetRule::Mask, MSG_BAD_MASK},
    {KEY_TRAP1, QT_TRANSLATE_NOOP("TwndSetup", "Trap1:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_TRAP1},
    {KEY_TRAP2, QT_TRANSLATE_NOOP("TwndSetup", "Trap2:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_TRAP2},
    {KEY_TERM, QT_TRANSLATE_NOOP("TwndSetup", "Term:"), EditForm::Digits, 4, NetRule::Number, MSG_BAD_TERM},
    {KEY_LOG, QT_TRANSLATE_NOOP("TwndSetup", "Log:"), EditForm::Digits, 4, NetRule::Number, MSG_BAD_LOG},
    {KEY_OPTIP, QT_TRANSLATE_NOOP("TwndSetup", "OPT IP1:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_OPT_IP1},
    {KEY_OPTIP2, QT_TRANSLATE_NOOP("TwndSetup", "OPT IP2:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_OPT_IP2},
    {KEY_OPTIP3, QT_TRANSLATE_NOOP("TwndSetup", "OPT IP3:"), EditForm::Address, 15, NetRule::Address, MSG_BAD_OPT_IP3},
    {KEY_OPT1, QT_TRANSLATE_NOOP("TwndSetup", "OPT Port1:"), EditForm::Digits, 4, NetRule::Number, MSG_BAD_OPT_PORT1},
    {KEY_OPT2, QT_TRANSLATE_NOOP("TwndSetup", "OPT Port2:"), EditForm::Digits, 4, NetRule::Number, MSG_BAD_OPT_PORT2},
    {KEY_OPT3, QT_TRANSLATE_NOOP("TwndSetup", "OPT Port3:"), EditForm::Digits, 4, NetRule::Number, MSG_BAD_OPT_PORT3},
    {KEY_TOUT, QT_TRANSLATE_NOOP("TwndSetup", "Time Out:"), EditForm::Digits, 3, NetRule::Number, MSG_BAD_TIME_OUT},
};

namespace {
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

std::vector<NetRefusal> ValidateNetworkSettings(const NetworkField (&fields)[NET_ROWS]) {
    std::vector<NetRefusal> refused;
    uint32_t value[NET_ROWS] = {};
    for (int row = 0; row < NET_ROWS; ++row) {
        const NetworkField& f = fields[row];
        const NetworkFieldSpec& spec = NetworkFields[row];
        if (spec.Rule != NetRule::Number) value[row] = ParseIpText(f.Text);
        const uint32_t v = value[row];
        const bool converts = v != INADDR_NONE;  // 255.255.255.255 counts as not converting
        bool bad = false;
        switch (spec.Rule) {
            case NetRule::MainAddress:
                bad = f.Enabled && (!converts || LastPart(v) == 0 || LastPart(v) == 255);
                break;
            case NetRule::Address:
                if (converts && LastPart(v) == 0) bad = true;
                else if (f.Enabled) bad = !converts || LastPart(v) == 255;
                break;
            case NetRule::Mask:
                bad = f.Enabled && (!converts || !MaskContiguous(v));
                // A device that does not report one of the three could never
                // pass: its closed edit holds no address to compare.
                if (!bad && fields[NET_MAIN].Enabled && fields[NET_GATEWAY].Enabled && f.Enabled &&
                    (value[NET_MAIN] & v) != (value[NET_GATEWAY] & v)) {
                    refused.push_back({row, MSG_MASK_MISMATCH});
                    continue;
                }
                break;
            case NetRule::Number:
                bad = f.Enabled && StrToIntDef(f.Text, -1) == -1;
                break;
        }
        if (bad) refused.push_back({row, spec.Message});
    }
    return refused;
}
