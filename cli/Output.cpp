#include "Output.h"

#include <cstdio>
#include <cstring>

#include "Protocol.h"

namespace {
std::string Field(const char* text, size_t width) { return std::string(text, strnlen(text, width)); }
}  // namespace

void PrintRows(std::ostream& out, const std::vector<TDeviceRec>& rows) {
    for (const TDeviceRec& r : rows) {
        out << Field(r.MAC, MAC_LEN) << '\t' << Field(r.MODEL, 256) << '\t' << Field(r.TARCID, 3) << '\t'
            << Field(r.SERIAL, 10) << '\t' << Field(r.IPADRM, 15) << '\n';
    }
}

// Device texts are 8-bit; bytes above 127 are taken as Latin-1 so that the
// output is always valid JSON.
std::string JsonString(const char* text, size_t maxLength) {
    std::string s = "\"";
    for (size_t i = 0; i < maxLength && text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            s += esc;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s + "\"";
}

void PrintJson(std::ostream& out, const std::vector<TDeviceRec>& rows) {
    out << '[';
    for (size_t i = 0; i < rows.size(); ++i) {
        const TDeviceRec& r = rows[i];
        out << (i == 0 ? "\n  {" : ",\n  {") << "\"MAC\": " << JsonString(r.MAC, MAC_LEN);
        for (int key = KEY_MODEL; key < KEY_COUNT; ++key) {
            if (key > KEY_SERIAL && !HasKey(r, key)) continue;
            out << ", \"" << KeyFields[key].Name
                << "\": " << JsonString(FieldOf(r, key), static_cast<size_t>(KeyFields[key].Width));
        }
        out << '}';
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
}
