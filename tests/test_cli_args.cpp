// What the command line makes of its arguments and how it writes texts back,
// in this process and without a network.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <sstream>

#include "cli/Output.h"
#include "cli/Setargs.h"
#include "cli/Termtext.h"
#include "Support.h"
#include "TempDir.h"

namespace {
// C, UTF-8, or a Latin-1 locale made for the test (systems seldom have one).
bool UseLocale(const std::string& name) {
    static TempDir dir;
    if (name == "latin1" && std::getenv("LOCPATH") == nullptr) {
        ::setenv("LOCPATH", dir.Path.c_str(), 1);
        const std::string make = "localedef -c -f ISO-8859-1 -i en_US " + dir.Path + "latin1 2>/dev/null";
        // With -c it is made despite warnings, which its status also reports: setlocale says.
        if (std::system(make.c_str()) == -1) return false;
    }
    return std::setlocale(LC_CTYPE, name.c_str()) != nullptr;
}

enum class Fn { FromDevice, AsTyped, ToLatin1 };

// The problem of TerminalToLatin1 with "! " before it, or what it made.
std::string Converted(Fn fn, const std::string& in) {
    if (fn == Fn::FromDevice) return ForTerminal(in);
    if (fn == Fn::AsTyped) return TerminalText(in);
    std::string latin1, problem;
    return TerminalToLatin1(in, latin1, problem) ? latin1 : "! " + problem;
}
}  // namespace

// No device text and no argument can move the cursor or split a line, in any
// encoding; what cannot be shown is \xHH, what cannot be sent is named.
TEST(TerminalText, EscapedAndConvertedInEachEncoding) {
    const std::string device = "a\tb\x1b[2Jc\nd\\\x9b\xe9";
    struct Case {
        const char* Locale;
        Fn F;
        std::string In, Want;
    } cases[] = {
        {"C.UTF-8", Fn::FromDevice, device, "a\\tb\\x1B[2Jc\\nd\\\\\\x9B\xC3\xA9"},
        {"latin1", Fn::FromDevice, device, "a\\tb\\x1B[2Jc\\nd\\\\\\x9B\xE9"},
        {"C", Fn::FromDevice, device, "a\\tb\\x1B[2Jc\\nd\\\\\\x9B\\xE9"},
        {"C.UTF-8", Fn::AsTyped, "Caf\xC3\xA9\r\xFF\xC2\x9B\xC3", "Caf\xC3\xA9\\r\\xFF\\x9B\\xC3"},
        {"latin1", Fn::AsTyped, "Caf\xE9\x9B\x7F", "Caf\xE9\\x9B\\x7F"},
        {"C", Fn::AsTyped, "Caf\xC3\xA9\n", "Caf\\xC3\\xA9\\n"},
        {"C.UTF-8", Fn::ToLatin1, "Caf\xC3\xA9\xC3\xBF", "Caf\xE9\xFF"},
        {"C.UTF-8", Fn::ToLatin1, "\xE2\x82\xAC", "! character U+20AC (\xE2\x82\xAC) is not a Latin-1 character"},
        {"C.UTF-8", Fn::ToLatin1, "x\xFF", "! byte 0xFF is no text in the terminal's encoding (UTF-8)"},
        {"C.UTF-8", Fn::ToLatin1, "x\xC3", "! byte 0xC3 is no text in the terminal's encoding (UTF-8)"},
        {"latin1", Fn::ToLatin1, "Caf\xE9", "Caf\xE9"},
        {"C", Fn::ToLatin1, "Caf\xE9", "! byte 0xE9 is no text in the terminal's encoding (ANSI_X3.4-1968)"},
    };
    std::string missing;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Locale) + " " + c.In);
        if (UseLocale(c.Locale)) EXPECT_EQ(Converted(c.F, c.In), c.Want);
        else missing += std::string(" ") + c.Locale;
    }
    std::setlocale(LC_CTYPE, "C");
    if (!missing.empty()) GTEST_SKIP() << "no locale (localedef missing?):" << missing;
}

// A MAC names one device in six hex pairs, never every device; KEY=VALUE
// words take the command's keys only, and values that are no Latin-1 text
// are problems to report, not wrong usage.
TEST(SetArguments, MacAndKeyValueForms) {
    struct Case {
        int Kind;  // KIND_DATE: the MAC alone, all allowed
        std::vector<std::string> Args;
        int Status;
        std::string Says;
        std::vector<std::string> Problems = {};
    } cases[] = {
        {KIND_DEVINFO, {"02-00-00-00-00-0a", "NAME=x", "UNIQ="}, 0, ""},
        {KIND_DATE, {"all"}, 0, ""},
        {KIND_DEVINFO, {"all", "NAME=x"}, 64, "tarnel-cli: all is for set-date only; name one device by its MAC"},
        {KIND_DEVINFO, {"02-00-00-00-00-0AXYZ"}, 64, "'02-00-00-00-00-0AXYZ' is not a MAC: expected six hex pairs"},
        {KIND_DEVINFO, {"02-00-00-00-00-0B\n"}, 64, "'02-00-00-00-00-0B\\n' is not a MAC"},
        {KIND_DEVINFO, {"02:00:00:00:00:0B"}, 64, "is not a MAC"},
        {KIND_DEVINFO, {"02-00-00-00-0G"}, 64, "is not a MAC"},
        {KIND_DEVINFO, {"ff-ff-ff-ff-ff-ff"}, 64, "FF-FF-FF-FF-FF-FF is every device, not one\n"},
        {KIND_DATE, {"FF-FF-FF-FF-FF-FF"}, 64, "is every device, not one; use all to send to every device\n"},
        {KIND_DEVINFO, {"02-00-00-00-00-0B", "NAME"}, 64, "not a KEY=VALUE of this command: NAME\n"},
        {KIND_DEVINFO, {"02-00-00-00-00-0B", "TOUT=5"}, 64, "not a KEY=VALUE of this command: TOUT=5\n"},
        {KIND_NETWORK, {"02-00-00-00-00-0B", "name=x"}, 64, "not a KEY=VALUE of this command: name=x\n"},
        {KIND_DEVINFO, {"02-00-00-00-00-0B", "N\x1b[2JME=x"}, 64, "of this command: N\\x1B[2JME=x\n"},
        {KIND_DEVINFO, {"02-00-00-00-00-0B", "NAME=x\xFFIPADRM:10.9.9.9", "LOC=\xE2\x82\xAC"}, 0, "",
         {"NAME: byte 0xFF is no text in the terminal's encoding (UTF-8)",
          "LOC: character U+20AC (\xE2\x82\xAC) is not a Latin-1 character"}},
    };
    ASSERT_TRUE(UseLocale("C.UTF-8"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0] + (c.Args.size() > 1 ? " " + c.Args[1] : ""));
        std::ostringstream err;
        SetValues values;
        std::vector<std::string> problems;
        int status = MacArgument(c.Args[0], c.Kind == KIND_DATE, err) ? 0 : 64;
        if (status == 0 && c.Kind != KIND_DATE) status = ParsePairs(c.Args, c.Kind, values, problems, err);
        EXPECT_EQ(status, c.Status);
        EXPECT_NE(err.str().find(c.Says), std::string::npos) << err.str();
        EXPECT_LE(Count(err.str(), "\n"), 1u) << "one line, whatever the argument held";
        EXPECT_EQ(problems, c.Problems);
    }
    std::setlocale(LC_CTYPE, "C");
}

// Under --json a failure is one object: what it said on standard error, less
// the progress line, the program's name and the pointer to --help.
TEST(FailureJson, WhatTheFailureSaidAsOneObject) {
    struct Case {
        std::string Said;
        int Exit;
        std::string Want;
    } cases[] = {
        {"\rsearching... 2/6\r\033[Ktarnel-cli: cannot save /x: No such file\n", 5,
         R"({"error": "cannot save /x: No such file", "exit": 5})"},
        {"tarnel-cli: bad \"value\"\n(see tarnel-cli set-info --help)\n", 64, R"({"error": "bad \"value\"", "exit": 64})"},
        {"tarnel-cli: first\ntarnel-cli: second\n", 3, R"({"error": "first\nsecond", "exit": 3})"},
        {"tarnel-cli: cannot read caf\xE9.dat\n", 5, R"({"error": "cannot read caf\ufffd.dat", "exit": 5})"},
    };
    for (const Case& c : cases) EXPECT_EQ(FailureJson(c.Said, c.Exit), c.Want) << c.Said;
}
