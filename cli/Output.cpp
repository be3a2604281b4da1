#include "cli/Output.h"

#include <cstring>
#include <sstream>

#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "cli/Termtext.h"

// Any host can answer with tabs, line breaks or escape sequences in any field:
// each device stays one line of five columns.
void PrintRows(std::ostream& out, const std::vector<TDeviceRec>& rows) {
    for (const TDeviceRec& r : rows) {
        out << ForTerminal(FieldText(r.MAC)) << '\t' << ForTerminal(FieldText(r.MODEL)) << '\t'
            << ForTerminal(FieldText(r.TARCID)) << '\t' << ForTerminal(FieldText(r.SERIAL)) << '\t'
            << ForTerminal(FieldText(r.IPADRM)) << '\n';
    }
}

nlohmann::ordered_json DeviceJson(const TDeviceRec& r) {
    nlohmann::ordered_json device;
    device["MAC"] = Utf8FromLatin1(FieldText(r.MAC));
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) {
        if (key > KEY_SERIAL && !HasKey(r, key)) continue;
        device[KeyFields[key].Name] = Utf8FromLatin1(FieldText(r, key));
    }
    return device;
}

std::string OneLine(const nlohmann::ordered_json& value) {
    std::string text;
    if (value.is_object()) {
        for (const auto& [name, member] : value.items())
            text += (text.empty() ? "" : ", ") + OneLine(name) + ": " + OneLine(member);
        return "{" + text + "}";
    }
    if (value.is_array()) {
        for (const auto& element : value) text += (text.empty() ? "" : ", ") + OneLine(element);
        return "[" + text + "]";
    }
    return value.dump(-1, ' ', true, nlohmann::json::error_handler_t::replace);
}

void PrintJson(std::ostream& out, const std::vector<TDeviceRec>& rows,
               const std::vector<std::vector<std::string>>* problems) {
    std::vector<nlohmann::ordered_json> devices;
    for (size_t i = 0; i < rows.size(); ++i) {
        nlohmann::ordered_json& device = devices.emplace_back(DeviceJson(rows[i]));
        if (problems != nullptr) {
            device["problems"] = nlohmann::ordered_json::array();
            for (const std::string& reason : (*problems)[i]) device["problems"].push_back(Utf8FromLatin1(reason));
        }
    }
    PrintJsonList(out, devices);
}

void PrintJsonList(std::ostream& out, const std::vector<nlohmann::ordered_json>& entries) {
    out << '[';
    for (size_t i = 0; i < entries.size(); ++i) out << (i == 0 ? "\n  " : ",\n  ") << OneLine(entries[i]);
    out << (entries.empty() ? "]\n" : "\n]\n");
}

bool FileWasRead(const std::string& path, const DeviceFileRead& read, std::ostream& err) {
    if (read.Outcome == DeviceFileOutcome::CannotRead)
        err << "tarnel-cli: cannot read " << path << ": " << read.Reason << '\n';
    else if (read.Outcome == DeviceFileOutcome::NotDeviceFile)
        err << "tarnel-cli: " << path << " is not a device file\n";
    else
        return true;
    return false;
}

// What a failure said on standard error, without the progress line and the
// program's name.
static std::string ErrorText(const std::string& said) {
    std::istringstream lines(said);
    std::string line, text;
    while (std::getline(lines, line)) {
        const size_t cr = line.rfind('\r');
        if (cr != std::string::npos) line.erase(0, cr + 1);
        if (line.rfind("\033[K", 0) == 0) line.erase(0, 3);
        if (line.rfind("tarnel-cli: ", 0) == 0) line.erase(0, 12);
        if (line.rfind("(see ", 0) == 0) continue;
        if (!line.empty()) text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

std::string FailureJson(const std::string& said, int exit) {
    nlohmann::ordered_json failure;
    failure["error"] = ErrorText(said);
    failure["exit"] = exit;
    return OneLine(failure);
}
