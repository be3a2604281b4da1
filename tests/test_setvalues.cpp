// Requested values against a device's row: what is refused and why, and what
// EditRec then holds.
#include <gtest/gtest.h>

#include <cstring>

#include "Frames.h"
#include "rules/Setvalues.h"
#include "rules/Strings.h"

namespace {
// Rows as devices report them; keys left out are not reported.
TDeviceRec Full() { return RowsOf({FullDevice(MacOf(1))})[0]; }
TDeviceRec Partial() { return RowsOf({Answer(MacOf(1), {"IPADRM:192.168.0.10", "MASK:255.255.255.0", "NAME:n"})})[0]; }
}  // namespace

TEST(SetValues, RefusedWithTheWindowsMessages) {
    // The kind, the values asked, and the one problem: its fault, the key it names, its message.
    const std::tuple<int, SetValues, SetFault, const char*, int> cases[] = {
        // Addresses: four dotted decimal parts.
        {KIND_NETWORK, {{"IPADRM", "0xC0A8010C"}}, SetFault::BadForm, "IPADRM", MSG_BAD_MAIN_IP},
        {KIND_NETWORK, {{"IPADRM", "192.168.  0.010"}}, SetFault::BadForm, "IPADRM", MSG_BAD_MAIN_IP},  // octal to some
        {KIND_NETWORK, {{"GWAY", "10.0.0.1"}}, SetFault::Check, "MASK", MSG_MASK_MISMATCH},
        // Numbers: digits within the edit's length, never '$' hex or a blank.
        {KIND_NETWORK, {{"TOUT", "99999"}}, SetFault::TooLong, "TOUT", MSG_BAD_TIME_OUT},
        {KIND_NETWORK, {{"GPID", "$FF"}}, SetFault::BadForm, "GPID", MSG_BAD_GROUP_ID},
        {KIND_NETWORK, {{"FOO", "1"}}, SetFault::UnknownKey, "FOO", MSG_UNKNOWN_KEY},
        {KIND_DEVINFO, {{"UNIQ", "-1"}}, SetFault::Check, "UNIQ", MSG_BAD_UNIQUE_ID},
        // Texts: nothing empty, nothing that ends an item or a frame, no controls.
        {KIND_DEVINFO, {{"NAME", ""}}, SetFault::Empty, "NAME", MSG_EMPTY_VALUE},
        {KIND_DEVINFO, {{"NAME", "x\xFFIPADRM:10.9.9.9"}}, SetFault::BadByte, "NAME", MSG_BAD_BYTE},
        {KIND_DEVINFO, {{"CONT", "a\x1b[2J"}}, SetFault::BadByte, "CONT", MSG_BAD_BYTE},
        {KIND_DEVINFO, {{"CONT", std::string(21, 'x')}}, SetFault::TooLong, "CONT", MSG_TOO_LONG},
        {KIND_DEVINFO, {{"IPADRM", "1.2.3.4"}}, SetFault::UnknownKey, "IPADRM", MSG_UNKNOWN_KEY},
        // The date: what its edits take, then its own checks.
        {KIND_DATE, {{"HOUR", " 7"}}, SetFault::BadForm, "HOUR", MSG_BAD_TIME},
        {KIND_DATE, {{"DAY", "31"}, {"MONTH", "4"}}, SetFault::Check, "DAY", MSG_BAD_DATE},
    };
    for (const auto& [kind, values, fault, key, message] : cases) {
        const SetVerdict v = CheckSet(kind, values, Full());
        const std::string what = values.begin()->first + "=" + values.begin()->second;
        ASSERT_EQ(v.Problems.size(), 1u) << what << ": " << ProblemText(v);
        EXPECT_EQ(v.Outcome, SetOutcome::Refused) << what;
        EXPECT_EQ(v.Problems[0].Fault, fault) << what;
        EXPECT_EQ(v.Problems[0].Key, key) << what;
        EXPECT_EQ(v.Problems[0].Message, message) << what;
    }
    // Long texts the device reports go back with every information SET: one
    // that cannot fit a frame is refused here, before anything is sent.
    TDeviceRec wordy = Full();
    std::memset(wordy.NAME, 'n', 240);
    std::memset(wordy.LOC, 'l', 240);
    const SetVerdict v = CheckSet(KIND_DEVINFO, {{"CONT", "x"}}, wordy);
    EXPECT_EQ(ProblemText(v), "the SET would take 529 bytes, more than one frame carries (510): the texts the device "
                              "reports go with it");
    EXPECT_EQ(CheckSet(KIND_DEVINFO, {{"CONT", "x"}, {"NAME", "short"}}, wordy).Outcome, SetOutcome::Ready);
}

TEST(SetValues, KeysTheDeviceDoesNotReportAreNamedAndEveryProblemIsListed) {
    const SetVerdict net = CheckSet(KIND_NETWORK, {{"GWAY", "192.168.0.1"}, {"TOUT", "abc"}, {"X", "1"}}, Partial());
    EXPECT_EQ(ProblemText(net), "X is not a key of this setting.\nThe device does not report GWAY.\n"
                                "The device does not report TOUT.");
    EXPECT_EQ(ProblemText(CheckSet(KIND_DEVINFO, {{"UNIQ", "abc"}}, Partial())), "The device does not report UNIQ.")
        << "UNIQ=abc is not even checked";
}

// Requested values as given (address blanks go when the SET is built), every
// other field as the device holds it: a stored text longer than its edit goes
// out whole when untouched, and a typed one counts Latin-1 characters.
TEST(SetValues, EditRecAsTheWindowFillsIt) {
    const SetVerdict net = CheckSet(KIND_NETWORK, {{"IPADRM", "192.168.  0. 50"}, {"TOUT", "31"}}, Full());
    ASSERT_EQ(net.Outcome, SetOutcome::Ready) << ProblemText(net);
    EXPECT_EQ(std::string(net.Edit.IPADRM) + " " + net.Edit.TOUT + " " + net.Edit.GWAY + " " + net.Edit.NAME,
              "192.168.  0. 50 31 192.168.0.1 ");
    const TDeviceRec longCont = RowsOf({Answer(MacOf(1), {"CONT:" + std::string(30, 'c'), "NAME:n", "UNIQ:1234"})})[0];
    const SetVerdict info = CheckSet(KIND_DEVINFO, {{"NAME", std::string(20, '\xE9')}}, longCont);
    ASSERT_EQ(info.Outcome, SetOutcome::Ready) << ProblemText(info);
    EXPECT_EQ(FieldText(info.Edit.CONT), std::string(30, 'c'));
    EXPECT_EQ(FieldText(info.Edit.UNIQ), "1234");
    EXPECT_EQ(FieldText(info.Edit.NAME), std::string(20, '\xE9'));
    const SetVerdict date = CheckSet(KIND_DATE, {{"YEAR", "2024"}, {"MONTH", "3"}, {"DAY", "5"}, {"HOUR", "9"},
                                                 {"MINUTE", "7"}, {"GMT", "+9"}}, Full());
    EXPECT_EQ(std::string(date.Edit.YMDHM) + " " + date.Edit.GMT, "2024.03.05.09.07 +9") << ProblemText(date);
}

