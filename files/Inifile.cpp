#include "Inifile.h"

#include <span>

#include "Diskfile.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Bounds of s without the blanks at either end, as offsets into s.
std::pair<size_t, size_t> TrimSpan(std::string_view s, size_t begin, size_t end) {
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return {begin, end};
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

struct Place {
    bool HasKey = false;
    size_t ValueBegin = 0, ValueEnd = 0;  // the key's value text
    bool HasSection = false;
    size_t InsertAt = 0;     // after the last line of the first such section that is not blank
    std::string Eol = "\n";  // what the file ends its lines with
};

Place Locate(std::string_view text, std::string_view section, std::string_view key) {
    Place p;
    bool eolSeen = false;
    bool inSection = false;  // in a section of that name
    bool inFirst = false;    // in the first of them
    size_t begin = 0;
    // A byte-order mark is no part of the first line's text.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") begin = 3;
    while (begin < text.size()) {
        const size_t newline = text.find('\n', begin);
        const size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (end > begin && text[end - 1] == '\r') --end;
        if (!eolSeen && newline != std::string_view::npos) {
            eolSeen = true;
            p.Eol = end < newline ? "\r\n" : "\n";
        }
        const auto [b, e] = TrimSpan(text, begin, end);
        const std::string_view line = text.substr(b, e - b);
        if (!line.empty() && line[0] == '[' && line.find(']') != std::string_view::npos) {
            const auto [nb, ne] = TrimSpan(line, 1, line.find(']'));
            inSection = SameName(line.substr(nb, ne - nb), section);
            inFirst = inSection && !p.HasSection;
            if (inFirst) {
                p.HasSection = true;
                p.InsertAt = next;
            }
        } else if (!line.empty() && line[0] != ';' && line[0] != '#') {
            const size_t equals = line.find('=');
            if (inSection && equals != std::string_view::npos) {
                const auto [kb, ke] = TrimSpan(line, 0, equals);
                if (SameName(line.substr(kb, ke - kb), key)) {
                    const auto [vb, ve] = TrimSpan(text, b + equals + 1, e);
                    p.HasKey = true;
                    p.ValueBegin = vb;
                    p.ValueEnd = ve;
                    return p;
                }
            }
        }
        if (inFirst && !line.empty()) p.InsertAt = next;
        begin = next;
    }
    return p;
}

// A name or value that reads back as written, from a line of its own.
bool Holdable(std::string_view s, std::string_view forbidden) {
    if (s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    if (s.find_first_of(forbidden) != std::string_view::npos) return false;
    const auto [b, e] = TrimSpan(s, 0, s.size());
    return b == 0 && e == s.size();
}

std::string TextOf(const FileRead& read) {
    if (read.Outcome != ReadOutcome::Read) return {};
    return std::string(read.Bytes.begin(), read.Bytes.end());
}
}  // namespace

std::optional<std::string> IniValue(std::string_view text, std::string_view section, std::string_view key) {
    const Place p = Locate(text, section, key);
    if (!p.HasKey) return std::nullopt;
    return std::string(text.substr(p.ValueBegin, p.ValueEnd - p.ValueBegin));
}

std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const Place p = Locate(text, section, key);
    std::string out;
    if (p.HasKey) {
        out.append(text.substr(0, p.ValueBegin)).append(value).append(text.substr(p.ValueEnd));
        return out;
    }
    const size_t at = p.HasSection ? p.InsertAt : text.size();
    out.append(text.substr(0, at));
    if (!out.empty() && out.back() != '\n') out += p.Eol;
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
    const auto* bytes = reinterpret_cast<const uint8_t*>(changed.data());
    return ReplaceFile(path, std::span<const uint8_t>(bytes, changed.size())).Saved ? IniWrite::Written
                                                                                     : IniWrite::Failed;
}
