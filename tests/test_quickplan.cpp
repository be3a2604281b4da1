// The quick search's end rule, driven tick by tick with made-up answer counts.
#include <gtest/gtest.h>

#include "link/Quickplan.h"
#include "link/Tskcontrol.h"

namespace {
struct NoSettings : CommSettingsStore {
    void ReadCommSettings() override {}
    void WriteCommSettings() override {}
};

// Runs the plan; answers[i] is the merged count seen at tick i (the last one
// repeats).  The ms at which it ends.
int EndsAt(const std::vector<uint64_t>& answers) {
    TmTable table;
    NoSettings settings;
    TdrvUDP driver;
    TtskCtrl control(table, settings, driver);  // never ready: the enquiries are refused, the timeline runs
    QuickPlan plan;
    int at = 0;
    for (size_t i = 0;; ++i) {
        const int next = plan.Tick(control, answers[std::min(i, answers.size() - 1)]);
        if (next < 0) return at;
        at += next;
    }
}
}  // namespace

TEST(QuickPlan, EndsHalfASecondAfterTheLastAnswerAndWithinThreeSeconds) {
    const std::vector<uint64_t> silence = {0};
    const std::vector<uint64_t> burst = {0, 0, 5, 9, 12};  // answers up to 200 ms
    std::vector<uint64_t> late(10, 0);
    late.push_back(1);  // one late answer at 500 ms
    std::vector<uint64_t> endless;
    for (uint64_t i = 0; i < 200; ++i) endless.push_back(i);
    EXPECT_EQ(EndsAt(silence), 600) << "0.5 s after the device-information enquiry left";
    EXPECT_EQ(EndsAt(burst), 700);
    EXPECT_EQ(EndsAt(late), 1000);
    EXPECT_EQ(EndsAt(endless), QuickPlan::MAX_MS);
}
