// How the command line prints devices: a line a row (MAC, then the grid's four
// columns, tab-separated), or a JSON array keyed by the wire keys, one device
// a line.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "files/Devfile.h"
#include "link/Record.h"

void PrintRows(std::ostream& out, const std::vector<TDeviceRec>& rows);
// problems: one list of reasons per row, written as each device's "problems".
void PrintJson(std::ostream& out, const std::vector<TDeviceRec>& rows,
               const std::vector<std::vector<std::string>>* problems = nullptr);

// The device's keys and texts, MAC first, then every key it reports.
nlohmann::ordered_json DeviceJson(const TDeviceRec& r);
// A JSON list with one entry a line.
void PrintJsonList(std::ostream& out, const std::vector<nlohmann::ordered_json>& entries);
// A JSON value on one line, ", " between members and ": " after names, every
// character beyond ASCII escaped.
std::string OneLine(const nlohmann::ordered_json& value);

// The object that stands for a failure under --json, {"error": TEXT, "exit": N}
// on one line: TEXT is what the failure said on standard error, without the
// progress line, the program's name and the pointer to --help.
std::string FailureJson(const std::string& said, int exit);

// Whether a device file was read; when not, says why on err, as show and diff
// both do.
bool FileWasRead(const std::string& path, const DeviceFileRead& read, std::ostream& err);
