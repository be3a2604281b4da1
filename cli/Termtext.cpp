#include "cli/Termtext.h"

#include <langinfo.h>

#include <climits>
#include <cstdio>
#include <cwchar>

namespace {
std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The escape that stands for a control character; "" for any other.
std::string Escape(unsigned long c) {
    if (c == '\t') return "\\t";
    if (c == '\r') return "\\r";
    if (c == '\n') return "\\n";
    if (c == '\\') return "\\\\";
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return "\\x" + Hex(static_cast<unsigned>(c), 2);
    return {};
}
}  // namespace

bool TerminalToLatin1(std::string_view text, std::string& latin1, std::string& problem) {
    latin1.clear();
    std::mbstate_t state{};
    for (size_t i = 0; i < text.size();) {
        wchar_t wc = 0;
        const size_t n = std::mbrtowc(&wc, text.data() + i, text.size() - i, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            problem = "byte 0x" + Hex(static_cast<unsigned char>(text[i]), 2) + " is no text in the terminal's encoding (" +
                      nl_langinfo(CODESET) + ")";
            return false;
        }
        if (n == 0) {  // an embedded NUL: no edit holds one
            latin1 += '\0';
            ++i;
            continue;
        }
        const auto code = static_cast<unsigned long>(wc);
        if (code > 0xFF) {
            problem = "character U+" + Hex(static_cast<unsigned>(code), 4) + " (" + std::string(text.substr(i, n)) +
                      ") is not a Latin-1 character";
            return false;
        }
        latin1 += static_cast<char>(code);
        i += n;
    }
    return true;
}

std::string ForTerminal(std::string_view latin1) {
    std::string out;
    std::mbstate_t state{};
    char buf[MB_LEN_MAX];
    for (char ch : latin1) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (const std::string e = Escape(c); !e.empty()) out += e;
        else if (c < 0x80) out += ch;
        else if (const size_t n = std::wcrtomb(buf, static_cast<wchar_t>(c), &state); n != static_cast<size_t>(-1))
            out.append(buf, n);
        else {
            state = std::mbstate_t{};
            out += "\\x" + Hex(c, 2);
        }
    }
    return out;
}

std::string TerminalText(std::string_view text) {
    std::string out;
    std::mbstate_t state{};
    for (size_t i = 0; i < text.size();) {
        wchar_t wc = 0;
        const size_t n = std::mbrtowc(&wc, text.data() + i, text.size() - i, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2) || n == 0) {
            state = std::mbstate_t{};
            out += "\\x" + Hex(static_cast<unsigned char>(text[i]), 2);
            ++i;
            continue;
        }
        const std::string e = Escape(static_cast<unsigned long>(wc));
        out += e.empty() ? std::string(text.substr(i, n)) : e;
        i += n;
    }
    return out;
}

std::string Wrapped(const std::string& text, size_t width) {
    std::string out = text;
    size_t lineStart = 0;
    while (out.size() - lineStart > width) {
        if (const size_t end = out.find('\n', lineStart); end <= lineStart + width) {
            lineStart = end + 1;
            continue;
        }
        size_t cut = out.rfind(' ', lineStart + width);
        while (cut != std::string::npos && cut > lineStart && (out[cut - 1] == ' ' || out[cut + 1] == ' '))
            cut = out.rfind(' ', cut - 1);
        if (cut == std::string::npos || cut <= lineStart) break;
        out[cut] = '\n';
        lineStart = cut + 1;
    }
    return out;
}
