// Plan CSV: what a spreadsheet sees, and that every device text comes back.
#include <gtest/gtest.h>

#include "Frames.h"
#include "files/Plancsv.h"

TEST(PlanCsv, RowsInSerialOrderWithEmptyCellsForUnreportedKeys) {
    const auto rows = RowsOf({Answer(MacOf(3), {"SERIAL:10", "MODEL:KLV-70", "IPADRM:10.0.0.3"}),
                               Answer(MacOf(1), {"SERIAL:9", "TARCID:001", "NAME:a"}),
                               Answer(MacOf(2), {"SERIAL:A7", "UNIQ:5"}), Answer(MacOf(0), {"SERIAL:010"})});
    EXPECT_EQ(PlanCsv(rows), "MAC,SERIAL,MODEL,TARCID,IPADRM,IPADRB,GPID,GWAY,MASK,TRAP1,TRAP2,TERM,LOG,OPTIP,OPTIP2,"
                             "OPTIP3,OPT1,OPT2,OPT3,TOUT,CONT,NAME,LOC,UNIQ\r\n"
                             "02-00-00-00-00-01,9,,001,,,,,,,,,,,,,,,,,,a,,\r\n"
                             "02-00-00-00-00-00,010,,,,,,,,,,,,,,,,,,,,,,\r\n"
                             "02-00-00-00-00-03,10,KLV-70,,10.0.0.3,,,,,,,,,,,,,,,,,,,\r\n"
                             "02-00-00-00-00-02,A7,,,,,,,,,,,,,,,,,,,,,,5\r\n");
}

// Quoted only where a spreadsheet needs it, and read back whole, however hostile.
TEST(PlanCsv, EveryDeviceTextComesBackWhole) {
    const std::pair<std::string, std::string> cells[] = {
        {"plain", "plain"}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"two\nlines", "\"two\nlines\""},
        {" lead", "\" lead\""}, {"trail\t", "\"trail\t\""}, {"\xEF\xBB\xBFx", "\"\xEF\xBB\xBFx\""}, {"", ""}};
    for (const auto& [in, out] : cells) EXPECT_EQ(CsvLine({in, "x"}), out + ",x\r\n") << in;
    for (const std::string name : {"Caf\xE9, \"Nord\"", " spaced ", "line\r\nbreak", "\xA0\xC3\xBF", ",", "\"\""}) {
        const auto rows = RowsOf({Answer(MacOf(1), {"SERIAL:1", "NAME:" + name, "LOC:x"})});
        std::string error;
        const auto records = ParseCsv(PlanCsv(rows), error);
        ASSERT_TRUE(records) << error;
        ASSERT_EQ(records->size(), 2u);
        ASSERT_EQ((*records)[1].size(), static_cast<size_t>(PLAN_COLUMNS));
        EXPECT_EQ(Latin1FromUtf8((*records)[1][21]), PlanCell(rows[0], KEY_NAME));
    }
}

TEST(PlanCsv, ReadsWhatEditorsWriteAndRefusesBrokenQuotes) {
    const std::pair<const char*, std::vector<std::vector<std::string>>> cases[] = {  // nothing: refused
        {"\xEF\xBB\xBFMAC,NAME\n\n02-00-00-00-00-01, a b \n", {{"MAC", "NAME"}, {"02-00-00-00-00-01", "a b"}}},
        {"MAC,NAME\r\nx,\" a \"\r\n", {{"MAC", "NAME"}, {"x", " a "}}},
        {"MAC,NAME\nx,", {{"MAC", "NAME"}, {"x", ""}}},
        {"MAC,NAME\nx,\"open", {}},
        {"MAC,NAME\nx,a\"b\n", {}},
    };
    for (const auto& [text, want] : cases) {
        std::string error;
        const auto got = ParseCsv(text, error);
        EXPECT_EQ(got.value_or(std::vector<std::vector<std::string>>{}), want) << text;
        EXPECT_EQ(error.find("after record") != std::string::npos, want.empty()) << error;
    }
}

TEST(PlanCsv, Latin1FromUtf8RefusesWhatADeviceCannotHold) {
    const std::pair<const char*, const char*> cases[] = {  // nullptr: refused
        {"abc", "abc"}, {"caf\xC3\xA9", "caf\xE9"}, {"\xC2\xA0", "\xA0"}, {"\xC3\xBF", "\xFF"},
        {"\xE2\x82\xAC", nullptr}, {"\xC3", nullptr}, {"\xC3(", nullptr}, {"\xE9", nullptr}, {"\xC0\x80", nullptr}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Latin1FromUtf8(in).value_or("<refused>"), out ? out : "<refused>") << in;
}
