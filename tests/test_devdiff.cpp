// The difference of two device lists.
#include <gtest/gtest.h>

#include <cstring>

#include "files/Devdiff.h"
#include "Frames.h"
#include "link/Table.h"

namespace {
std::vector<TDeviceRec> Rows(const std::vector<Bytes>& frames) {
    TmTable t;
    for (const Bytes& f : frames) t.TakeAnswer(f.data(), static_cast<uint16_t>(f.size()));
    return t.Rows();
}

// One line a difference: "KIND MAC" and " KEY old -> new" per changed key.
std::string Lines(const std::vector<DeviceDiff>& diffs) {
    std::string s;
    for (const DeviceDiff& d : diffs) {
        s += std::string(DiffKindName(d.What)) + " " + d.Mac;
        for (const DiffChange& c : d.Changes) s += " " + c.Key + " " + c.Old + " -> " + c.New;
        s += "\n";
    }
    return s;
}

const std::string M1 = "02-00-00-00-00-01", M2 = "02-00-00-00-00-02", M3 = "02-00-00-00-00-03";
}  // namespace

TEST(DevDiff, GoneNewChangedAndEqual) {
    const Bytes one = Answer(M1, {"MODEL:KLV-70", "IPADRM:10.0.0.1", "NAME:a", "YMDHM:2024.01.01.00.00"});
    struct Case {
        const char* what;
        std::vector<Bytes> before, after;
        const char* expect;
    };
    const Case cases[] = {
        {"equal", {one}, {one}, ""},
        {"equal in another order", {one, Answer(M2, {})}, {Answer(M2, {}), one}, ""},
        {"gone and new", {one, Answer(M2, {})}, {Answer(M3, {}), one}, "GONE 02-00-00-00-00-02\nNEW 02-00-00-00-00-03\n"},
        {"changed, a key lost and one gained",
         {one},
         {Answer(M1, {"MODEL:KLV-70", "IPADRM:10.0.0.2", "LOC:x"})},
         "CHANGED 02-00-00-00-00-01 IPADRM 10.0.0.1 -> 10.0.0.2 NAME a -> "
         " LOC  -> x\n"},
        {"dates compared only when both have one",
         {one},
         {Answer(M1, {"MODEL:KLV-70", "IPADRM:10.0.0.1", "NAME:a", "YMDHM:2024.01.01.00.05"})},
         "CHANGED 02-00-00-00-00-01 YMDHM 2024.01.01.00.00 -> 2024.01.01.00.05\n"},
        {"empty against a list", {}, {one}, "NEW 02-00-00-00-00-01\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Lines(DiffDevices(Rows(c.before), Rows(c.after))), c.expect) << c.what;
}
