// The date checks, table-driven.
#include <gtest/gtest.h>

#include "rules/Datecheck.h"
#include "rules/Strings.h"

namespace {
using Edits = std::array<std::string, DATE_EDITS>;
}

TEST(DateCheck, Verdicts) {
    struct Case {
        Edits edits;
        int failed;  // -1: accepted
        int message;
        const char* text;
    };
    const Case cases[] = {
        {{"2024", "2", "29", "9", "7", "+9"}, -1, 0, "2024.02.29.09.07"},
        {{"2000", "2", "29", "0", "0", "0"}, -1, 0, "2000.02.29.00.00"},
        {{"2023", "2", "29", "9", "7", "9"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"1900", "2", "29", "9", "7", "9"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"2024", "4", "31", "9", "7", "9"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"2024", "12", "31", "23", "59", "13"}, -1, 0, "2024.12.31.23.59"},
        {{"999", "1", "1", "0", "0", "0"}, DATE_YEAR, MSG_BAD_DATE, ""},
        {{"abcd", "1", "1", "0", "0", "0"}, DATE_YEAR, MSG_BAD_DATE, ""},
        {{"2024", "0", "1", "0", "0", "0"}, DATE_MONTH, MSG_BAD_DATE, ""},
        {{"2024", "13", "1", "0", "0", "0"}, DATE_MONTH, MSG_BAD_DATE, ""},
        {{"2024", "1", "0", "0", "0", "0"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"2024", "1", "1", "24", "0", "0"}, DATE_HOUR, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "0", "60", "0"}, DATE_MINUTE, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "-1", "0", "0"}, DATE_HOUR, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "x", "0", "0"}, DATE_HOUR, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "0", "-5", "0"}, DATE_MINUTE, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "", "", "0"}, -1, 0, "2024.01.01.00.00"},
        {{"2024", "1", "1", "0", "0", "-12"}, -1, 0, "2024.01.01.00.00"},
        {{"2024", "1", "1", "0", "0", "14"}, DATE_GMT, MSG_BAD_GMT, ""},
        {{"2024", "1", "1", "0", "0", "-13"}, DATE_GMT, MSG_BAD_GMT, ""},
        {{"2024", "1", "1", "0", "0", ""}, DATE_GMT, MSG_BAD_GMT, ""},
        {{"2024", "1", "1", "0", "0", "ab"}, DATE_GMT, MSG_BAD_GMT, ""},
        {{"2024", "1", "1", "25", "61", "99"}, DATE_HOUR, MSG_BAD_TIME, ""},  // only the first failure
        {{"2024", "03", "05", "09", "07", "09"}, -1, 0, "2024.03.05.09.07"},
    };
    for (const Case& c : cases) {
        const DateVerdict v = ValidateDate(c.edits);
        const std::string name = c.edits[0] + "/" + c.edits[1] + "/" + c.edits[2] + " " + c.edits[3] + ":" +
                                 c.edits[4] + " " + c.edits[5];
        EXPECT_EQ(v.Ok, c.failed < 0) << name;
        EXPECT_EQ(v.Failed, c.failed) << name;
        EXPECT_EQ(v.Message, c.message) << name;
        if (v.Ok) {
            EXPECT_EQ(v.Text, c.text) << name;
        }
    }
}

TEST(DateCheck, SplitDateText) {
    EXPECT_EQ(SplitDateText("2026.12.07.09.30"), (std::array<std::string, 5>{"2026", "12", "07", "09", "30"}));
    EXPECT_EQ(SplitDateText("2026.12.07.09"), (std::array<std::string, 5>{"2026", "12", "07", "09", ""}));
    const char full[17] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2', '3', '4', '5', '6', 'X'};
    EXPECT_EQ(SplitDateText(full)[0], "1234567890123456") << "no more than 16 characters are read";
}

TEST(DateCheck, LeapYears) {
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
}
