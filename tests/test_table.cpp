// The device table: merging answers, row operations, capacity and the lock.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

#include "Frames.h"
#include "link/Table.h"

namespace {
TDeviceRec Row(const TmTable& t, int i) {
    TDeviceRec r{};
    EXPECT_TRUE(t.CopyRow(i, r));
    return r;
}

Bytes A(const std::vector<std::string>& items) { return Answer(MacOf(1), items); }
}  // namespace

// Answers merged in turn, the last one taken or refused: the rows, what the
// last one changed, and the first row's fields (text, then NULs to the end);
// of the keys with a flag, those listed are reported and no others.
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
    const Case cases[] = {
        {"new", {A({"INFO:NETWORK", "IPADRM:192.168.0.10"})}, {{KEY_IPADRM, "192.168.0.10"}}, CHG_DEVICE | CHG_NETWORK},
        {"what differs changes", {A({"MODEL:A", "NAME:x"}), A({"MODEL:A", "NAME:y"})}, {{KEY_NAME, "y"}}, CHG_INFO},
        {"a key reported anew", {A({"NAME:y"}), A({"NAME:y", "GMT:+9"})}, {{KEY_GMT, "+9"}, {KEY_NAME, "y"}}, CHG_DATE},
        {"empty equals empty", {A({"MODEL:A"}), A({"MODEL:A", "GPID:"})}, {{KEY_GPID, ""}}, 0},
        {"cut to the width, the same", {A({"SERIAL:1234567890A"}), A({"SERIAL:1234567890X"})},
         {{KEY_SERIAL, "1234567890"}}, 0},
        {"a shorter value replaces the whole", {A({"NAME:longer"}), A({"NAME:ab"})}, {{KEY_NAME, "ab"}}, CHG_INFO},
        // A device file ends a frame at ETX, so a value holding one would reopen
        // as an extra row that never answered; it is cut there, as a NUL cuts it.
        {"cut at NUL, STX and ETX",
         {A({"MODEL:mid\x03\x02MAC:02-00-00-00-00-99", "NAME:a\x02" "b", std::string("CONT:x\0y", 8), "LOC:\x01ok",
             "UNIQ:0123456789ab\x03" "cd"})},
         {{KEY_MODEL, "mid"}, {KEY_NAME, "a"}, {KEY_CONT, "x"}, {KEY_LOC, "\x01ok"}, {KEY_UNIQ, "0123456789ab"}}, info},
        {"items a key names, to the first colon",
         {A({"MODEL:abc"}), A({"MODEL:", "model:zzz", "NAME:a:b:c", "noColon", "UNKNOWN:1", "MAC:x"})},
         {{KEY_MODEL, ""}, {KEY_NAME, "a:b:c"}}, info},
        {"a truncated frame's whole items", {truncated}, {{KEY_MODEL, "m"}, {KEY_SERIAL, ""}}, CHG_DEVICE},
        // Not parsed from a cut copy that would look like a shorter, valid item.
        {"an item too long for any frame",
         {MakeFrame("MAC", MacOf(1), {"NAME:" + std::string(600, 'n'), "LOC:x"}, false)}, {{KEY_LOC, "x"}}, info},
        {"another letter case, another MAC", {Answer("02-00-00-00-00-0A", {}), Answer("02-00-00-00-00-0a", {})}, {},
         CHG_DEVICE, true, 2},
        {"a known MAC while adding none", {A({}), A({"NAME:x"})}, {{KEY_NAME, "x"}}, CHG_INFO, true, 1, true},
        {"a new MAC while adding none", {A({}), Answer(MacOf(2), {})}, {}, 0, false, 1, true},
        {"shorter than 23", {cut}, {}, 0, false, 0},
        {"not MAC", {MakeFrame("ACK", MacOf(1), {"MODEL:x"})}, {}, 0, false, 0},
        {"lower-case mac keyword", {MakeFrame("mac", MacOf(1), {"MODEL:x"})}, {}, 0, false, 0},
        {"broadcast MAC", {Answer("FF-FF-FF-FF-FF-FF", {"MODEL:x"})}, {}, 0, false, 0},
        {"broadcast MAC in lower case", {Answer("ff-ff-FF-fF-ff-ff", {"MODEL:x"})}, {}, 0, false, 0},
        {"MAC holding ETX", {Answer("02-00-00-00-00-0\x03", {"MODEL:x"})}, {}, 0, false, 0},
        {"MAC holding STX", {Answer("02-00-00-\x02-00-01", {"MODEL:x"})}, {}, 0, false, 0},
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
        const TDeviceRec r = c.rows > 0 ? Row(t, 0) : TDeviceRec{};
        for (int key = 0; key < KEY_COUNT; ++key) {
            const auto f = std::find_if(c.fields.begin(), c.fields.end(), [&](const auto& f) { return f.first == key; });
            const std::string whole(FieldOf(r, key), KeyFields[key].Width + 1);
            if (f != c.fields.end()) {
                EXPECT_EQ(whole, f->second + std::string(whole.size() - f->second.size(), '\0')) << KeyFields[key].Name;
            }
            EXPECT_EQ(HasKey(r, key), f != c.fields.end() && KeyFields[key].FlagOffset >= 0) << KeyFields[key].Name;
        }
    }
}

// Rows count from 1 here, and "all" is no row number: row 255 or 256 of a full
// table goes alone.  The rows behind it move down with their MAC lookup and
// the interfaces their devices were heard on; the slot left over starts empty;
// a full table refuses, and counts, a new MAC.
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
        EXPECT_EQ(t.Count(), gone < 0 ? 256 : 255);
        for (int i = 0; i < 256; ++i) {
            const int at = t.FindRow(MacOf(i).c_str());
            ASSERT_EQ(at, i == gone ? -1 : i - (gone >= 0 && i > gone)) << MacOf(i);
            EXPECT_TRUE(at < 0 || t.RowOutlets(at).Has(card(i))) << MacOf(i);
        }
        const bool room = gone >= 0;
        EXPECT_EQ(Take(t, Answer(MacOf(999), {"MODEL:m"})), room);
        EXPECT_EQ(t.TakeLeftOut(), room ? 0u : 1u);
        if (room) {
            EXPECT_FALSE(HasKey(Row(t, 255), KEY_CONT));
            EXPECT_EQ(t.RowOutlets(255).Count, 0);
        }
        // The lookup follows a MAC edited in place too.
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
    // answer, answer read from a file, date answer, ACK, NAK, wait, wait for a move, search
    enum What { A, F, D, K, N, W, M, S };
    struct Event {
        What what;
        Origin from = {};
        const char* serial = nullptr;
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
        {"NAK from another host", {{A, device}, {W}, {N, other}}, STATUS_NONE, ""},
        {"ACK from the device", {{A, device}, {W}, {K, device}}, STATUS_ACK, ""},
        {"NAK from its other card", {{A, device}, {A, otherCard}, {W}, {N, otherCard}}, STATUS_NAK, "", 2},
        {"a row from a file, not heard yet, takes any ACK", {{F}, {W}, {K, other}}, STATUS_ACK, "", 0},
        {"date answer from the device", {{A, device}, {W}, {D, device}}, STATUS_ACK, ""},
        {"date answer from another host", {{A, device}, {W}, {D, other}, {D, device}}, STATUS_NONE, two},
        {"a forged answer moves nothing and its ACK never counts",
         {{A, device}, {A, other}, {W}, {K, other}, {N, device}}, STATUS_NONE, two},
        {"two addresses in one search", {{S}, {A, device}, {A, other}, {W}, {K, device}}, STATUS_NONE, two},
        {"a device that moved is believed after the next search",
         {{A, device}, {A, other}, {S}, {A, other}, {W}, {K, other}}, STATUS_ACK, ""},
        {"one MAC with two serials", {{A, device, "100"}, {A, device, "101"}, {W}, {K, device}}, STATUS_NONE,
         "answers with two serials: 100 and 101"},
        {"one serial twice", {{A, device, "100"}, {A, device, "100"}, {W}, {K, device}}, STATUS_ACK, ""},
        {"a new main address acknowledges a network SET", {{A, device}, {M}, {K, moved}}, STATUS_ACK, ""},
        {"and nothing else", {{A, device}, {W}, {K, moved}}, STATUS_NONE, ""},
    };
    const std::string mac = MacOf(1);
    for (const Case& c : cases) {
        TmTable t;
        for (const Event& e : c.events) {
            std::vector<std::string> items = {"NAME:n"};
            if (e.serial != nullptr) items.push_back(std::string("SERIAL:") + e.serial);
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

// A poller that looked only at the latest answer's changes would miss a new
// row followed at once by an unchanged answer.
TEST(Table, ChangesAccumulateUntilTaken) {
    TmTable t;
    Take(t, A({"MODEL:a"}));
    Take(t, A({"MODEL:a"}));
    EXPECT_EQ(t.ChangeMask(), 0u);
    EXPECT_EQ(t.TakeChanges(), CHG_DEVICE);
    EXPECT_EQ(t.TakeChanges(), 0u);
}
