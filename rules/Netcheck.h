// Checks of the sixteen network values before they may be sent to a device.
// Pure logic: no window, no table, no device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/Numtext.h"  // StrToIntDef, which the checks read numbers with

struct NetworkField {
    std::string Text;  // as the edit returns it: masked address text or plain number text
    bool Enabled = false;
};

// Row order of the network fields, the order of every check and message.
enum NetRow {
    NET_MAIN, NET_BACKUP, NET_GROUP, NET_GATEWAY, NET_MASK, NET_TRAP1, NET_TRAP2, NET_TERM,
    NET_LOG, NET_OPTIP1, NET_OPTIP2, NET_OPTIP3, NET_PORT1, NET_PORT2, NET_PORT3, NET_TIMEOUT,
    NET_ROWS
};

// The ordered message ids (107 to 123) of every field that is refused.
std::vector<int> ValidateNetworkSettings(const NetworkField (&fields)[NET_ROWS]);

// The address in network byte order, or INADDR_NONE (all ones) when the text,
// blanks removed, is not four decimal parts up to 255 without leading zeros.
uint32_t ParseIpText(const std::string& text);
// The same, telling 255.255.255.255 apart from a text that is no address.
bool ParseIpv4(const std::string& text, uint32_t& address);
// Whether a part of a dotted text begins with 0 and has more digits (010).
bool HasLeadingZero(const std::string& text);

