// The sixteen network values: what each field is, and the checks before they
// may be sent to a device.  Pure logic: no window, no table, no device.
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

// What an edit of a setup window lets a user type.
enum class EditForm { Address, Digits, Signed, Text };

// What the Network window asks of a field's value; "enabled" is a field the
// device reports.
enum class NetRule {
    MainAddress,  // when enabled, an address, its last part neither 0 nor 255
    Address,      // never ending in 0; when enabled, an address not ending in 255
    Mask,         // when enabled, a mask of contiguous bits that, with the main address
                  // and the gateway enabled too, puts both in one subnet
    Number,       // when enabled, a number
};

// One network field.  The record field's width (KeyFields[Key].Width) is what
// an acknowledged SET copies back and what the edit is sized for.
struct NetworkFieldSpec {
    int Key;            // KEY_IPADRM...: the record field and the wire key
    const char* Label;  // the Network window's label, untranslated
    EditForm Form;
    int Length;         // how many characters a user may type
    NetRule Rule;
    int Message;        // string-table id of the window's message when the rule refuses it
};

// In NetRow order.
extern const NetworkFieldSpec NetworkFields[NET_ROWS];

struct NetRefusal {
    int Row;      // NetRow; the mask for a mask that does not fit
    int Message;  // string-table id
};

// Every field that is refused, in the window's order.
std::vector<NetRefusal> ValidateNetworkSettings(const NetworkField (&fields)[NET_ROWS]);

// The address in network byte order, or INADDR_NONE (all ones) when the text,
// blanks removed, is not four decimal parts up to 255 without leading zeros.
uint32_t ParseIpText(const std::string& text);
// The same, telling 255.255.255.255 apart from a text that is no address.
bool ParseIpv4(const std::string& text, uint32_t& address);
// Whether a part of a dotted text begins with 0 and has more digits (010).
bool HasLeadingZero(const std::string& text);
