// The wire protocol: keys, and SET frames byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "Frames.h"
#include "link/Table.h"

namespace {
const std::string FF = "\xFF";

// The whole field holds value and NULs after it.
void Put(TDeviceRec& r, int key, const std::string& value) {
    std::memset(FieldOf(r, key), 0, static_cast<size_t>(KeyFields[key].Width) + 1);
    std::memcpy(FieldOf(r, key), value.data(), value.size());
}
}  // namespace

// Each key fills its own field; a key is found only when written exactly.
TEST(Protocol, EveryKeyIsFoundAndOnlyExactly) {
    std::vector<std::string> items;
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) items.push_back(std::string(KeyFields[key].Name) + ":v");
    items.insert(items.end(), {"MODE:x", "MODELS:x", "Model:x"});
    TmTable t;
    Take(t, Answer(MacOf(1), items));
    TDeviceRec r{};
    t.CopyRow(0, r);
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) EXPECT_EQ(FieldText(r, key), "v") << KeyFields[key].Name;
}

// An answer whose INFO begins with DATE acknowledges the date enquiry.
TEST(Protocol, InfoItems) {
    for (const auto& [value, date] : {std::pair{"DATE", true}, {"DATEX", true}, {"NETWORK", false},
                                      {"DEVINFO", false}, {"DAT", false}, {"date", false}}) {
        TmTable t;
        const Bytes b = Answer(MacOf(1), {std::string("INFO:") + value});
        t.MergeAnswer(b.data(), static_cast<uint16_t>(b.size()));
        EXPECT_EQ(t.RowStatus(0) == STATUS_ACK, date) << value;
    }
}

// The keys of a kind that the device reports, with the edited values: the
// addresses without blanks, TERM and LOG as four bytes, the group id in every
// network SET.  A value holding a byte that ends an item or a frame would put
// items of its own on the wire (a name changing the main address): no such
// frame is built, nor one longer than a queue slot.
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
        {"an empty value is not sent", KIND_NETWORK, {KEY_IPADRB, KEY_TERM},
         "GPID:7" + FF + "TERM:12" + std::string(2, '\0') + FF},
        {"date and zone", KIND_DATE, {KEY_YMDHM, KEY_GMT}, date + "GMT:+9" + FF},
        {"information", KIND_DEVINFO, {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ},
         "CONT:c" + FF + "NAME:n" + FF + "LOC:l" + FF + "UNIQ:7" + FF},
        {"to every device", KIND_DATE, {KEY_YMDHM}, date, F::None, true},
        {"nothing reported", KIND_DEVINFO, {}, "", F::Empty},
        {"no such kind", 9, {KEY_CONT}, "", F::Empty},
        // Only the date's Send to All names every device; a SET for one row never does.
        {"a row with the broadcast MAC", KIND_DATE, {KEY_YMDHM}, "", F::BadMac, false, {}, all},
        {"a row with the broadcast MAC, to every device", KIND_DATE, {KEY_YMDHM}, date, F::None, true, {}, all},
        {"0xFF smuggling an item", KIND_DEVINFO, {KEY_NAME}, "", F::BadByte, false, {{KEY_NAME, "x\xFFIPADRM:1.2.3.4"}}},
        {"STX", KIND_DEVINFO, {KEY_CONT}, "", F::BadByte, false, {{KEY_CONT, "a\x02"}}},
        {"ETX", KIND_NETWORK, {KEY_OPT1}, "", F::BadByte, false, {{KEY_OPT1, "1\x03"}}},
        {"ETX far into a long value", KIND_DEVINFO, {KEY_LOC}, "", F::BadByte, false,
         {{KEY_LOC, "abcdefghijklm\x03opqrstu"}}},
        {"0xFF behind the NUL of a four-byte TERM", KIND_NETWORK, {KEY_TERM}, "", F::BadByte, false,
         {{KEY_TERM, std::string("1\0\xFF", 3)}}},
        {"0xFF in a date", KIND_DATE, {KEY_GMT}, "", F::BadByte, false, {{KEY_GMT, "+9\xFF"}}},
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
