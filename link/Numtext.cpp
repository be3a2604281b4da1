#include "link/Numtext.h"

#include <cctype>
#include <cstdint>
#include <limits>

int32_t StrToIntDef(const std::string& text, int32_t fallback) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    if (i >= text.size()) return fallback;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c)) digit = c - '0';
        else if (base == 16 && std::isxdigit(c)) digit = std::tolower(c) - 'a' + 10;
        else return fallback;
        value = value * base + digit;
        if (value > (int64_t{1} << 32)) return fallback;
    }
    if (negative) value = -value;
    if (base == 16 && !negative && value <= 0xFFFFFFFFll) return static_cast<int32_t>(static_cast<uint32_t>(value));
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return fallback;
    return static_cast<int32_t>(value);
}
