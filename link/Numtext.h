// Numbers typed as text, read the way the settings file and the windows'
// edits have always read them.
#pragma once

#include <cstdint>
#include <string>

// Leading blanks skipped, then an optional sign and decimal digits or a
// '$'-prefixed hexadecimal number, nothing after; otherwise, or beyond 32 bits,
// the default.
int32_t StrToIntDef(const std::string& text, int32_t fallback);
