// The device table: merging answers, row operations, capacity and the lock.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>
#include <thread>

#include "Frames.h"
#include "link/Table.h"

namespace {
bool Take(TmTable& t, const Bytes& b) { return t.TakeAnswer(b.data(), static_cast<uint16_t>(b.size())); }

TDeviceRec Row(const TmTable& t, int i) {
    TDeviceRec r{};
    EXPECT_TRUE(t.CopyRow(i, r));
    return r;
}
}  // namespace

TEST(Table, WorkedAnswerAppendsRowWithNetworkAndDeviceBits) {
    TmTable t;
    ASSERT_TRUE(Take(t, Answer("02-00-00-00-00-01", {"INFO:NETWORK", "IPADRM:192.168.0.10"})));
    EXPECT_EQ(t.Count(), 1);
    const TDeviceRec r = Row(t, 0);
    EXPECT_STREQ(r.MAC, "02-00-00-00-00-01");
    EXPECT_STREQ(r.IPADRM, "192.168.0.10");
    EXPECT_EQ(r.HasIPADRM, 1);
    EXPECT_EQ(t.ChangeMask(), CHG_DEVICE | CHG_NETWORK);
}

TEST(Table, SecondAnswerChangesOnlyDifferingFields) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:A", "IPADRM:1.2.3.4", "NAME:x"}));
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:A", "IPADRM:1.2.3.4", "NAME:y"}));
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(t.ChangeMask(), CHG_INFO);
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:A", "IPADRM:1.2.3.4", "NAME:y", "GMT:+9"}));
    EXPECT_EQ(t.ChangeMask(), CHG_DATE);
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:A", "IPADRM:1.2.3.4", "GPID:"}));  // empty equals the empty field
    EXPECT_EQ(t.ChangeMask(), 0u);
    EXPECT_EQ(Row(t, 0).HasGMT, 1);
    EXPECT_EQ(Row(t, 0).HasGPID, 1) << "an unchanged value still sets its flag";
}

TEST(Table, FieldWidthCutAndShorterValueReplacesWhole) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-01", {"SERIAL:1234567890ABC", "NAME:longer name"}));
    EXPECT_STREQ(Row(t, 0).SERIAL, "1234567890");
    Take(t, Answer("02-00-00-00-00-01", {"SERIAL:1234567890XYZ"}));
    EXPECT_EQ(t.ChangeMask(), 0u) << "the same cut value is no change";
    Take(t, Answer("02-00-00-00-00-01", {"NAME:ab"}));
    const TDeviceRec r = Row(t, 0);
    EXPECT_STREQ(r.NAME, "ab");
    EXPECT_EQ(r.NAME[3], '\0');
}

// A device file ends a frame at ETX, so a value holding one would reopen as
// an extra row that never answered; a value is cut there, as a NUL cuts it.
TEST(Table, ValueIsCutAtNulStxAndEtx) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:mid\x03\x02MAC:02-00-00-00-00-99", "NAME:a\x02" "b",
                                         std::string("CONT:x\0y", 8), "LOC:\x01ok", "UNIQ:0123456789ab\x03" "cd"}));
    const TDeviceRec r = Row(t, 0);
    const auto field = [](const char* f, size_t width) { return std::string(f, width); };
    EXPECT_EQ(field(r.MODEL, 257), "mid" + std::string(254, '\0'));
    EXPECT_EQ(field(r.NAME, 257), "a" + std::string(256, '\0'));
    EXPECT_EQ(field(r.CONT, 257), "x" + std::string(256, '\0'));
    EXPECT_STREQ(r.LOC, "\x01ok");
    EXPECT_EQ(field(r.UNIQ, 257), "0123456789ab" + std::string(245, '\0'));
}

TEST(Table, MacCaseMakesDistinctRows) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-0a", {}));
    Take(t, Answer("02-00-00-00-00-0A", {}));
    EXPECT_EQ(t.Count(), 2);
}

TEST(Table, RefusedFrames) {
    struct Case {
        const char* name;
        Bytes frame;
    };
    Bytes shortFrame = Answer("02-00-00-00-00-01", {});
    shortFrame.resize(22);
    const Case cases[] = {
        {"shorter than 23", shortFrame},
        {"not MAC", MakeFrame("ACK", "02-00-00-00-00-01", {"MODEL:x"})},
        {"lower-case mac keyword", MakeFrame("mac", "02-00-00-00-00-01", {"MODEL:x"})},
        {"broadcast MAC", Answer("FF-FF-FF-FF-FF-FF", {"MODEL:x"})},
        {"broadcast MAC in lower case", Answer("ff-ff-FF-fF-ff-ff", {"MODEL:x"})},
        {"MAC holding ETX", Answer("02-00-00-00-00-0\x03", {"MODEL:x"})},
        {"MAC holding STX", Answer("02-00-00-\x02-00-01", {"MODEL:x"})},
        {"MAC holding 0xFF", Answer("02-00-00-\xFF-00-01", {"MODEL:x"})},
    };
    for (const Case& c : cases) {
        TmTable t;
        EXPECT_FALSE(Take(t, c.frame)) << c.name;
        EXPECT_EQ(t.Count(), 0) << c.name;
    }
}

TEST(Table, NoAddUnknownDropsNewMacsButMergesKnownOnes) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-01", {}));
    t.SetNoAddUnknown(true);
    EXPECT_FALSE(Take(t, Answer("02-00-00-00-00-02", {"MODEL:x"})));
    EXPECT_TRUE(Take(t, Answer("02-00-00-00-00-01", {"MODEL:y"})));
    EXPECT_EQ(t.Count(), 1);
    EXPECT_STREQ(Row(t, 0).MODEL, "y");
}

TEST(Table, FullTableRefusesThe257thMacAndStaysUnchanged) {
    TmTable t;
    for (int i = 0; i < 256; ++i) ASSERT_TRUE(Take(t, Answer(MacOf(i), {"MODEL:m"})));
    const auto before = t.Rows();
    EXPECT_EQ(t.TakeLeftOut(), 0u);
    EXPECT_FALSE(Take(t, Answer(MacOf(999), {"MODEL:new"})));
    EXPECT_FALSE(Take(t, Answer(MacOf(999), {"MODEL:new"})));
    EXPECT_EQ(t.Count(), 256);
    EXPECT_EQ(t.TakeLeftOut(), 2u) << "answers refused for lack of room are counted";
    EXPECT_EQ(t.TakeLeftOut(), 0u);
    const auto after = t.Rows();
    EXPECT_EQ(0, std::memcmp(before.data(), after.data(), sizeof(TDeviceRec) * 256));
    EXPECT_TRUE(Take(t, Answer(MacOf(5), {"MODEL:known"}))) << "known devices still merge";
}

TEST(Table, DeleteRow) {
    TmTable t;
    for (int i = 0; i < 3; ++i) Take(t, Answer(MacOf(i), {}));
    t.DeleteRow(0);
    t.DeleteRow(4);
    EXPECT_EQ(t.Count(), 3) << "out of range does nothing";
    t.DeleteRow(2);
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(std::string(Row(t, 0).MAC), MacOf(0));
    EXPECT_EQ(std::string(Row(t, 1).MAC), MacOf(2));
    t.DeleteRow(NO_ROW);
    EXPECT_EQ(t.Count(), 0);
}

TEST(Table, ReusedSlotStartsEmpty) {
    TmTable t;
    Take(t, Answer(MacOf(1), {"IPADRM:1.1.1.1", "CONT:c"}));
    t.DeleteRow(1);
    Take(t, Answer(MacOf(2), {"MODEL:m"}));
    const TDeviceRec r = Row(t, 0);
    EXPECT_EQ(r.HasIPADRM, 0);
    EXPECT_EQ(r.HasCONT, 0);
}

TEST(Table, ARowNotHeardTakesAnyAckAndAHeardOneKeepsItsCards) {
    TmTable t;
    const Origin device{2, 5}, sameDeviceOtherCard{3, 5}, other{2, 6};
    const std::string mac = MacOf(1);
    const auto merge = [&](const Bytes& b, const Origin& from) {
        return t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()), &from);
    };
    Take(t, Answer(MacOf(0), {}));
    Take(t, Answer(mac, {}));  // as from a device file: not heard yet
    t.SetStatus(STATUS_ACK, mac.c_str(), &other);
    EXPECT_EQ(t.RowStatus(1), STATUS_ACK) << "a row that has not answered takes any ACK, as before";
    EXPECT_EQ(t.RowOutlets(1).Count, 0) << "and its frames leave by every interface";

    merge(Answer(mac, {"MODEL:m"}), device);
    merge(Answer(mac, {"MODEL:m"}), sameDeviceOtherCard);
    t.DeleteRow(1);  // the row moves down and keeps where its device is
    const Outlets via = t.RowOutlets(0);
    EXPECT_EQ(via.Count, 2);
    EXPECT_TRUE(via.Has(2) && via.Has(3));
}

// Who a SET's answer counts from, and when a MAC's device is in doubt: heard
// from two addresses, or with two serials, since the last search began.
TEST(Table, AnswersCountFromTheDeviceAloneAndADoubtfulMacIsNotSentTo) {
    const Origin device{2, inet_addr("10.0.0.5")}, otherCard{3, inet_addr("10.0.0.5")},
        other{2, inet_addr("10.0.0.6")}, moved{2, inet_addr("10.0.0.7")};
    enum What { A, D, K, N, W, M, S };  // answer, date answer, ACK, NAK, wait, wait for a move, search
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
    };
    const std::string two = "answers from two addresses: 10.0.0.5 and 10.0.0.6";
    const Case cases[] = {
        {"ACK from another host", {{A, device}, {W}, {K, other}}, STATUS_NONE, ""},
        {"NAK from another host", {{A, device}, {W}, {N, other}}, STATUS_NONE, ""},
        {"ACK from the device", {{A, device}, {W}, {K, device}}, STATUS_ACK, ""},
        {"NAK from the device on its other card", {{A, device}, {A, otherCard}, {W}, {N, otherCard}}, STATUS_NAK, ""},
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
            if (e.what == D) items = {"INFO:DATE"};
            const Bytes b = Answer(mac, items);
            switch (e.what) {
                case A:
                case D: t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()), &e.from); break;
                case K: t.SetStatus(STATUS_ACK, mac.c_str(), &e.from); break;
                case N: t.SetStatus(STATUS_NAK, mac.c_str(), &e.from); break;
                case W: t.AwaitAnswer(0); break;
                case M: t.AwaitAnswer(0, moved.Source); break;
                case S: t.BeginSearch(); break;
            }
        }
        EXPECT_EQ(t.RowStatus(0), c.status) << c.name;
        EXPECT_EQ(t.RowDoubt(0), c.doubt) << c.name;
        std::strcpy(t.EditRec.NAME, "x");
        EXPECT_EQ(t.BuildSet(0, KIND_DEVINFO, false) == 0, !c.doubt.empty()) << c.name << ": a SET only where no doubt";
    }
}

TEST(Table, ChangesAccumulateUntilTaken) {
    TmTable t;
    Take(t, Answer(MacOf(1), {"MODEL:a"}));
    Take(t, Answer(MacOf(1), {"MODEL:a"}));
    EXPECT_EQ(t.ChangeMask(), 0u);
    EXPECT_EQ(t.TakeChanges(), CHG_DEVICE) << "a new row must not be hidden by a later unchanged answer";
    EXPECT_EQ(t.TakeChanges(), 0u);
}

TEST(Table, UpdateChangeMask) {
    TmTable t;
    EXPECT_FALSE(t.UpdateChangeMask(CHG_INFO, MaskUpdate::None));
    EXPECT_TRUE(t.UpdateChangeMask(CHG_INFO | CHG_DEVICE, MaskUpdate::Raise));
    EXPECT_TRUE(t.UpdateChangeMask(CHG_DEVICE, MaskUpdate::Clear));
    EXPECT_FALSE(t.UpdateChangeMask(CHG_INFO, MaskUpdate::Clear));
}

// A writer merging answers while a reader copies the grid out: run under
// ThreadSanitizer this shows every access goes through the lock.
TEST(Table, ConcurrentMergeAndGridReads) {
    TmTable t;
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            const Bytes b = Answer(MacOf(i % 300), {"MODEL:m" + std::to_string(i), "IPADRM:1.2.3.4"});
            t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()));
        }
    });
    size_t seen = 0;
    for (int i = 0; i < 200; ++i) {
        seen = std::max(seen, t.GridRows().size());
        t.TakeChanges();
        if (i % 50 == 0) t.DeleteRow(1);
    }
    writer.join();
    EXPECT_LE(t.Count(), 256);
    EXPECT_LE(seen, 256u);
}
