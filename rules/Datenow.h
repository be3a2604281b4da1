// "Now" as the six date edits: this computer's local time and its offset from
// UTC in whole hours.  The time source is handed in so that tests fix it.
#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <string>

#include "rules/Datecheck.h"

struct NowEdits {
    bool Ok = false;
    std::array<std::string, DATE_EDITS> Edits;  // year, month, day, hour, minute, GMT offset
    std::string Offset;                         // the offset as +H:MM, also when refused
};

// From a broken-down local time whose tm_gmtoff holds the offset from UTC.
// An offset that is not whole hours (+5:30) is refused: the devices keep hours only.
NowEdits EditsOfLocalTime(const std::tm& local);

// The same for the time the clock gives, taken as this computer's local time.
NowEdits EditsOfNow(const std::function<std::time_t()>& clock = [] { return std::time(nullptr); });
