#include "files/Inifile.h"

// The packaged library is built on ICU; its header must agree with it.
#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <algorithm>
#include <span>

#include "files/Diskfile.h"

// Writing does not go through SimpleIni's Save: that writes the file anew from
// what it parsed, so lines without '=', repeated keys and sections, comments'
// layout and anything after a NUL would be lost.  Instead the value is set in
// place, on the line the library reads it from; Scan finds that line by
// walking the text the way the library's parser does (with its default
// settings: no multi-line values, no quotes, no keys without '=').

namespace {
// The library's notions of blank and line end: a lone CR ends a line too.
bool IsNewline(char c) { return c == '\r' || c == '\n'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || IsNewline(c); }
bool IsComment(char c) { return c == ';' || c == '#'; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

struct Place {
    bool HasKey = false;
    size_t ValueBegin = 0, ValueEnd = 0;  // the value text of the key's last line
    bool HasSection = false;
    size_t InsertAt = 0;     // after the last line of the first such section
    size_t End = 0;          // where the library stops reading: the end or a NUL
    size_t Tail = 0;         // where a section can be added: End, or before an open '['
    size_t Start = 0;        // after a byte-order mark
    std::string Eol = "\n";  // what the file ends its lines with
};

std::string EolOf(std::string_view text) {
    const size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\n";
    if (text[at] == '\n') return "\n";
    return text.substr(at, 2) == "\r\n" ? "\r\n" : "\r";
}

Place Scan(std::string_view text, std::string_view section, std::string_view key) {
    Place p;
    p.Eol = EolOf(text);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") p.Start = 3;
    p.End = std::min(text.find('\0', p.Start), text.size());
    const size_t end = p.End;
    p.Tail = end;
    const auto lineEnd = [&](size_t i) {
        while (i < end && !IsNewline(text[i])) ++i;
        return i;
    };
    const auto pastBreak = [&](size_t i) {
        if (i < end) i += text[i] == '\r' && i + 1 < end && text[i + 1] == '\n' ? 2 : 1;
        return i;
    };
    // Lines before any header belong to the section without a name.
    bool inSection = section.empty();
    bool inFirst = inSection;
    p.HasSection = inSection;
    p.InsertAt = p.Start;
    const auto lineDone = [&](size_t stop) {
        if (inFirst) p.InsertAt = pastBreak(stop);
    };
    size_t i = p.Start;
    for (;;) {
        while (i < end && IsSpace(text[i])) ++i;
        if (i >= end) break;
        if (IsComment(text[i])) {
            i = lineEnd(i);
            lineDone(i);
            continue;
        }
        if (text[i] == '[') {
            // Blanks after '[' may run over line ends; a header without ']'
            // on its line swallows that line and opens a section whose name
            // holds a line end, which no caller can ask for.
            size_t j = i + 1;
            while (j < end && IsSpace(text[j])) ++j;
            const size_t nameBegin = j;
            while (j < end && text[j] != ']' && !IsNewline(text[j])) ++j;
            if (j >= end || text[j] != ']') {
                inSection = inFirst = false;
                if (j >= end) {  // it would swallow an added section too
                    p.Tail = i;
                    while (p.Tail > p.Start && !IsNewline(text[p.Tail - 1])) --p.Tail;
                }
                i = j;
                continue;
            }
            size_t nameEnd = j;
            while (nameEnd > nameBegin && IsSpace(text[nameEnd - 1])) --nameEnd;
            inSection = SameName(text.substr(nameBegin, nameEnd - nameBegin), section);
            inFirst = inSection && !p.HasSection;
            p.HasSection = p.HasSection || inSection;
            i = lineEnd(j + 1);
            lineDone(i);
            continue;
        }
        size_t equals = i;
        while (equals < end && text[equals] != '=' && !IsNewline(text[equals])) ++equals;
        if (equals >= end || text[equals] != '=' || equals == i) {  // no key here
            i = lineEnd(equals);
            lineDone(i);
            continue;
        }
        size_t keyEnd = equals;
        while (keyEnd > i && IsSpace(text[keyEnd - 1])) --keyEnd;
        size_t valueBegin = equals + 1;
        while (valueBegin < end && (text[valueBegin] == ' ' || text[valueBegin] == '\t')) ++valueBegin;
        const size_t stop = lineEnd(valueBegin);
        size_t valueEnd = stop;
        while (valueEnd > valueBegin && IsSpace(text[valueEnd - 1])) --valueEnd;
        if (inSection && SameName(text.substr(i, keyEnd - i), key)) {
            p.HasKey = true;  // a later line of the key replaces this one
            p.ValueBegin = valueBegin;
            p.ValueEnd = valueEnd;
        }
        lineDone(stop);
        i = pastBreak(stop);
    }
    return p;
}

// A name or value that reads back as written, from a line of its own.
bool Holdable(std::string_view s, std::string_view forbidden) {
    if (s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    if (s.find_first_of(forbidden) != std::string_view::npos) return false;
    return s.empty() || (!IsSpace(s.front()) && !IsSpace(s.back()));
}

std::string TextOf(const FileRead& read) {
    if (read.Outcome != ReadOutcome::Read) return {};
    return std::string(read.Bytes.begin(), read.Bytes.end());
}
}  // namespace

std::optional<std::string> IniValue(std::string_view text, std::string_view section, std::string_view key) {
    CSimpleIniA ini;
    if (ini.LoadData(text.data(), text.size()) < 0) return std::nullopt;
    const char* value = ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const Place p = Scan(text, section, key);
    std::string out;
    if (p.HasKey) {
        out.append(text.substr(0, p.ValueBegin)).append(value).append(text.substr(p.ValueEnd));
        return out;
    }
    // Before a NUL, or the library would not read the added line.
    const size_t at = p.HasSection ? p.InsertAt : p.Tail;
    out.append(text.substr(0, at));
    if (at > p.Start && !IsNewline(text[at - 1])) out += p.Eol;
    if (!p.HasSection) out.append("[").append(section).append("]").append(p.Eol);
    out.append(key).append("=").append(value).append(p.Eol);
    out.append(text.substr(at));
    return out;
}

std::optional<std::string> ReadIniValue(const std::string& path, std::string_view section, std::string_view key) {
    return IniValue(TextOf(ReadCappedFile(path, INI_FILE_MAX)), section, key);
}

IniWrite WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value) {
    if (section.empty() || key.empty() || !Holdable(section, "[]") || !Holdable(key, "=[;#") || !Holdable(value, ""))
        return IniWrite::Failed;
    const FileRead read = ReadCappedFile(path, INI_FILE_MAX);
    if (read.Outcome == ReadOutcome::CannotRead) return IniWrite::Failed;
    const std::string text = TextOf(read);
    if (IniValue(text, section, key) == value) return IniWrite::Unchanged;
    const std::string changed = WithIniValue(text, section, key, value);
    // Never store a file that would not read back as asked.
    if (IniValue(changed, section, key) != value) return IniWrite::Failed;
    const auto* bytes = reinterpret_cast<const uint8_t*>(changed.data());
    return ReplaceFile(path, std::span<const uint8_t>(bytes, changed.size())).Saved ? IniWrite::Written
                                                                                     : IniWrite::Failed;
}
