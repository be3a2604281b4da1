// Where the main window stood and how large it was, kept between runs in a
// section of its own in the settings file.
#pragma once

#include <optional>
#include <string>

struct WindowPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Maximized = false;

    bool operator==(const WindowPlace&) const = default;
};

inline constexpr char WINDOW_SECTION[] = "WINDOW";

// Nothing when the file holds no complete, sane place.
std::optional<WindowPlace> ReadWindowPlace(const std::string& settingsPath);
// Every other section and key of the file stays as it was; false when the
// file could not be written.
bool WriteWindowPlace(const std::string& settingsPath, const WindowPlace& place);
