// The main window and the plan window against the simulator: one real search
// of about nine seconds, a picture of the window for a person to look at, then
// plans applied to what was found.
#include <gtest/gtest.h>

#include <QDir>

#include "SimProcess.h"
#include "UiRig.h"
#include "ui/Frmplan.h"

// Twenty devices, 4 reporting only some keys: the search fills the grid.  5
// refuses, 9 stays silent, 13 acknowledges but keeps its values: the plan
// window gives the results apply gives; a plan the check refuses sends
// nothing; Cancel leaves the devices after it untouched.
TEST(SearchAndPlanWindows, FillTheGridThenApply) {
    SimProcess sim({"--count", "20", "--partial", "4", "--nak", "5", "--silent", "9", "--keep", "13", "--verbose"});
    ASSERT_TRUE(sim.Ready());
    UiRig rig;
    rig.Main.ExecDialog = [](QDialog* d) { return d->exec(); };
    ASSERT_TRUE(rig.Ready());
    rig.Main.show();
    rig.Main.Document.FileNamed = 1;
    rig.Main.Document.FilePath = "/site/lab.dat";
    rig.Main.mnuSearchClick();
    ASSERT_EQ(rig.Table.Count(), 20);
    EXPECT_EQ(rig.Main.grdDevice->item(0, 0)->text(), "KLV-70");
    EXPECT_EQ(rig.Main.grdDevice->item(4, 3)->text(), "192.168.1.14");
    EXPECT_EQ(rig.Table.SelectedRow, 0);
    EXPECT_FALSE(rig.Main.TBSearch->isChecked());
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - lab.dat*");
    EXPECT_EQ(rig.Search.lblAnswered->text(), "Devices answered so far: 20");
    QDir().mkpath(ARTIFACT_DIR);
    const QString picture = QString(ARTIFACT_DIR) + "/main-window.png";
    EXPECT_TRUE(rig.Main.grab().save(picture));
    std::printf("picture of the main window: %s\n", picture.toLocal8Bit().constData());

    rig.Search.Plan.Cycles = 1;  // the check searches after a plan
    TempDir dir;
    const auto plan = [&](const std::string& extra, const std::string& name = "Unit ") {  // each to name + i
        std::string csv = "MAC,NAME\n" + extra;
        for (int i = 0; i < 20; ++i) csv += MacOf(i + 1) + "," + name + std::to_string(i) + "\n";
        WriteFile(dir.Path + "plan.csv", csv);
        return QString::fromStdString(dir.Path + "plan.csv");
    };
    sim.Heard(100);

    TwndPlan refused(rig.Table, rig.Control);
    ASSERT_TRUE(refused.Load(plan("02-00-00-00-00-7F,unknown\n")));
    EXPECT_FALSE(refused.btnApply->isEnabled());
    EXPECT_EQ(refused.lstPlan->item(0, 0)->text(), "2") << "the row of the plan";

    TwndPlan applied(rig.Table, rig.Control);
    applied.CheckSearch = [&] { rig.Main.mnuSearchClick(); };
    ASSERT_TRUE(applied.Load(plan("")));
    EXPECT_EQ(applied.lstPlan->item(3, 3)->text(), "NAME: Unit 4 -> Unit 3") << "the preview";
    applied.btnApplyClick();
    while (applied.Running) {
        applied.timRunTimer();
        std::this_thread::sleep_for(std::chrono::milliseconds(StatusWait::TICK_MS));
    }
    EXPECT_EQ(SetTargets(sim.Heard(100)).size(), 20u) << "nothing was sent for the refused plan";
    for (size_t i = 0; i < 20; ++i)
        EXPECT_EQ(applied.ResultText(i),
                  i == 5 ? "NAK" : i == 9 ? "SILENT" : i == 13 ? "MISMATCH NAME" : "VERIFIED") << i;
    EXPECT_TRUE(applied.SaveResults(QString::fromStdString(dir.Path + "results.csv")));

    // Cancel once two devices are done: the device at hand finishes, the
    // rest are neither sent to nor reported done.
    TwndPlan cancelled(rig.Table, rig.Control);
    ASSERT_TRUE(cancelled.Load(plan("", "Node ")));
    cancelled.btnApplyClick();
    while (cancelled.Running) {
        if (cancelled.prgRun->value() >= 2) cancelled.btnCancelClick();
        cancelled.timRunTimer();
        std::this_thread::sleep_for(std::chrono::milliseconds(StatusWait::TICK_MS));
    }
    EXPECT_EQ(SetTargets(sim.Heard(100)).size(), 2u);
    EXPECT_EQ(cancelled.ResultText(2), "NOT_SENT");
}
