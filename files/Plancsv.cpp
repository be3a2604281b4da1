#include "files/Plancsv.h"

#include <csv.h>

#include <algorithm>
#include <cstring>

#include "link/Protocol.h"

const int PlanColumns[PLAN_COLUMNS] = {KEY_MAC,   KEY_SERIAL, KEY_MODEL,  KEY_TARCID, KEY_IPADRM, KEY_IPADRB,
                                       KEY_GPID,  KEY_GWAY,   KEY_MASK,   KEY_TRAP1,  KEY_TRAP2,  KEY_TERM,
                                       KEY_LOG,   KEY_OPTIP,  KEY_OPTIP2, KEY_OPTIP3, KEY_OPT1,   KEY_OPT2,
                                       KEY_OPT3,  KEY_TOUT,   KEY_CONT,   KEY_NAME,   KEY_LOC,    KEY_UNIQ};

namespace {
bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view WithoutLeadingZeros(std::string_view s) {
    while (s.size() > 1 && s.front() == '0') s.remove_prefix(1);
    return s;
}

// A cell needs quotes when it holds a separator, a quote or a line break, or
// when a reader would drop its outer blanks or take its start for a
// byte-order mark.
std::string CsvCell(const std::string& cell) {
    const bool quote = cell.find_first_of(",\"\r\n") != std::string::npos || cell.starts_with("\xEF\xBB\xBF") ||
                       (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t' || cell.back() == ' ' ||
                                          cell.back() == '\t'));
    if (!quote) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

struct Collect {
    std::vector<std::vector<std::string>> Records;
    std::vector<std::string> Current;
};

void OnField(void* s, size_t len, void* data) {
    static_cast<Collect*>(data)->Current.emplace_back(static_cast<const char*>(s), len);
}

void OnRecord(int, void* data) {
    Collect& c = *static_cast<Collect*>(data);
    c.Records.push_back(std::move(c.Current));
    c.Current.clear();
}
}  // namespace

int PlanColumnKey(std::string_view name) {
    for (int key : PlanColumns)
        if (name == KeyFields[key].Name) return key;
    return -1;
}

std::string PlanCell(const TDeviceRec& row, int key) {
    if (key == KEY_MAC) return std::string(FieldText(row.MAC));
    if (KeyFields[key].FlagOffset >= 0 && !HasKey(row, key)) return {};
    return std::string(FieldText(row, key));
}

bool SerialBefore(const TDeviceRec& a, const TDeviceRec& b) {
    const std::string sa = PlanCell(a, KEY_SERIAL), sb = PlanCell(b, KEY_SERIAL);
    if (sa != sb) {
        if (AllDigits(sa) && AllDigits(sb)) {
            const std::string_view na = WithoutLeadingZeros(sa), nb = WithoutLeadingZeros(sb);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
        } else {
            return sa < sb;
        }
    }
    return std::strncmp(a.MAC, b.MAC, MAC_LEN) < 0;
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        line += CsvCell(cells[i]);
    }
    return line + "\r\n";
}

std::string PlanCsv(std::vector<TDeviceRec> rows) {
    std::stable_sort(rows.begin(), rows.end(), SerialBefore);
    std::vector<std::string> cells;
    for (int key : PlanColumns) cells.emplace_back(KeyFields[key].Name);
    std::string text = CsvLine(cells);
    for (const TDeviceRec& r : rows) {
        cells.clear();
        for (int key : PlanColumns) cells.push_back(Utf8FromLatin1(PlanCell(r, key)));
        text += CsvLine(cells);
    }
    return text;
}

std::optional<std::vector<std::vector<std::string>>> ParseCsv(std::string_view text, std::string& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    csv_parser parser{};
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        error = "out of memory";
        return std::nullopt;
    }
    Collect collect;
    const bool parsed = csv_parse(&parser, text.data(), text.size(), OnField, OnRecord, &collect) == text.size() &&
                        csv_fini(&parser, OnField, OnRecord, &collect) == 0;
    if (!parsed) {
        error = std::string(csv_strerror(csv_error(&parser))) + " after record " +
                std::to_string(collect.Records.size());
    }
    csv_free(&parser);
    if (!parsed) return std::nullopt;
    return std::move(collect.Records);
}

std::string Utf8FromLatin1(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> Latin1FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // Latin-1 beyond ASCII is exactly the two-byte forms led by C2 or C3.
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= utf8.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
    }
    return out;
}
