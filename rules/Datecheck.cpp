#include "rules/Datecheck.h"

#include <cstdio>
#include <cstring>

#include "link/Numtext.h"
#include "rules/Strings.h"

namespace {
// Whether the text is an integer at all: two different defaults can only give
// the same result when the text itself converted.
bool ToInt(const std::string& text, int& value) {
    value = StrToIntDef(text, 0);
    return value == StrToIntDef(text, 1);
}

std::string TwoDigits(int value) {
    char t[8];
    std::snprintf(t, sizeof t, "%02d", value);
    return t;
}

DateVerdict Fail(int edit, int message) {
    DateVerdict v;
    v.Failed = edit;
    v.Message = message;
    return v;
}
}  // namespace

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

// Parts are written from their values, two digits each (four for the year):
// for the digit texts the dialog takes, that is the text padded with a
// leading zero; a sign or a blank never reaches the device's date text.
DateVerdict ValidateDate(const std::array<std::string, DATE_EDITS>& e) {
    int year = 0, month = 0, day = 0;
    if (!ToInt(e[DATE_YEAR], year) || year < 1000 || year > 9999) return Fail(DATE_YEAR, MSG_BAD_DATE);
    if (!ToInt(e[DATE_MONTH], month) || month < 1 || month > 12) return Fail(DATE_MONTH, MSG_BAD_DATE);
    if (!ToInt(e[DATE_DAY], day) || day < 1 || day > DaysInMonth(year, month)) return Fail(DATE_DAY, MSG_BAD_DATE);
    // An empty hour or minute counts as 0; a negative one or one that is no
    // number is refused rather than written into the date as typed.
    int hour = 0, minute = 0;
    if (!e[DATE_HOUR].empty() && (!ToInt(e[DATE_HOUR], hour) || hour < 0 || hour > 23))
        return Fail(DATE_HOUR, MSG_BAD_TIME);
    if (!e[DATE_MINUTE].empty() && (!ToInt(e[DATE_MINUTE], minute) || minute < 0 || minute > 59))
        return Fail(DATE_MINUTE, MSG_BAD_TIME);
    const int gmt = StrToIntDef(e[DATE_GMT], 100);
    if (gmt < -12 || gmt > 13) return Fail(DATE_GMT, MSG_BAD_GMT);

    DateVerdict v;
    v.Ok = true;
    v.Text = std::to_string(year) + "." + TwoDigits(month) + "." + TwoDigits(day) + "." + TwoDigits(hour) + "." +
             TwoDigits(minute);
    return v;
}

std::array<std::string, 5> SplitDateText(const char* ymdhm, size_t width) {
    std::array<std::string, 5> parts;
    const size_t n = strnlen(ymdhm, width);
    size_t part = 0;
    for (size_t i = 0; i < n && part < parts.size(); ++i) {
        if (ymdhm[i] == '.') ++part;
        else parts[part] += ymdhm[i];
    }
    return parts;
}
