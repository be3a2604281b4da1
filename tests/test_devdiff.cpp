// The difference of two device lists.
#include <gtest/gtest.h>

#include "files/Devdiff.h"
#include "Frames.h"

namespace {
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
    const std::tuple<const char*, std::vector<Bytes>, std::vector<Bytes>, std::string> cases[] = {
        {"equal in another order", {one, Answer(M2, {})}, {Answer(M2, {}), one}, ""},
        {"gone and new", {one, Answer(M2, {})}, {Answer(M3, {}), one}, "GONE " + M2 + "\nNEW " + M3 + "\n"},
        {"changed, a key lost and one gained", {one}, {Answer(M1, {"MODEL:KLV-70", "IPADRM:10.0.0.2", "LOC:x"})},
         "CHANGED 02-00-00-00-00-01 IPADRM 10.0.0.1 -> 10.0.0.2 NAME a ->  LOC  -> x\n"},
        {"dates compared only when both have one", {one},
         {Answer(M1, {"MODEL:KLV-70", "IPADRM:10.0.0.1", "NAME:a", "YMDHM:2024.01.01.00.05"})},
         "CHANGED 02-00-00-00-00-01 YMDHM 2024.01.01.00.00 -> 2024.01.01.00.05\n"},
    };
    for (const auto& [what, before, after, expect] : cases)
        EXPECT_EQ(Lines(DiffDevices(RowsOf(before), RowsOf(after))), expect) << what;
}
