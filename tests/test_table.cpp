// The device table, the SET frames built from its rows, and the target lists.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

#include "Frames.h"
#include "link/Table.h"
#include "link/Targets.h"

namespace {
Bytes A(const std::vector<std::string>& items) { return Answer(MacOf(1), items); }

const std::string FF = "\xFF";

void Put(TDeviceRec& r, int key, const std::string& value) {
    std::memset(FieldOf(r, key), 0, static_cast<size_t>(KeyFields[key].Width) + 1);
    std::memcpy(FieldOf(r, key), value.data(), value.size());
}
}  // namespace

// Answers merged in turn, the last taken or refused: the rows, what the last
// changed, the first row's fields, and which keys it reports.
TEST(Table, AnswersMakeAndFillRows) {
    struct Case {
        const char* name;
        std::vector<Bytes> answers;
        std::vector<std::pair<int, std::string>> fields;
        uint32_t changed;
        bool taken = true;
        int rows = 1;
        bool noAddUnknown = false;  // before the last answer
    };
    Bytes truncated = A({"MODEL:m", "SERIAL:123"}), cut = A({});
    truncated.resize(truncated.size() - 4);  // into SERIAL's value, without its 0xFF
    cut.resize(22);
    const uint32_t info = CHG_DEVICE | CHG_INFO;
    std::vector<std::string> every;  // each key fills its own field; a key counts only written exactly
    std::vector<std::pair<int, std::string>> everyField;
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) every.push_back(std::string(KeyFields[key].Name) + ":1");
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) everyField.emplace_back(key, "1");
    every.insert(every.end(), {"MODE:x", "MODELS:x", "Model:x"});
    const Case cases[] = {
        {"new", {A({"INFO:NETWORK", "IPADRM:192.168.0.10"})}, {{KEY_IPADRM, "192.168.0.10"}}, CHG_DEVICE | CHG_NETWORK},
        {"a key reported anew", {A({"NAME:y"}), A({"NAME:y", "GMT:+9"})}, {{KEY_GMT, "+9"}, {KEY_NAME, "y"}}, CHG_DATE},
        {"empty equals empty", {A({"MODEL:A"}), A({"MODEL:A", "GPID:"})}, {{KEY_GPID, ""}}, 0},
        {"cut to the width", {A({"SERIAL:1234567890A"}), A({"SERIAL:1234567890X"})}, {{KEY_SERIAL, "1234567890"}}, 0},
        {"what differs, wholly", {A({"MODEL:A", "NAME:abc"}), A({"MODEL:A", "NAME:x"})}, {{KEY_NAME, "x"}}, CHG_INFO},
        // A device file ends a frame at ETX: a value holding one would reopen as an extra row.
        {"cut at NUL, STX and ETX",
         {A({"MODEL:mid\x03\x02MAC:02-00-00-00-00-99", "NAME:a\x02" "b", std::string("CONT:x\0y", 8), "LOC:\x01ok",
             "UNIQ:0123456789ab\x03" "cd"})},
         {{KEY_MODEL, "mid"}, {KEY_NAME, "a"}, {KEY_CONT, "x"}, {KEY_LOC, "\x01ok"}, {KEY_UNIQ, "0123456789ab"}}, info},
        {"items a key names, to the first colon",
         {A({"MODEL:abc"}), A({"MODEL:", "model:zzz", "NAME:a:b:c", "noColon", "UNKNOWN:1", "MAC:x"})},
         {{KEY_MODEL, ""}, {KEY_NAME, "a:b:c"}}, info},
        {"every key", {A(every)}, everyField, info | CHG_DATE | CHG_NETWORK},
        {"a truncated frame's whole items", {truncated}, {{KEY_MODEL, "m"}, {KEY_SERIAL, ""}}, CHG_DEVICE},
        // Not parsed from a cut copy that would look like a shorter, valid item.
        {"an item too long for any frame",
         {MakeFrame("MAC", MacOf(1), {"NAME:" + std::string(600, 'n'), "LOC:x"}, false)}, {{KEY_LOC, "x"}}, info},
        {"letter case", {Answer("02-00-00-00-00-0A", {}), Answer("02-00-00-00-00-0a", {})}, {}, CHG_DEVICE, true, 2},
        {"a known MAC while adding none", {A({}), A({"NAME:x"})}, {{KEY_NAME, "x"}}, CHG_INFO, true, 1, true},
        {"a new MAC while adding none", {A({}), Answer(MacOf(2), {})}, {}, 0, false, 1, true},
        {"shorter than 23", {cut}, {}, 0, false, 0},
        {"not MAC", {MakeFrame("ACK", MacOf(1), {"MODEL:x"})}, {}, 0, false, 0},
        {"lower-case mac keyword", {MakeFrame("mac", MacOf(1), {"MODEL:x"})}, {}, 0, false, 0},
        {"the broadcast MAC in any case", {Answer("ff-ff-FF-fF-ff-ff", {"MODEL:x"})}, {}, 0, false, 0},
        {"MAC holding ETX", {Answer("02-00-00-00-00-0\x03", {"MODEL:x"})}, {}, 0, false, 0},
        {"MAC holding 0xFF", {Answer("02-00-00-\xFF-00-01", {"MODEL:x"})}, {}, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmTable t;
        for (size_t i = 0; i + 1 < c.answers.size(); ++i) ASSERT_TRUE(Take(t, c.answers[i]));
        t.SetNoAddUnknown(c.noAddUnknown);
        EXPECT_EQ(Take(t, c.answers.back()), c.taken);
        ASSERT_EQ(t.Count(), c.rows);
        EXPECT_EQ(t.ChangeMask(), c.changed);
        TDeviceRec r{};
        t.CopyRow(0, r);
        for (int key = 0; key < KEY_COUNT; ++key) {
            const auto f = std::ranges::find_if(c.fields, [&](const auto& p) { return p.first == key; });
            const std::string whole(FieldOf(r, key), KeyFields[key].Width + 1);
            if (f != c.fields.end()) {
                EXPECT_EQ(whole, f->second + std::string(whole.size() - f->second.size(), '\0')) << KeyFields[key].Name;
            }
            EXPECT_EQ(HasKey(r, key), f != c.fields.end() && KeyFields[key].FlagOffset >= 0) << KeyFields[key].Name;
        }
    }
}

// Rows count from 1 here and "all" is no row number: row 255 or 256 of a full
// table goes alone, and the rows behind move down with their MAC lookup.
TEST(Table, DeletingARowTakesItAlone) {
    const auto card = [](int i) { return static_cast<unsigned>(i % 7 + 1); };
    for (const auto& [row, gone] : {std::pair{255, 254}, {256, 255}, {1, 0}, {0, -1}, {257, -1}}) {
        SCOPED_TRACE("row " + std::to_string(row));
        TmTable t;
        for (int i = 0; i < 256; ++i) {
            const Origin from{card(i), 0};
            const Bytes b = Answer(MacOf(i), {"CONT:c"});
            ASSERT_TRUE(t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()), &from));
        }
        t.DeleteRow(row);
        for (int i = 0; i < 256; ++i) {
            const int at = t.FindRow(MacOf(i).c_str());
            ASSERT_EQ(at, i == gone ? -1 : i - (gone >= 0 && i > gone)) << MacOf(i);
            EXPECT_TRUE(at < 0 || t.RowOutlets(at).Has(card(i))) << MacOf(i);
        }
        const bool room = gone >= 0;
        EXPECT_EQ(Take(t, Answer(MacOf(999), {"MODEL:m"})), room);
        EXPECT_EQ(t.TakeLeftOut(), room ? 0u : 1u);
        TDeviceRec last{};
        ASSERT_TRUE(t.CopyRow(255, last));
        EXPECT_EQ(HasKey(last, KEY_CONT), !room) << "a slot left by a deleted row starts empty";
        EXPECT_EQ(t.RowOutlets(255).Count, room ? 0 : 1);
        t.EditRow(0, [](TDeviceRec& r) { std::memcpy(r.MAC, MacOf(1000).c_str(), MAC_LEN); });
        EXPECT_EQ(t.FindRow(MacOf(1000).c_str()), 0);
        EXPECT_LT(t.FindRow(MacOf(row == 1 ? 1 : 0).c_str()), 0);
        t.DeleteRow(NO_ROW);
        EXPECT_EQ(t.Count(), 0);
        EXPECT_LT(t.FindRow(MacOf(5).c_str()), 0);
    }
}

// Who a SET's answer counts from, and when a MAC's device is in doubt: heard
// from two addresses, or with two serials, since the last search began.
TEST(Table, AnswersCountFromTheDeviceAloneAndADoubtfulMacIsNotSentTo) {
    const Origin device{2, inet_addr("10.0.0.5")}, otherCard{3, inet_addr("10.0.0.5")},
        other{2, inet_addr("10.0.0.6")}, moved{2, inet_addr("10.0.0.7")};
    enum What { A, F, D, K, N, W, M, S };  // answer, from a file, date answer, ACK, NAK, wait, wait for a move, search
    struct Event {
        What what;
        Origin from = {};
        const char* item = nullptr;  // besides NAME
    };
    struct Case {
        const char* name;
        std::vector<Event> events;
        uint32_t status;
        std::string doubt;
        int cards = 1;  // the interfaces a frame for it leaves by; 0: every one
    };
    const std::string two = "answers from two addresses: 10.0.0.5 and 10.0.0.6";
    const Case cases[] = {
        {"ACK from another host", {{A, device}, {W}, {K, other}}, STATUS_NONE, ""},
        {"ACK from the device", {{A, device}, {W}, {K, device}}, STATUS_ACK, ""},
        {"NAK from its other card", {{A, device}, {A, otherCard}, {W}, {N, otherCard}}, STATUS_NAK, "", 2},
        {"a row from a file, not heard yet, takes any ACK", {{F}, {W}, {K, other}}, STATUS_ACK, "", 0},
        {"date answer from the device", {{A, device}, {W}, {D, device}}, STATUS_ACK, ""},
        {"one whose INFO begins with DATE", {{A, device}, {W}, {A, device, "INFO:DATEX"}}, STATUS_ACK, ""},
        {"no other INFO", {{A, device}, {W}, {A, device, "INFO:DAT"}, {A, device, "INFO:date"}}, STATUS_NONE, ""},
        {"date answer from another host", {{A, device}, {W}, {D, other}, {D, device}}, STATUS_NONE, two},
        {"a forged answer", {{A, device}, {A, other}, {W}, {K, other}, {N, device}}, STATUS_NONE, two},
        {"two addresses in one search", {{S}, {A, device}, {A, other}, {W}, {K, device}}, STATUS_NONE, two},
        {"moved, believed after a search", {{A, device}, {A, other}, {S}, {A, other}, {W}, {K, other}}, STATUS_ACK, ""},
        {"two serials", {{A, device, "SERIAL:100"}, {A, device, "SERIAL:101"}, {W}, {K, device}}, STATUS_NONE,
         "answers with two serials: 100 and 101"},
        {"one serial twice", {{A, device, "SERIAL:100"}, {A, device, "SERIAL:100"}, {W}, {K, device}}, STATUS_ACK, ""},
        {"a new main address acknowledges a network SET", {{A, device}, {M}, {K, moved}}, STATUS_ACK, ""},
        {"and nothing else", {{A, device}, {W}, {K, moved}}, STATUS_NONE, ""},
    };
    const std::string mac = MacOf(1);
    for (const Case& c : cases) {
        TmTable t;
        for (const Event& e : c.events) {
            std::vector<std::string> items = {"NAME:n"};
            if (e.item != nullptr) items.push_back(e.item);
            const Bytes b = Answer(mac, e.what == D ? std::vector<std::string>{"INFO:DATE"} : items);
            switch (e.what) {
                case A:
                case D: t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()), &e.from); break;
                case F: Take(t, b); break;
                case K: t.SetStatus(STATUS_ACK, mac.c_str(), &e.from); break;
                case N: t.SetStatus(STATUS_NAK, mac.c_str(), &e.from); break;
                case W: t.AwaitAnswer(0); break;
                case M: t.AwaitAnswer(0, moved.Source); break;
                case S: t.BeginSearch(); break;
            }
        }
        EXPECT_EQ(t.RowStatus(0), c.status) << c.name;
        EXPECT_EQ(t.RowDoubt(0), c.doubt) << c.name;
        EXPECT_EQ(t.RowOutlets(0).Count, c.cards) << c.name;
        std::strcpy(t.EditRec.NAME, "x");
        EXPECT_EQ(t.BuildSet(0, KIND_DEVINFO, false) == 0, !c.doubt.empty()) << c.name << ": a SET only where no doubt";
    }
}

// A poller of the latest answer's changes alone would miss a new row then an
// unchanged answer.  A built SET leaves the group id reported, and EditRec's
// addresses as they went out, which the window commits to the row.
TEST(Table, WhatAnswersAndSetsLeaveBehind) {
    TmTable t;
    Take(t, A({"IPADRM:10.0.0.1"}));
    Take(t, A({"IPADRM:10.0.0.1"}));
    EXPECT_EQ(t.ChangeMask(), 0u);
    EXPECT_EQ(t.TakeChanges(), CHG_DEVICE | CHG_NETWORK);
    EXPECT_EQ(t.TakeChanges(), 0u);
    std::strcpy(t.EditRec.IPADRM, "10. 0.0. 2");
    ASSERT_GT(t.BuildSet(0, KIND_NETWORK, false), 0);
    EXPECT_STREQ(t.EditRec.IPADRM, "10.0.0.2");
    t.EditRow(0, [](TDeviceRec& r) { EXPECT_EQ(r.HasGPID, 1); });
}

// A value holding a byte that ends an item or a frame would put items of its
// own on the wire (a name changing the main address): no such frame is built.
TEST(Protocol, SetFrames) {
    using F = SetFrameFault;
    struct Case {
        const char* name;
        int kind;
        std::vector<int> reported;
        std::string items;  // "" when no frame is built
        F fault = F::None;
        bool broadcast = false;
        std::vector<std::pair<int, std::string>> edits = {};
        std::string mac = MacOf(1);
    };
    const std::string x256(256, 'x'), date = "YMDHM:2024.03.05.09.07" + FF, all = "ff-FF-ff-FF-ff-FF";
    const Case cases[] = {
        {"network", KIND_NETWORK, {KEY_IPADRM, KEY_MASK},
         "IPADRM:192.168.0.10" + FF + "GPID:7" + FF + "MASK:255.255.255.0" + FF},
        {"an address filling its field", KIND_NETWORK, {KEY_GWAY}, "GPID:7" + FF + "GWAY:111.111.111.111" + FF, F::None,
         false, {{KEY_GWAY, "111.111.111.111"}}},
        {"empty", KIND_NETWORK, {KEY_IPADRB, KEY_TERM}, "GPID:7" + FF + "TERM:12" + std::string(2, '\0') + FF},
        {"date and zone", KIND_DATE, {KEY_YMDHM, KEY_GMT}, date + "GMT:+9" + FF},
        {"information", KIND_DEVINFO, {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ},
         "CONT:c" + FF + "NAME:n" + FF + "LOC:l" + FF + "UNIQ:7" + FF},
        {"to every device", KIND_DATE, {KEY_YMDHM}, date, F::None, true},
        {"nothing reported", KIND_DEVINFO, {}, "", F::Empty},
        {"a row with the broadcast MAC", KIND_DATE, {KEY_YMDHM}, "", F::BadMac, false, {}, all},
        {"0xFF smuggling", KIND_DEVINFO, {KEY_NAME}, "", F::BadByte, false, {{KEY_NAME, "x\xFFIPADRM:1.2.3.4"}}},
        {"STX", KIND_DEVINFO, {KEY_CONT}, "", F::BadByte, false, {{KEY_CONT, "a\x02"}}},
        {"ETX far in", KIND_DEVINFO, {KEY_LOC}, "", F::BadByte, false, {{KEY_LOC, "abcdefghijklm\x03opqrstu"}}},
        {"0xFF after TERM's NUL", KIND_NETWORK, {KEY_TERM}, "", F::BadByte, false, {{KEY_TERM, {"1\0\xFF", 3}}}},
        {"too long for a frame", KIND_DEVINFO, {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ}, "", F::TooLong, false,
         {{KEY_CONT, x256}, {KEY_NAME, x256}, {KEY_LOC, x256}, {KEY_UNIQ, x256}}},
        {"one full text fits", KIND_DEVINFO, {KEY_CONT}, "CONT:" + x256 + FF, F::None, false, {{KEY_CONT, x256}}},
    };
    TDeviceRec base{};
    for (const auto& [key, value] : std::vector<std::pair<int, std::string>>{
             {KEY_IPADRM, "192.168.  0. 10"}, {KEY_GPID, "7"}, {KEY_TERM, "12"}, {KEY_MASK, "255.255.255.  0"},
             {KEY_GWAY, "1.1.1.1"}, {KEY_YMDHM, "2024.03.05.09.07"}, {KEY_GMT, "+9"}, {KEY_CONT, "c"},
             {KEY_NAME, "n"}, {KEY_LOC, "l"}, {KEY_UNIQ, "7"}})
        Put(base, key, value);
    for (const Case& c : cases) {
        TDeviceRec device{}, edit = base;
        std::memcpy(device.MAC, c.mac.data(), MAC_LEN);
        for (int key : c.reported) *FlagOf(device, key) = 1;
        for (const auto& [key, value] : c.edits) Put(edit, key, value);
        uint8_t out[FRAME_MAX];
        const SetFrameResult r = BuildSetFrame(device, edit, c.kind, c.broadcast, out);
        const std::string head = "\x02SET:" + (c.broadcast ? std::string(BROADCAST_MAC) : c.mac) + FF;
        EXPECT_EQ(Text(out, r.Length), c.items.empty() ? "" : head + c.items + "\x03") << c.name;
        EXPECT_EQ(r.Fault, c.fault) << c.name;
    }
}

// No device answers on loopback or a multicast group; one the broadcasts
// reach already would take every frame twice.
TEST(Targets, DottedQuadsOnlyAtMostSixtyFourAndNoneTheBroadcastsReach) {
    struct Case {
        std::vector<std::string> texts;
        std::vector<const char*> addresses;
        std::vector<std::string> bad;
    };
    const std::vector<std::string> no = {"10.1.2", "010.1.2.3", "0x0a.1.2.3", "10.1.2.256", "host.example", "0.0.0.0"};
    const Case cases[] = {
        {{" 10.1.2.255  192.168.9.7 ", "10.1.2.255"}, {"10.1.2.255", "192.168.9.7"}, {}},
        {no, {}, no},
        {{"bad 10.9.9.9"}, {"10.9.9.9"}, {"bad"}},
        {{"127.0.0.1 224.0.0.1 239.1.2.3 10.9.9.9"}, {"10.9.9.9"}, {"127.0.0.1", "224.0.0.1", "239.1.2.3"}},
        {{""}, {}, {}},
    };
    for (const Case& c : cases) {
        const TargetList list = ParseTargets(c.texts);
        std::vector<in_addr_t> expect;
        for (const char* a : c.addresses) expect.push_back(inet_addr(a));
        EXPECT_EQ(list.Addresses, expect) << c.texts[0];
        EXPECT_EQ(list.Bad, c.bad) << c.texts[0];
    }
    std::string many;
    for (int i = 1; i <= 70; ++i) many += "10.9.0." + std::to_string(i) + " ";
    const TargetList list = ParseTargets({many});
    EXPECT_EQ(list.Addresses.size(), MAX_TARGETS);
    EXPECT_EQ(list.TooMany, 6u);

    const ReachedTargets r = SkipReached(
        {inet_addr("10.77.0.255"), inet_addr("10.78.0.255"), inet_addr("10.77.0.9"), inet_addr("255.255.255.255")},
        {{inet_addr("10.77.0.1"), inet_addr("255.255.255.0")}, {inet_addr("127.0.0.1"), inet_addr("255.0.0.0")}});
    EXPECT_EQ(r.Kept, std::vector<in_addr_t>{inet_addr("10.78.0.255")});
    const std::string onIt = " left out: it is on a network this computer broadcasts on already",
                      twice = " (it would get every frame twice)";
    EXPECT_EQ(r.Notes, (std::vector<std::string>{"target 10.77.0.255" + onIt + twice, "target 10.77.0.9" + onIt + twice,
                                                  "target 255.255.255.255 left out: the broadcasts already go there" +
                                                      twice}));
}
