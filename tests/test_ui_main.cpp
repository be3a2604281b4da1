// The main window, offscreen, with its waits driven by their tick handlers.
#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>

#include "Instance.h"
#include "Strings.h"
#include "UiRig.h"

namespace {
QStringList Headings(QTableWidget* g) {
    QStringList h;
    for (int c = 0; c < g->columnCount(); ++c) h << g->horizontalHeaderItem(c)->text();
    return h;
}

bool RowCommandsEnabled(const TwndMain& m) {
    return m.mnuDelete->isEnabled() && m.mnuNetwork->isEnabled() && m.mnuInfomation->isEnabled() &&
           m.mnuDate->isEnabled() && m.TBDelete->isEnabled() && m.TBNetwork->isEnabled() && m.TBInfo->isEnabled() &&
           m.TBDate->isEnabled();
}
}  // namespace

TEST(MainWindow, StartsWithHeadingsEmptyRowsAndRowCommandsOff) {
    UiRig rig;
    rig.Main.show();
    EXPECT_EQ(Headings(rig.Main.grdDevice), QStringList({"Device Name", "T-ARC ID", "Serial", "IP Address(M)"}));
    EXPECT_EQ(rig.Main.grdDevice->rowCount() + 1, 24) << "24 rows with the heading";
    EXPECT_EQ(rig.Main.grdDevice->columnWidth(3), 112);
    EXPECT_FALSE(rig.Main.mnuDelete->isEnabled());
    EXPECT_FALSE(rig.Main.TBDate->isEnabled());
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel");
    EXPECT_EQ(rig.Main.mnuAllDelete->text(), "All Delete(&L)");
    EXPECT_EQ(rig.Main.mnuInfomation->text(), "&Infomation...");
}

TEST(MainWindow, GridFollowsTheTableAndSelectionRules) {
    UiRig rig;
    rig.Main.show();
    for (int i = 0; i < 30; ++i) rig.Take(FullDevice(MacOf(i), "10.0.0." + std::to_string(i + 1)));
    rig.Main.RefreshGrid();
    EXPECT_EQ(rig.Main.grdDevice->rowCount(), 30);
    EXPECT_EQ(rig.Main.grdDevice->item(29, 3)->text(), "10.0.0.30");
    EXPECT_EQ(rig.Table.SelectedRow, 0);
    rig.Main.UpdateMenus();
    EXPECT_TRUE(RowCommandsEnabled(rig.Main));

    rig.Main.mnuAllDeleteLClick();
    EXPECT_EQ(rig.Main.grdDevice->rowCount(), 23);
    EXPECT_EQ(rig.Table.SelectedRow, NO_ROW);
    EXPECT_FALSE(RowCommandsEnabled(rig.Main));

    rig.Take(FullDevice(MacOf(1)));
    rig.Main.RefreshGrid();
    rig.Main.grdDeviceSelectCell(5);  // an empty row
    EXPECT_EQ(rig.Table.SelectedRow, NO_ROW);
    EXPECT_FALSE(RowCommandsEnabled(rig.Main));
    rig.Main.grdDeviceSelectCell(1);
    EXPECT_TRUE(RowCommandsEnabled(rig.Main));
    rig.Main.mnuDeleteClick();  // the last device
    EXPECT_EQ(rig.Table.Count(), 0);
    EXPECT_FALSE(RowCommandsEnabled(rig.Main));
}

TEST(MainWindow, FullTableLastGridRowCountsAsNoSelection) {
    UiRig rig;
    for (int i = 0; i < 256; ++i) rig.Take(Answer(MacOf(i), {"MODEL:m"}));
    rig.Main.RefreshGrid();
    EXPECT_EQ(rig.Main.grdDevice->rowCount(), 256);
    rig.Main.grdDeviceSelectCell(256);
    EXPECT_EQ(rig.Table.SelectedRow, 255);
    EXPECT_FALSE(rig.Main.mnuDelete->isEnabled());
}

// Junk answers can fill the list and keep real devices out: a search that
// left answers out says so once, after its dialog has closed.
TEST(MainWindow, ASearchThatFindsTheListFullSaysHowManyWereLeftOut) {
    UiRig rig;
    for (int i = 0; i < 257; ++i) rig.Take(Answer(MacOf(i), {}));  // one refused before the search
    int answersInDialog = 3;
    rig.Main.ExecDialog = [&](QDialog*) {
        for (int i = 0; i < answersInDialog; ++i) rig.Take(Answer(MacOf(300 + i), {}));
        return static_cast<int>(QDialog::Accepted);
    };
    rig.Main.mnuSearchClick();
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_EQ(rig.Messages[0].Text,
              "The device list is full (256 devices): 3 answers from further devices were left out.");
    EXPECT_EQ(rig.Messages[0].Type, mtWarning);
    answersInDialog = 0;
    rig.Main.mnuSearchClick();
    EXPECT_EQ(rig.Messages.size(), 1u) << "a search that left nothing out says nothing";
}

TEST(MainWindow, CaptionsOpenSaveAndAFailedSave) {
    UiRig rig;
    // A file with two devices replaces whatever the table held.
    rig.Take(FullDevice(MacOf(1)));
    rig.Take(FullDevice(MacOf(2)));
    const std::string path = rig.Files.DataDir() + "site.dat";
    ASSERT_TRUE(rig.Files.WriteDeviceFile(path));
    rig.Take(FullDevice(MacOf(3)));
    rig.Main.AskOpenPath = [&](const QString& dir) {
        EXPECT_EQ(dir.toStdString(), rig.Files.DataDir());
        return QString::fromStdString(path);
    };
    rig.Main.mnuOpenClick();
    EXPECT_EQ(rig.Table.Count(), 2);
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat");
    rig.Main.mnuDeleteClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat*");
    rig.Main.mnuSaveClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat");

    // The file cannot be written (its directory has gone): the "*" stays and
    // the warning names the file.
    rig.Main.mnuAllDeleteLClick();
    rig.Main.FilePath = QString::fromStdString(rig.Dir.Path + "gone/site.dat");
    rig.Main.mnuSaveClick();
    EXPECT_TRUE(rig.Main.windowTitle().endsWith("*"));
    EXPECT_EQ(rig.LastMessage().toStdString(),
              "Cannot save the device file \"" + rig.Dir.Path + "gone/site.dat\". The list is not saved.");
}

TEST(MainWindow, NoFileNoStar) {
    UiRig rig;
    rig.Take(FullDevice(MacOf(1)));
    rig.Main.RefreshGrid();
    rig.Main.mnuDeleteClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel");
}

TEST(MainWindow, DateWaitEndsByAnswerOrAfter1000Ticks) {
    UiRig rig;
    rig.Take(FullDevice(MacOf(1)));
    rig.Main.RefreshGrid();

    // Not ready: the enquiry is refused and the wait runs out.
    rig.Main.mnuDateClick();
    EXPECT_EQ(rig.Main.Mode, 2);
    EXPECT_FALSE(rig.Main.ToolBarMain->isEnabled()) << "nothing may pull the row away during the wait";
    EXPECT_FALSE(rig.Main.grdDevice->isEnabled());
    for (int i = 0; i < 999; ++i) rig.Main.timDateRespTimer();
    EXPECT_TRUE(rig.Messages.empty());
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_EQ(rig.Main.Mode, 0);
    EXPECT_TRUE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_TRUE(rig.Main.mnuFile->menuAction()->isEnabled());
    EXPECT_TRUE(rig.Opened.empty());

    ASSERT_TRUE(rig.Ready());
    rig.Main.mnuDateClick();
    rig.Main.timDateRespTimer();
    EXPECT_TRUE(rig.Opened.empty());
    rig.Table.SetRowStatus(0, STATUS_ACK);  // the date answer has arrived
    rig.Main.timDateRespTimer();
    ASSERT_EQ(rig.Opened.size(), 1u);
    EXPECT_EQ(rig.Opened[0], &rig.Date);
    EXPECT_TRUE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.TBDate->isChecked());
}

TEST(MainWindow, NetworkAndInformationMarkModifiedOnlyOnOk) {
    UiRig rig;
    rig.Take(FullDevice(MacOf(1)));
    rig.Main.FileNamed = 1;
    rig.Main.FilePath = "/x/site.dat";
    rig.Main.RefreshGrid();
    rig.DialogResult = QDialog::Rejected;
    rig.Main.mnuNetworkClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel");
    rig.DialogResult = QDialog::Accepted;
    rig.Main.mnuInfomationClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat*");
    EXPECT_EQ(rig.Opened, (std::vector<QDialog*>{&rig.Setup, &rig.Info}));
}

TEST(MainWindow, HelpFileByLanguageAndItsAbsence) {
    EXPECT_EQ(HelpFileName(QLocale::Japanese), "KLV70CJ.CHM");
    EXPECT_EQ(HelpFileName(QLocale::Chinese), "KLV70CE.CHM");
    EXPECT_EQ(HelpFileName(QLocale::English), "KLV70CE.CHM");
    UiRig rig;
    rig.Main.mnuHelpClick();
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_EQ(rig.Messages[0].Text, "Not found Help File.");
    EXPECT_EQ(rig.Messages[0].Caption, "Warning");
}

TEST(MainWindow, AboutShowsTheVersionTexts) {
    UiRig rig;
    rig.About.FormShow();
    EXPECT_EQ(rig.About.ProductName->text(), "KLV-70 Tarnel");
    EXPECT_EQ(rig.About.Version->text(), "1.01");
    EXPECT_EQ(rig.About.Comments->text(), "Vantry Software");
    EXPECT_TRUE(rig.About.Comments->isHidden());
    EXPECT_EQ(rig.About.windowTitle(), "About Tarnel");
}

TEST(MainWindow, SecondCopyIsRefused) {
    const QString name = QString("tarnel-test-%1").arg(::getpid());
    auto first = TakeInstanceLock(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TakeInstanceLock(name), nullptr);
    first.reset();
    EXPECT_NE(TakeInstanceLock(name), nullptr) << "free again once the first copy has gone";
    EXPECT_STREQ(MessageText(MSG_RUNNING), "This application is already running.");
}

TEST(SearchDialog, TimelineAndCancel) {
    UiRig rig;
    rig.Search.show();  // starts the search
    const int expected[] = {1000, 2000, 1000, 2000, 1000, 2000};
    for (int step = 0; step < 6; ++step) {
        rig.Search.timSearchTimer();
        EXPECT_EQ(rig.Search.prgSnd->value(), step + 1);
        EXPECT_EQ(rig.Search.timSearch.interval(), expected[step]);
    }
    rig.Search.timSearchTimer();
    EXPECT_FALSE(rig.Search.isVisible()) << "closes after the last wait";
    rig.Search.show();
    rig.Search.timSearchTimer();
    rig.Search.btnCancelClick();
    EXPECT_FALSE(rig.Search.isVisible());
    EXPECT_FALSE(rig.Search.timSearch.isActive());
    rig.Search.FormShow();
    EXPECT_EQ(rig.Search.prgSnd->value(), 0);
    EXPECT_EQ(rig.Search.Plan.SearchCycle, 0);
}
