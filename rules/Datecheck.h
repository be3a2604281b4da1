// The checks of a date, time and GMT offset before they go to a device, and
// the date text the devices use ("2024.03.05.09.07").  No windows here.
#pragma once

#include <array>
#include <string>

enum DateEdit { DATE_YEAR, DATE_MONTH, DATE_DAY, DATE_HOUR, DATE_MINUTE, DATE_GMT, DATE_EDITS };

struct DateVerdict {
    bool Ok = false;
    int Failed = -1;   // the DateEdit to give the focus to
    int Message = 0;   // MSG_BAD_DATE, MSG_BAD_TIME or MSG_BAD_GMT
    std::string Text;  // the 16-character date text when Ok
};

// Checks in the order year, month, day, hour, minute, GMT and stops at the
// first failure.
DateVerdict ValidateDate(const std::array<std::string, DATE_EDITS>& edits);

// The up to five parts of a stored date text, cut at its full stops.
std::array<std::string, 5> SplitDateText(const char* ymdhm, size_t width = 16);

int DaysInMonth(int year, int month);
