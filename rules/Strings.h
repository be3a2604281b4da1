// The program's numbered texts, shared by the windows and the command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int MSG_TITLE = 100;
constexpr int MSG_NO_ANSWER = 101;
constexpr int MSG_NAK = 102;
constexpr int MSG_BAD_DATE = 103;
constexpr int MSG_BAD_TIME = 104;
constexpr int MSG_BAD_GMT = 105;
constexpr int MSG_BAD_UNIQUE_ID = 106;
// The Network window's refusals, one a field.
constexpr int MSG_BAD_MAIN_IP = 107;
constexpr int MSG_BAD_BACKUP_IP = 108;
constexpr int MSG_BAD_GROUP_ID = 109;
constexpr int MSG_BAD_GATEWAY = 110;
constexpr int MSG_BAD_MASK = 111;
constexpr int MSG_BAD_TRAP1 = 112;
constexpr int MSG_BAD_TRAP2 = 113;
constexpr int MSG_BAD_TERM = 114;
constexpr int MSG_BAD_LOG = 115;
constexpr int MSG_BAD_OPT_IP1 = 116;
constexpr int MSG_BAD_OPT_IP2 = 117;
constexpr int MSG_BAD_OPT_IP3 = 118;
constexpr int MSG_BAD_OPT_PORT1 = 119;
constexpr int MSG_BAD_OPT_PORT2 = 120;
constexpr int MSG_BAD_OPT_PORT3 = 121;
constexpr int MSG_BAD_TIME_OUT = 122;
constexpr int MSG_MASK_MISMATCH = 123;  // the mask does not fit the main address
constexpr int MSG_SAVE_FAILED = 124;  // %s: the file's path
constexpr int MSG_OPEN_UNREADABLE = 130;  // %s: the file's path, %r: why
constexpr int MSG_OPEN_FOREIGN = 131;     // %s: the file's path
constexpr int MSG_OPEN_LEFT_OUT = 132;    // %s: the file's path, %n: how many
constexpr int MSG_SAVE_FEWER = 133;       // %s: the file's path, %n: how many
constexpr int MSG_SAVE_CHANGES = 134;     // %s: the file's name
constexpr int MSG_LIST_FULL = 135;        // %n: answers left out
constexpr int MSG_REBOOT = 150;
// Values that no edit of a setup window could hold.  %s: the key.
constexpr int MSG_UNKNOWN_KEY = 160;
constexpr int MSG_NOT_REPORTED = 161;
constexpr int MSG_EMPTY_VALUE = 162;
constexpr int MSG_TOO_LONG = 163;  // %d: the edit's length
constexpr int MSG_BAD_BYTE = 164;  // second %s: the byte
constexpr int MSG_RUNNING = 200;

// The text of a number, or "" for a number that has none.
const char* MessageText(int id);

// Every number of the table, in its order.
std::vector<int> MessageIds();

// The full-list warning after a search that left answers out.
std::string ListFullText(uint32_t leftOut);
