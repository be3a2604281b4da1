#include "files/Windowplace.h"

#include <charconv>

#include "files/Inifile.h"

namespace {
// Larger than any screen; a size beyond it is a damaged file, not a window.
constexpr int PLACE_MAX = 100000;
constexpr int NO_NUMBER = -PLACE_MAX - 1;

int ReadNumber(const std::string& path, const char* key) {
    const std::optional<std::string> text = ReadIniValue(path, WINDOW_SECTION, key);
    if (!text) return NO_NUMBER;
    int value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || stop != end || value < -PLACE_MAX || value > PLACE_MAX) return NO_NUMBER;
    return value;
}
}  // namespace

std::optional<WindowPlace> ReadWindowPlace(const std::string& settingsPath) {
    WindowPlace p;
    p.Left = ReadNumber(settingsPath, "Left");
    p.Top = ReadNumber(settingsPath, "Top");
    p.Width = ReadNumber(settingsPath, "Width");
    p.Height = ReadNumber(settingsPath, "Height");
    const int maximized = ReadNumber(settingsPath, "Maximized");
    if (p.Left == NO_NUMBER || p.Top == NO_NUMBER || p.Width <= 0 || p.Height <= 0) return std::nullopt;
    p.Maximized = maximized == 1;
    return p;
}

bool WriteWindowPlace(const std::string& settingsPath, const WindowPlace& place) {
    const std::pair<const char*, int> keys[] = {{"Left", place.Left},   {"Top", place.Top},
                                                {"Width", place.Width}, {"Height", place.Height},
                                                {"Maximized", place.Maximized ? 1 : 0}};
    bool ok = true;
    for (const auto& [key, value] : keys)
        ok = WriteIniValue(settingsPath, WINDOW_SECTION, key, std::to_string(value)) != IniWrite::Failed && ok;
    return ok;
}
