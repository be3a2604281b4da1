// Requested values against a device's row: what is refused and why, and what
// EditRec then holds.
#include <gtest/gtest.h>

#include <cstring>

#include "Frames.h"
#include "rules/Setvalues.h"
#include "rules/Strings.h"
#include "link/Table.h"

namespace {
// A row as a device reports it; keys left out are not reported.
TDeviceRec Row(const std::vector<std::string>& items) {
    TmTable table;
    const Bytes b = Answer(MacOf(1), items);
    table.TakeAnswer(b.data(), static_cast<uint16_t>(b.size()));
    TDeviceRec r{};
    table.CopyRow(0, r);
    return r;
}

const std::vector<std::string> kFull = {
    "IPADRM:192.168.0.10", "IPADRB:192.168.0.11", "GPID:1",     "TERM:5000",   "LOG:5001", "GWAY:192.168.0.1",
    "MASK:255.255.255.0",  "OPTIP:192.168.0.20",  "OPTIP2:192.168.0.21", "OPTIP3:192.168.0.22", "OPT1:1",
    "OPT2:2",              "OPT3:3",              "TOUT:30",    "TRAP1:192.168.0.100", "TRAP2:192.168.0.101",
    "CONT:c", "NAME:n", "LOC:l", "UNIQ:7", "YMDHM:2026.12.07.09.30", "GMT:+9"};

struct Refusal {
    int Kind;
    SetValues Values;
    SetFault Fault;
    const char* Key;
    int Message;
};

}  // namespace

TEST(SetValues, RefusedWithTheWindowsMessages) {
    const TDeviceRec full = Row(kFull);
    const Refusal cases[] = {
        // Addresses: four dotted decimal parts, as the mask holds them.
        {KIND_NETWORK, {{"IPADRM", "192.168.266"}}, SetFault::BadForm, "IPADRM", MSG_BAD_MAIN_IP},
        {KIND_NETWORK, {{"IPADRM", "0xC0A8010C"}}, SetFault::BadForm, "IPADRM", MSG_BAD_MAIN_IP},
        {KIND_NETWORK, {{"GWAY", "0300.0250.1.1"}}, SetFault::BadForm, "GWAY", MSG_BAD_GATEWAY},
        {KIND_NETWORK, {{"IPADRM", "192.168.  0.010"}}, SetFault::BadForm, "IPADRM", MSG_BAD_MAIN_IP},  // octal to some
        {KIND_NETWORK, {{"IPADRM", "192.168.0.255"}}, SetFault::Check, "IPADRM", MSG_BAD_MAIN_IP},
        {KIND_NETWORK, {{"GWAY", "10.0.0.1"}}, SetFault::Check, "MASK", MSG_MASK_MISMATCH},
        // Numbers: digits within the edit's length, never '$' hex or a blank.
        {KIND_NETWORK, {{"TOUT", "99999"}}, SetFault::TooLong, "TOUT", MSG_BAD_TIME_OUT},
        {KIND_NETWORK, {{"GPID", "$FF"}}, SetFault::BadForm, "GPID", MSG_BAD_GROUP_ID},
        {KIND_NETWORK, {{"LOG", "$FFF"}}, SetFault::BadForm, "LOG", MSG_BAD_LOG},
        {KIND_NETWORK, {{"TERM", ""}}, SetFault::Check, "TERM", MSG_BAD_TERM},
        {KIND_NETWORK, {{"FOO", "1"}}, SetFault::UnknownKey, "FOO", MSG_UNKNOWN_KEY},
        {KIND_DEVINFO, {{"UNIQ", "$FF"}}, SetFault::BadForm, "UNIQ", MSG_BAD_UNIQUE_ID},
        {KIND_DEVINFO, {{"UNIQ", "-1"}}, SetFault::Check, "UNIQ", MSG_BAD_UNIQUE_ID},
        {KIND_DEVINFO, {{"UNIQ", ""}}, SetFault::Check, "UNIQ", MSG_BAD_UNIQUE_ID},
        // Texts: nothing empty, nothing that ends an item or a frame, no controls.
        {KIND_DEVINFO, {{"NAME", ""}}, SetFault::Empty, "NAME", MSG_EMPTY_VALUE},
        {KIND_DEVINFO, {{"NAME", "x\xFFIPADRM:10.9.9.9"}}, SetFault::BadByte, "NAME", MSG_BAD_BYTE},
        {KIND_DEVINFO, {{"LOC", "a\x03"}}, SetFault::BadByte, "LOC", MSG_BAD_BYTE},
        {KIND_DEVINFO, {{"CONT", "a\x1b[2J"}}, SetFault::BadByte, "CONT", MSG_BAD_BYTE},
        {KIND_DEVINFO, {{"CONT", std::string(21, 'x')}}, SetFault::TooLong, "CONT", MSG_TOO_LONG},
        {KIND_DEVINFO, {{"IPADRM", "1.2.3.4"}}, SetFault::UnknownKey, "IPADRM", MSG_UNKNOWN_KEY},
        // The date: what its edits take, then its own checks.
        {KIND_DATE, {{"MINUTE", "0000013"}}, SetFault::TooLong, "MINUTE", MSG_BAD_TIME},
        {KIND_DATE, {{"YEAR", "$FFFFFFFF"}}, SetFault::TooLong, "YEAR", MSG_BAD_DATE},
        {KIND_DATE, {{"HOUR", " 7"}}, SetFault::BadForm, "HOUR", MSG_BAD_TIME},
        {KIND_DATE, {{"DAY", "31"}, {"MONTH", "4"}}, SetFault::Check, "DAY", MSG_BAD_DATE},
        {KIND_DATE, {{"GMT", "14"}}, SetFault::Check, "GMT", MSG_BAD_GMT},
    };
    for (const Refusal& c : cases) {
        const SetVerdict v = CheckSet(c.Kind, c.Values, full);
        const std::string what = c.Values.begin()->first + "=" + c.Values.begin()->second;
        ASSERT_EQ(v.Outcome, SetOutcome::Refused) << what;
        ASSERT_EQ(v.Problems.size(), 1u) << what << ": " << ProblemText(v);
        EXPECT_EQ(v.Problems[0].Fault, c.Fault) << what;
        EXPECT_EQ(v.Problems[0].Key, c.Key) << what;
        EXPECT_EQ(v.Problems[0].Message, c.Message) << what;
        EXPECT_FALSE(v.Problems[0].Text.empty()) << what;
    }
    // Long texts the device reports go back with every information SET: one
    // that cannot fit a frame is refused here, before anything is sent.
    TDeviceRec wordy = full;
    std::memset(wordy.NAME, 'n', 240);
    std::memset(wordy.LOC, 'l', 240);
    const SetVerdict v = CheckSet(KIND_DEVINFO, {{"CONT", "x"}}, wordy);
    EXPECT_EQ(ProblemText(v), "the SET would take 529 bytes, more than one frame carries (510): the texts the device "
                              "reports go with it");
    EXPECT_EQ(CheckSet(KIND_DEVINFO, {{"CONT", "x"}, {"NAME", "short"}}, wordy).Outcome, SetOutcome::Ready);
}

TEST(SetValues, KeysTheDeviceDoesNotReportAreNamedAndEveryProblemIsListed) {
    const TDeviceRec partial = Row({"IPADRM:192.168.0.10", "MASK:255.255.255.0", "NAME:n"});
    const SetVerdict net = CheckSet(KIND_NETWORK, {{"GWAY", "192.168.0.1"}, {"TOUT", "abc"}, {"X", "1"}}, partial);
    EXPECT_EQ(ProblemText(net), "X is not a key of this setting.\nThe device does not report GWAY.\n"
                                "The device does not report TOUT.");
    EXPECT_EQ(CheckSet(KIND_NETWORK, {{"IPADRM", "192.168.0.12"}}, partial).Outcome, SetOutcome::Ready)
        << "no gateway reported: nothing to compare the main address with";
    const SetVerdict info = CheckSet(KIND_DEVINFO, {{"UNIQ", "abc"}}, partial);
    ASSERT_EQ(info.Problems.size(), 1u);
    EXPECT_EQ(info.Problems[0].Fault, SetFault::NotReported) << "UNIQ=abc is not even checked";

    // Two wrong fields: both, in the window's order and with its texts.
    const SetVerdict two = CheckSet(KIND_NETWORK, {{"TRAP2", "1.1.1.0"}, {"IPADRB", "10.0.0.255"}}, Row(kFull));
    EXPECT_EQ(ProblemText(two), "\"Backup IP\" is a illegal value.\n\"Trap2\" is a illegal value.");
}

TEST(SetValues, EditRecAsTheWindowFillsIt) {
    const TDeviceRec full = Row(kFull);
    // Network: requested values as given (blanks go when the SET is built),
    // every other field as the device holds it.
    const SetVerdict net = CheckSet(KIND_NETWORK, {{"IPADRM", "192.168.  0. 50"}, {"TOUT", "31"}}, full);
    ASSERT_EQ(net.Outcome, SetOutcome::Ready) << ProblemText(net);
    EXPECT_STREQ(net.Edit.IPADRM, "192.168.  0. 50");
    EXPECT_STREQ(net.Edit.TOUT, "31");
    EXPECT_STREQ(net.Edit.GWAY, "192.168.0.1");
    EXPECT_EQ(net.Edit.NAME[0], '\0');

    // Information: a stored value longer than the edit goes out whole when
    // untouched; a typed one counts characters (Latin-1: one byte each).
    const TDeviceRec longCont = Row({"CONT:" + std::string(30, 'c'), "NAME:n", "LOC:l", "UNIQ:1234"});
    const SetVerdict info = CheckSet(KIND_DEVINFO, {{"NAME", std::string(20, '\xE9')}}, longCont);
    ASSERT_EQ(info.Outcome, SetOutcome::Ready) << ProblemText(info);
    EXPECT_EQ(FieldText(info.Edit.CONT), std::string(30, 'c'));
    EXPECT_EQ(FieldText(info.Edit.UNIQ), "1234");
    EXPECT_EQ(FieldText(info.Edit.NAME), std::string(20, '\xE9'));

    // Date: the padded date text and the GMT as typed.
    const SetVerdict date = CheckSet(
        KIND_DATE, {{"YEAR", "2024"}, {"MONTH", "3"}, {"DAY", "5"}, {"HOUR", "9"}, {"MINUTE", "7"}, {"GMT", "+9"}}, full);
    ASSERT_EQ(date.Outcome, SetOutcome::Ready) << ProblemText(date);
    EXPECT_STREQ(date.Edit.YMDHM, "2024.03.05.09.07");
    EXPECT_STREQ(date.Edit.GMT, "+9");
}

TEST(SetValues, EditPatternsAndHelp) {
    EXPECT_EQ(EditPattern(KIND_NETWORK, "IPADRM"), "") << "the mask does it";
    EXPECT_EQ(EditPattern(KIND_NETWORK, "TOUT"), "[0-9]*");
    EXPECT_EQ(EditPattern(KIND_DATE, "GMT"), "[+-]?[0-9]*");
    EXPECT_EQ(KeysLine(KIND_NETWORK),
              "KEY: IPADRM IPADRB GPID GWAY MASK TRAP1 TRAP2 TERM LOG OPTIP OPTIP2 OPTIP3 OPT1 OPT2 OPT3 TOUT");
    EXPECT_EQ(EditsHelp(KIND_NETWORK), "Addresses: four dotted decimal parts of up to three digits; GPID, TOUT: up to 3 "
                                       "digits; TERM, LOG, OPT1-OPT3: up to 4 digits");
}
