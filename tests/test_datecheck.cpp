// The date checks.
#include <gtest/gtest.h>

#include "rules/Datecheck.h"
#include "rules/Datenow.h"
#include "rules/Strings.h"

TEST(DateCheck, Verdicts) {
    // The edits, the one to give the focus to (-1: taken), its message, and the date text taken.
    const std::tuple<std::array<std::string, DATE_EDITS>, int, int, const char*> cases[] = {
        {{"2024", "2", "29", "9", "7", "+9"}, -1, 0, "2024.02.29.09.07"},
        {{"2000", "2", "29", "0", "0", "0"}, -1, 0, "2000.02.29.00.00"},
        {{"2023", "2", "29", "9", "7", "9"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"1900", "2", "29", "9", "7", "9"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"2024", "4", "31", "9", "7", "9"}, DATE_DAY, MSG_BAD_DATE, ""},
        {{"2024", "12", "31", "23", "59", "13"}, -1, 0, "2024.12.31.23.59"},
        {{"999", "1", "1", "0", "0", "0"}, DATE_YEAR, MSG_BAD_DATE, ""},
        {{"2024", "13", "1", "0", "0", "0"}, DATE_MONTH, MSG_BAD_DATE, ""},
        {{"2024", "1", "1", "24", "0", "0"}, DATE_HOUR, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "0", "60", "0"}, DATE_MINUTE, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "x", "0", "0"}, DATE_HOUR, MSG_BAD_TIME, ""},
        {{"2024", "1", "1", "", "", "0"}, -1, 0, "2024.01.01.00.00"},
        {{"2024", "1", "1", "0", "0", "-12"}, -1, 0, "2024.01.01.00.00"},
        {{"2024", "1", "1", "0", "0", "14"}, DATE_GMT, MSG_BAD_GMT, ""},
        {{"2024", "1", "1", "0", "0", ""}, DATE_GMT, MSG_BAD_GMT, ""},
        {{"2024", "1", "1", "25", "61", "99"}, DATE_HOUR, MSG_BAD_TIME, ""},  // only the first failure
        {{"2024", "03", "05", "09", "07", "09"}, -1, 0, "2024.03.05.09.07"},
    };
    for (const auto& [edits, failed, message, text] : cases) {
        const DateVerdict v = ValidateDate(edits);
        const std::string name = edits[0] + "." + edits[1] + "." + edits[2] + " " + edits[3] + ":" + edits[4] + " GMT" +
                                 edits[5];
        EXPECT_EQ(v.Ok, failed < 0) << name;
        EXPECT_EQ(v.Failed, failed) << name;
        EXPECT_EQ(v.Message, message) << name;
        EXPECT_EQ(v.Ok ? v.Text : "", text) << name;
    }
    EXPECT_EQ(SplitDateText("2026.12.07.09"), (std::array<std::string, 5>{"2026", "12", "07", "09", ""}));
    const char full[17] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2', '3', '4', '5', '6', 'X'};
    EXPECT_EQ(SplitDateText(full)[0], "1234567890123456") << "no more than 16 characters are read";
}

// This computer's time as edits: whole-hour offsets only, signed as devices
// write them; +5:30 is refused and still named.
TEST(DateNow, WholeHourOffsetsOnly) {
    std::tm t{};
    for (const auto& [offset, gmt, shown] : {std::tuple{9 * 3600L, "+9", "+9:00"}, {-5 * 3600L, "-5", "-5:00"},
                                             {0L, "0", "+0:00"}, {19800L, "", "+5:30"}}) {
        t.tm_gmtoff = offset;
        const NowEdits n = EditsOfLocalTime(t);
        EXPECT_EQ(n.Ok, *gmt != '\0') << shown;
        EXPECT_EQ(n.Edits[DATE_GMT], gmt) << shown;
        EXPECT_EQ(n.Offset, shown);
    }
}
