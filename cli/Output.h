// How the command line prints devices: a line a row (MAC, then the grid's four
// columns, tab-separated), or a JSON array keyed by the wire keys.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Record.h"

void PrintRows(std::ostream& out, const std::vector<TDeviceRec>& rows);
void PrintJson(std::ostream& out, const std::vector<TDeviceRec>& rows);
std::string JsonString(const char* text, size_t maxLength);
