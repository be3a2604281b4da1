// Any bytes as a settings file: setting one key in place must leave the file
// reading, through the same library, exactly as before but for that key.
#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <cctype>
#include <map>
#include <string>

#include "files/Inifile.h"

namespace {
using Values = std::map<std::string, std::string>;

Values AllValues(const std::string& text) {
    CSimpleIniA ini;
    ini.LoadData(text.data(), text.size());
    Values values;
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    for (const auto& section : sections) {
        CSimpleIniA::TNamesDepend keys;
        ini.GetAllKeys(section.pItem, keys);
        for (const auto& key : keys) {
            std::string name = std::string(section.pItem) + '\n' + key.pItem;
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            values[name] = ini.GetValue(section.pItem, key.pItem);
        }
    }
    return values;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INI_FILE_MAX) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Values expected = AllValues(text);
    expected["port\nt-arc"] = "8021";
    if (AllValues(WithIniValue(text, "PORT", "T-ARC", "8021")) != expected) __builtin_trap();
    return 0;
}
