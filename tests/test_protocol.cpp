// The wire protocol: item parsing edge cases and the SET builder, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "Frames.h"
#include "link/Table.h"

namespace {
bool Take(TmTable& t, const Bytes& b) { return t.TakeAnswer(b.data(), static_cast<uint16_t>(b.size())); }

// A row whose device reported exactly these keys (values empty).
TmTable& WithRow(TmTable& t, const std::vector<std::string>& keys, const char* mac = "02-00-00-00-00-01") {
    std::vector<std::string> items;
    for (const std::string& k : keys) items.push_back(k + ":");
    Take(t, Answer(mac, items));
    return t;
}

std::string Built(TmTable& t, int kind, bool broadcast = false) {
    const uint16_t n = t.BuildSet(0, kind, broadcast);
    return Text(t.SendBuf(), n);
}

const std::string FF = "\xFF";
}  // namespace

TEST(Protocol, EveryKeyIsFoundAndOnlyExactly) {
    for (int key = 0; key < KEY_COUNT; ++key)
        EXPECT_EQ(FindKey(KeyFields[key].Name, std::strlen(KeyFields[key].Name)), key) << KeyFields[key].Name;
    TmTable t;
    std::vector<std::string> items;
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) items.push_back(std::string(KeyFields[key].Name) + ":v");
    items.push_back("MODE:x");
    items.push_back("MODELS:x");
    Take(t, Answer("02-00-00-00-00-01", items));
    TDeviceRec r{};
    t.CopyRow(0, r);
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) EXPECT_STREQ(FieldOf(r, key), "v") << KeyFields[key].Name;
}

TEST(Protocol, QueryFrames) {
    uint8_t f[32];
    EXPECT_EQ(Text(f, QueryFrame(KIND_NETWORK, f)), "\x02" "ENQ:NETWORK" + FF + "\x03");
    EXPECT_EQ(Text(f, QueryFrame(KIND_DEVINFO, f)), "\x02" "ENQ:DEVINFO" + FF + "\x03");
    EXPECT_EQ(QueryFrame(KIND_DATE, f), 11u);
    EXPECT_EQ(QueryFrame(7, f), 0u);
}

TEST(Protocol, InfoItems) {
    struct Case {
        std::string value;
        bool date;
    };
    for (const Case& c : {Case{"DATE", true}, Case{"DATEX", true}, Case{"NETWORK", false}, Case{"DEVINFO", false},
                          Case{"DAT", false}, Case{"date", false}}) {
        TmTable t;
        const Bytes b = Answer("02-00-00-00-00-01", {"INFO:" + c.value});
        t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()));
        EXPECT_EQ(t.RowStatus(0) == STATUS_ACK, c.date) << c.value;
    }
}

TEST(Protocol, ItemParsingEdgeCases) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:abc"}));
    Take(t, Answer("02-00-00-00-00-01", {"MODEL:", "model:zzz", "NAME:a:b:c", "noColon", "UNKNOWN:1", "MAC:x"}));
    TDeviceRec r{};
    t.CopyRow(0, r);
    EXPECT_STREQ(r.MODEL, "") << "an empty MODEL clears the field";
    EXPECT_STREQ(r.NAME, "a:b:c") << "the key ends at the first colon";
    EXPECT_EQ(t.ChangeMask(), CHG_DEVICE | CHG_INFO);
}

TEST(Protocol, ValueCappedAt256ThenCutToWidth) {
    TmTable t;
    Take(t, Answer("02-00-00-00-00-01", {"CONT:" + std::string(300, 'c')}));
    TDeviceRec r{};
    t.CopyRow(0, r);
    EXPECT_EQ(std::string(r.CONT), std::string(256, 'c'));
}

TEST(Protocol, TruncatedFrameKeepsCompleteItems) {
    TmTable t;
    Bytes b = Answer("02-00-00-00-00-01", {"MODEL:m", "SERIAL:123"});
    b.resize(b.size() - 4);  // cuts into SERIAL's value and drops its 0xFF
    EXPECT_TRUE(Take(t, b));
    TDeviceRec r{};
    t.CopyRow(0, r);
    EXPECT_STREQ(r.MODEL, "m");
    EXPECT_STREQ(r.SERIAL, "");
}

// An item longer than the item buffer must be dropped whole, not parsed from a
// cut copy that would look like a shorter, valid item.
TEST(Protocol, OverlongItemIsDroppedWhole) {
    TmTable t;
    Bytes b{0x02};
    Append(b, "MAC:02-00-00-00-00-01");
    b.push_back(0xFF);
    Append(b, "NAME:" + std::string(600, 'n'));
    b.push_back(0xFF);
    Append(b, "LOC:here");
    b.push_back(0xFF);
    ASSERT_TRUE(Take(t, b));
    TDeviceRec r{};
    t.CopyRow(0, r);
    EXPECT_EQ(r.HasNAME, 0);
    EXPECT_STREQ(r.LOC, "here");
}

TEST(Protocol, HostileBytesAreHandled) {
    const Bytes cases[] = {
        Bytes(512, 0xFF),
        Bytes(512, ':'),
        Bytes(23, 0x00),
        [] { Bytes b = Answer("02-00-00-00-00-01", {}); Append(b, std::string(480, 'x')); return b; }(),
        [] { Bytes b = Answer("02-00-00\0-00-01", {std::string("NA\0ME:v", 7), std::string("NAME:a\0b", 8), ":"}); return b; }(),
    };
    for (const Bytes& b : cases) {
        TmTable t;
        Bytes framed = b;
        if (framed.size() >= 4) std::memcpy(framed.data() + 1, "MAC", 3);
        t.TakeAnswer(framed.data(), static_cast<uint16_t>(framed.size()));
        EXPECT_LE(t.Count(), 1);
    }
}

TEST(Protocol, WorkedNetworkSet) {
    TmTable t;
    WithRow(t, {"IPADRM"});
    std::strcpy(t.EditRec.IPADRM, "192.168.0.10");
    const std::string f = Built(t, KIND_NETWORK);
    ASSERT_EQ(f.size(), 44u);
    EXPECT_EQ(f, "\x02SET:02-00-00-00-00-01" + FF + "IPADRM:192.168.0.10" + FF + "\x03");
}

TEST(Protocol, NetworkSetFollowsFlagsAndStripsBlanks) {
    TmTable t;
    WithRow(t, {"IPADRM", "MASK"});
    std::strcpy(t.EditRec.IPADRM, "192.168.  0. 10");
    std::strcpy(t.EditRec.GPID, "7");
    std::strcpy(t.EditRec.MASK, "255.255.255.  0");
    std::strcpy(t.EditRec.GWAY, "1.1.1.1");  // no flag: not sent
    EXPECT_EQ(Built(t, KIND_NETWORK),
              "\x02SET:02-00-00-00-00-01" + FF + "IPADRM:192.168.0.10" + FF + "GPID:7" + FF + "MASK:255.255.255.0" +
                  FF + "\x03");
    EXPECT_STREQ(t.EditRec.IPADRM, "192.168.0.10") << "blanks are removed in EditRec itself";
}

TEST(Protocol, SetBuilderCases) {
    struct Case {
        const char* name;
        std::vector<std::string> reported;
        int kind;
        bool broadcast;
        std::string expectedItems;  // empty: nothing to send
    };
    const Case cases[] = {
        {"date with YMDHM only", {"YMDHM"}, KIND_DATE, false, "YMDHM:2024.03.05.09.07" + FF},
        {"date both", {"YMDHM", "GMT"}, KIND_DATE, false, "YMDHM:2024.03.05.09.07" + FF + "GMT:+9" + FF},
        {"info all", {"CONT", "NAME", "LOC", "UNIQ"}, KIND_DEVINFO, false,
         "CONT:c" + FF + "NAME:n" + FF + "LOC:l" + FF + "UNIQ:7" + FF},
        {"term padded to four", {"TERM"}, KIND_NETWORK, false, "TERM:12" + std::string(2, '\0') + FF},
        {"nothing flagged", {}, KIND_DEVINFO, false, ""},
        {"unknown kind", {"CONT"}, 9, false, ""},
    };
    for (const Case& c : cases) {
        TmTable t;
        WithRow(t, c.reported);
        std::strcpy(t.EditRec.YMDHM, "2024.03.05.09.07");
        std::strcpy(t.EditRec.GMT, "+9");
        std::strcpy(t.EditRec.CONT, "c");
        std::strcpy(t.EditRec.NAME, "n");
        std::strcpy(t.EditRec.LOC, "l");
        std::strcpy(t.EditRec.UNIQ, "7");
        std::strcpy(t.EditRec.TERM, "12");
        const std::string f = Built(t, c.kind, c.broadcast);
        if (c.expectedItems.empty()) {
            EXPECT_TRUE(f.empty()) << c.name;
        } else {
            EXPECT_EQ(f, "\x02SET:02-00-00-00-00-01" + FF + c.expectedItems + "\x03") << c.name;
        }
    }
}

TEST(Protocol, BroadcastSetAndForcedGroupFlag) {
    TmTable t;
    WithRow(t, {"YMDHM"});
    std::strcpy(t.EditRec.YMDHM, "2024.03.05.09.07");
    const std::string f = Built(t, KIND_DATE, true);
    EXPECT_EQ(f.substr(0, 23), "\x02SET:FF-FF-FF-FF-FF-FF" + FF);
    TDeviceRec r{};
    t.CopyRow(0, r);
    EXPECT_EQ(r.HasGPID, 1) << "any SET marks the group ID as present";
    // Only the date's Send to All names every device; a SET for one row never does.
    t.EditRow(0, [](TDeviceRec& row) { std::memcpy(row.MAC, "ff-FF-ff-FF-ff-FF", 17); });
    EXPECT_EQ(t.BuildSet(0, KIND_DATE, false), 0);
    EXPECT_GT(t.BuildSet(0, KIND_DATE, true), 0);
}

// A value holding a byte that ends an item or a frame would put items of its
// own on the wire (a name changing the main address): no such SET is built.
TEST(Protocol, SetWithADelimiterInAValueIsNotBuilt) {
    struct Case {
        const char* name;
        int kind;
        int key;
        std::string value;
    };
    const Case cases[] = {
        {"0xFF smuggling an item", KIND_DEVINFO, KEY_NAME, "x\xFFIPADRM:10.9.9.9"},
        {"STX", KIND_DEVINFO, KEY_CONT, "a\x02"},
        {"ETX", KIND_NETWORK, KEY_OPT1, "1\x03"},
        {"ETX far into a long value", KIND_DEVINFO, KEY_LOC, "abcdefghijklm\x03opqrstu"},
        {"0xFF behind the NUL of a four-byte TERM", KIND_NETWORK, KEY_TERM, std::string("1\0\xFF", 3)},
        {"0xFF in a date", KIND_DATE, KEY_GMT, "+9\xFF"},
    };
    for (const Case& c : cases) {
        TmTable t;
        WithRow(t, {KeyFields[c.key].Name});
        std::memcpy(FieldOf(t.EditRec, c.key), c.value.data(), c.value.size());
        EXPECT_EQ(t.BuildSet(0, c.kind, false), 0) << c.name;
        EXPECT_EQ(t.BuildSet(0, c.kind, true), 0) << c.name << ", to every device";
    }
}

TEST(Protocol, EmptyValuesAreNotSent) {
    TmTable t;
    WithRow(t, {"IPADRM", "IPADRB"});
    std::strcpy(t.EditRec.IPADRM, "");
    std::strcpy(t.EditRec.IPADRB, "1.2.3.4");
    EXPECT_EQ(Built(t, KIND_NETWORK), "\x02SET:02-00-00-00-00-01" + FF + "IPADRB:1.2.3.4" + FF + "\x03");
}

// Whatever EditRec holds, no frame longer than a queue slot is built.
TEST(Protocol, OversizedSetIsNotBuilt) {
    TmTable t;
    WithRow(t, {"CONT", "NAME", "LOC", "UNIQ"});
    for (char* f : {t.EditRec.CONT, t.EditRec.NAME, t.EditRec.LOC, t.EditRec.UNIQ}) std::memset(f, 'x', 256);
    EXPECT_EQ(t.BuildSet(0, KIND_DEVINFO, false), 0);
    for (char* f : {t.EditRec.NAME, t.EditRec.LOC, t.EditRec.UNIQ}) std::memset(f, 0, 257);
    EXPECT_GT(t.BuildSet(0, KIND_DEVINFO, false), 0) << "one full field still fits";
    EXPECT_LE(t.BuildSet(0, KIND_DEVINFO, false), SET_FRAME_MAX);
}

TEST(Protocol, LongestNetworkSetIs293Bytes) {
    TmTable t;
    WithRow(t, {"IPADRM", "IPADRB", "GPID", "TERM", "LOG", "GWAY", "MASK", "OPTIP", "OPTIP2", "OPTIP3", "OPT1",
                "OPT2", "OPT3", "TOUT", "TRAP1", "TRAP2"});
    for (int key : {KEY_IPADRM, KEY_IPADRB, KEY_GPID, KEY_TERM, KEY_LOG, KEY_GWAY, KEY_MASK, KEY_OPTIP, KEY_OPTIP2,
                    KEY_OPTIP3, KEY_OPT1, KEY_OPT2, KEY_OPT3, KEY_TOUT, KEY_TRAP1, KEY_TRAP2})
        std::memset(FieldOf(t.EditRec, key), '1', static_cast<size_t>(KeyFields[key].Width));
    EXPECT_EQ(t.BuildSet(0, KIND_NETWORK, false), 293);
}

TEST(Protocol, StripBlanks) {
    char f[16] = " 1 2. 3 ";
    EXPECT_EQ(StripBlanks(f), 4u);
    EXPECT_STREQ(f, "12.3");
    EXPECT_EQ(0, std::memcmp(f + 4, "\0\0\0\0", 4));
    char full[4] = {'1', ' ', '2', '3'};  // no NUL within the width
    EXPECT_EQ(StripBlanks(full, 4), 3u);
    EXPECT_EQ(std::string(full, 4), std::string("123\0", 4));
}
