// The plan: the devices' settings as CSV (RFC 4180, UTF-8, a header row), one
// device a row ordered by serial, written for people to edit in a spreadsheet
// and read back to set many devices at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/Record.h"

// Identity columns first, then every setting key; a key's column holds the
// device's value, empty where the device does not report the key.
inline constexpr int PLAN_COLUMNS = 24;
extern const int PlanColumns[PLAN_COLUMNS];  // KEY_MAC, KEY_SERIAL, KEY_MODEL, KEY_TARCID, settings...

// The column's key for a header text, -1 for a name that is not a plan column.
int PlanColumnKey(std::string_view name);

// A device's cell for a key: its value as the device keeps it (Latin-1),
// empty when it does not report the key.
std::string PlanCell(const TDeviceRec& row, int key);

// Serial order: serials of digits by their number, others by their bytes; the
// MAC breaks ties, so the order never depends on answer order.
bool SerialBefore(const TDeviceRec& a, const TDeviceRec& b);

// The whole plan text for these devices, header included.
std::string PlanCsv(std::vector<TDeviceRec> rows);

// One CSV line for these cells (UTF-8 already), ended by CR LF.
std::string CsvLine(const std::vector<std::string>& cells);

// Splits CSV text into records of cells.  Blank lines are skipped, a leading
// UTF-8 byte-order mark and blanks around unquoted cells are dropped.  On a
// malformed text returns nullopt and says where in error.
std::optional<std::vector<std::vector<std::string>>> ParseCsv(std::string_view text, std::string& error);

std::string Utf8FromLatin1(std::string_view latin1);
// nullopt when the text is not UTF-8 or holds a character beyond Latin-1.
std::optional<std::string> Latin1FromUtf8(std::string_view utf8);
