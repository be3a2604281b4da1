// Plan CSV: what a spreadsheet sees, and that every device text comes back.
#include <gtest/gtest.h>

#include "Frames.h"
#include "files/Plancsv.h"
#include "link/Table.h"

namespace {
const char* const kHeader =
    "MAC,SERIAL,MODEL,TARCID,IPADRM,IPADRB,GPID,GWAY,MASK,TRAP1,TRAP2,TERM,LOG,OPTIP,OPTIP2,OPTIP3,OPT1,OPT2,"
    "OPT3,TOUT,CONT,NAME,LOC,UNIQ\r\n";

std::vector<TDeviceRec> Devices(const std::vector<std::pair<std::string, std::vector<std::string>>>& answers) {
    TmTable table;
    for (const auto& [mac, items] : answers) {
        const Bytes b = Answer(mac, items);
        table.TakeAnswer(b.data(), static_cast<uint16_t>(b.size()));
    }
    return table.Rows();
}
}  // namespace

TEST(PlanCsv, RowsInSerialOrderWithEmptyCellsForUnreportedKeys) {
    const auto rows = Devices({{"02-00-00-00-00-03", {"SERIAL:10", "MODEL:KLV-70", "IPADRM:10.0.0.3"}},
                               {"02-00-00-00-00-01", {"SERIAL:9", "TARCID:001", "NAME:a"}},
                               {"02-00-00-00-00-02", {"SERIAL:A7", "UNIQ:5"}},
                               {"02-00-00-00-00-00", {"SERIAL:010"}}});
    EXPECT_EQ(PlanCsv(rows), std::string(kHeader) +
                                 "02-00-00-00-00-01,9,,001,,,,,,,,,,,,,,,,,,a,,\r\n"
                                 "02-00-00-00-00-00,010,,,,,,,,,,,,,,,,,,,,,,\r\n"
                                 "02-00-00-00-00-03,10,KLV-70,,10.0.0.3,,,,,,,,,,,,,,,,,,,\r\n"
                                 "02-00-00-00-00-02,A7,,,,,,,,,,,,,,,,,,,,,,5\r\n");
}

TEST(PlanCsv, CellsAreQuotedOnlyWhereASpreadsheetNeedsIt) {
    struct Case {
        std::string In, Out;
    } cases[] = {{"plain", "plain"},           {"a,b", "\"a,b\""},     {"say \"hi\"", "\"say \"\"hi\"\"\""},
                 {"two\nlines", "\"two\nlines\""}, {" lead", "\" lead\""}, {"trail\t", "\"trail\t\""},
                 {"\xEF\xBB\xBFx", "\"\xEF\xBB\xBFx\""}, {"", ""}};
    for (const Case& c : cases) EXPECT_EQ(CsvLine({c.In, "x"}), c.Out + ",x\r\n") << c.In;
}

TEST(PlanCsv, EveryDeviceTextComesBackWhole) {
    const std::string hostile[] = {"Caf\xE9, \"Nord\"", " spaced ", "line\r\nbreak", "\xA0\xC3\xBF", ",", "\"\""};
    for (const std::string& name : hostile) {
        const auto rows = Devices({{"02-00-00-00-00-01", {"SERIAL:1", "NAME:" + name, "LOC:x"}}});
        std::string error;
        const auto records = ParseCsv(PlanCsv(rows), error);
        ASSERT_TRUE(records) << error;
        ASSERT_EQ(records->size(), 2u);
        ASSERT_EQ((*records)[1].size(), static_cast<size_t>(PLAN_COLUMNS));
        const auto back = Latin1FromUtf8((*records)[1][21]);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, PlanCell(rows[0], KEY_NAME));
        EXPECT_EQ((*records)[0][21], "NAME");
    }
}

TEST(PlanCsv, ReadsWhatEditorsWriteAndRefusesBrokenQuotes) {
    struct Case {
        const char* Text;
        std::vector<std::vector<std::string>> Want;  // empty: refused
    } cases[] = {
        {"\xEF\xBB\xBFMAC,NAME\n\n02-00-00-00-00-01, a b \n", {{"MAC", "NAME"}, {"02-00-00-00-00-01", "a b"}}},
        {"MAC,NAME\r\nx,\" a \"\r\n", {{"MAC", "NAME"}, {"x", " a "}}},
        {"MAC,NAME\nx,", {{"MAC", "NAME"}, {"x", ""}}},
        {"MAC,NAME\nx,\"open", {}},
        {"MAC,NAME\nx,a\"b\n", {}},
        {"MAC,NAME\nx,\"a\"b\n", {}},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto got = ParseCsv(c.Text, error);
        if (c.Want.empty()) {
            EXPECT_FALSE(got) << c.Text;
            EXPECT_NE(error.find("after record"), std::string::npos) << error;
        } else {
            ASSERT_TRUE(got) << c.Text << error;
            EXPECT_EQ(*got, c.Want) << c.Text;
        }
    }
}

TEST(PlanCsv, Latin1FromUtf8RefusesWhatADeviceCannotHold) {
    struct Case {
        const char* In;
        const char* Out;  // nullptr: refused
    } cases[] = {{"abc", "abc"},          {"caf\xC3\xA9", "caf\xE9"}, {"\xC2\xA0", "\xA0"},
                 {"\xC3\xBF", "\xFF"},    {"\xE2\x82\xAC", nullptr},  {"\xC3", nullptr},
                 {"\xC3(", nullptr},      {"\xE9", nullptr},          {"\xC0\x80", nullptr}};
    for (const Case& c : cases) {
        const auto got = Latin1FromUtf8(c.In);
        if (c.Out == nullptr) EXPECT_FALSE(got) << c.In;
        else EXPECT_EQ(got.value_or("<refused>"), c.Out) << c.In;
    }
}
