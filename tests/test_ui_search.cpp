// The one real search of about nine seconds: the main window against the
// simulator, ending with a picture of the window for a person to look at.
#include <gtest/gtest.h>

#include <QDir>

#include "SimProcess.h"
#include "UiRig.h"

TEST(SearchEndToEnd, FillsTheGridAndLeavesAPicture) {
    SimProcess sim({"--count", "5", "--partial", "4"});
    ASSERT_TRUE(sim.Ready());
    UiRig rig;
    rig.Main.ExecDialog = [](QDialog* d) { return d->exec(); };
    ASSERT_TRUE(rig.Ready());
    rig.Main.show();
    rig.Main.Document.FileNamed = 1;
    rig.Main.Document.FilePath = "/site/lab.dat";
    rig.Main.mnuSearchClick();

    ASSERT_EQ(rig.Table.Count(), 5);
    EXPECT_EQ(rig.Main.grdDevice->item(0, 0)->text(), "KLV-70");
    EXPECT_EQ(rig.Main.grdDevice->item(4, 3)->text(), "192.168.1.14");
    EXPECT_EQ(rig.Main.grdDevice->rowCount(), 23);
    EXPECT_EQ(rig.Table.SelectedRow, 0);
    EXPECT_TRUE(rig.Main.mnuNetwork->isEnabled());
    EXPECT_FALSE(rig.Main.TBSearch->isChecked());
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - lab.dat*");
    EXPECT_EQ(rig.Search.lblAnswered->text(), "Devices answered so far: 5");

    QDir().mkpath(ARTIFACT_DIR);
    const QString picture = QString(ARTIFACT_DIR) + "/main-window.png";
    EXPECT_TRUE(rig.Main.grab().save(picture));
    std::printf("picture of the main window: %s\n", picture.toLocal8Bit().constData());
}
