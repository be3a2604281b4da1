// The main window and its device grid: what it shows, how it sorts and
// marks, that the pick and every command follow the device, its waits driven
// by their tick handlers.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QTest>
#include <cstring>

#include "UiRig.h"
#include "app/Placement.h"
#include "files/Windowplace.h"

namespace {
bool RowCommandsEnabled(const TwndMain& m) {
    return m.mnuDelete->isEnabled() && m.mnuNetwork->isEnabled() && m.mnuInfomation->isEnabled() &&
           m.mnuDate->isEnabled() && m.TBDelete->isEnabled() && m.TBNetwork->isEnabled() && m.TBInfo->isEnabled() &&
           m.TBDate->isEnabled();
}

QStringList Column(QTableWidget* g, int c, int rows) {
    QStringList cells;
    for (int r = 0; r < rows; ++r) cells << (g->item(r, c) != nullptr ? g->item(r, c)->text() : QString("-"));
    return cells;
}
}  // namespace

// Row 255 is a row like any other (the "none / all" value is not a row
// number); an empty list picks nothing and turns the row commands off.  Junk
// answers can fill the list and keep real devices out: a search that left
// answers out says so once, after its dialog has closed.
TEST(DeviceGrid, EveryRowCanBePickedAndNothingIsPickedWhereNoDeviceIs) {
    UiRig rig;
    rig.Main.show();
    for (int i = 0; i < 257; ++i) rig.Take(Answer(MacOf(i), {"MODEL:m", "IPADRM:10.0." + std::to_string(i) + ".1"}));
    rig.WhileOpen = [&] {  // the one refused before the search is not counted
        for (int i = 0; i < 3; ++i) rig.Take(Answer(MacOf(300 + i), {}));
    };
    rig.Main.mnuSearchClick();
    EXPECT_EQ(rig.LastMessage(),
              "The device list is full (256 devices): 3 answers from further devices were left out.");
    rig.WhileOpen = nullptr;
    rig.Main.mnuSearchClick();
    EXPECT_EQ(rig.Messages.size(), 1u) << "a search that left nothing out says nothing";
    rig.Opened.clear();
    EXPECT_EQ(rig.Main.grdDevice->rowCount(), 256);
    rig.Main.grdDeviceSelectCell(256);
    EXPECT_EQ(rig.Table.SelectedRow, 255);
    EXPECT_TRUE(RowCommandsEnabled(rig.Main));
    rig.Main.mnuNetworkClick();
    ASSERT_EQ(rig.Opened.size(), 1u);
    rig.Setup.FormShow();
    EXPECT_EQ(rig.Setup.Edit[NET_MAIN]->displayText(), "10.0.255.1");
    rig.Main.grdDeviceSelectCell(255);
    rig.Main.mnuDeleteClick();
    EXPECT_EQ(rig.Table.Count(), 255) << "grid row 255 only, not the whole list";
    EXPECT_LT(rig.Table.FindRow(MacOf(254).c_str()), 0);

    rig.Main.mnuAllDeleteLClick();
    EXPECT_EQ(rig.Main.grdDevice->rowCount(), 23);
    EXPECT_EQ(rig.Table.SelectedRow, NO_ROW);
    EXPECT_FALSE(RowCommandsEnabled(rig.Main));
    EXPECT_FALSE(rig.Main.mnuAllDelete->isEnabled()) << "an empty list offers no All Delete";
    EXPECT_EQ(rig.Main.grdDevice->currentRow(), -1) << "and shows no highlighted cell";
}

// Sorting changes what is shown, never which device a command acts on.
TEST(DeviceGrid, SortedGridCommandsActOnThePickedDevice) {
    UiRig rig;
    rig.Main.show();
    const char* ips[] = {"10.0.0.10", "10.0.0.9", "10.0.0.100", "2.0.0.1"};
    for (int i = 0; i < 4; ++i) rig.Take(FullDevice(MacOf(i), ips[i]));
    rig.Main.RefreshGrid();
    QTableWidget* g = rig.Main.grdDevice;
    rig.Main.SortBy(3);
    EXPECT_EQ(Column(g, 3, 5), QStringList({"2.0.0.1", "10.0.0.9", "10.0.0.10", "10.0.0.100", "-"}));
    rig.Main.SortBy(3);
    EXPECT_EQ(Column(g, 3, 5), QStringList({"10.0.0.100", "10.0.0.10", "10.0.0.9", "2.0.0.1", "-"}));

    // A click on grid row 3 picks 10.0.0.9, table row 1.
    g->setCurrentCell(2, 0);
    EXPECT_EQ(rig.Table.SelectedRow, 1);
    rig.Main.mnuNetworkClick();
    rig.Setup.FormShow();
    EXPECT_EQ(rig.Setup.Edit[NET_MAIN]->displayText(), "10.0.0.9");
    rig.Main.SortBy(0);  // the pick follows the device to its new row
    EXPECT_EQ(rig.Table.SelectedRow, 1);
    rig.Main.SortBy(3);
    rig.Main.SortBy(3);
    g->setCurrentCell(2, 0);
    rig.Main.mnuDeleteClick();
    EXPECT_LT(rig.Table.FindRow(MacOf(1).c_str()), 0) << "10.0.0.9 is gone";
    EXPECT_EQ(Column(g, 3, 3), QStringList({"10.0.0.100", "10.0.0.10", "2.0.0.1"}));
    // The pick moves to the neighbour, shown selected; at the bottom, upwards.
    EXPECT_EQ(rig.Table.SelectedRow, rig.Table.FindRow(MacOf(3).c_str())) << "2.0.0.1, below the deleted row";
    EXPECT_EQ(g->currentRow(), 2);
    rig.Main.mnuDeleteClick();
    EXPECT_EQ(rig.Table.SelectedRow, rig.Table.FindRow(MacOf(0).c_str())) << "10.0.0.10, above the last row";
    EXPECT_EQ(g->currentRow(), 1);

    // A new answer, or a setup that stores new values: the order stays, the
    // empty rows stay below, the pick stays on its device.
    rig.Take(FullDevice(MacOf(7), "10.0.0.50"));
    rig.Main.RefreshGrid();
    EXPECT_EQ(Column(g, 3, 4), QStringList({"10.0.0.100", "10.0.0.50", "10.0.0.10", "-"}));
    EXPECT_EQ(rig.Table.SelectedRow, rig.Table.FindRow(MacOf(0).c_str()));
    EXPECT_EQ(g->currentRow(), 2);
    rig.Table.EditRec = {};
    rig.Table.CopyRow(rig.Table.SelectedRow, rig.Table.EditRec);
    std::strcpy(rig.Table.EditRec.IPADRM, "10.0.0.1");
    rig.Setup.CommitFields(rig.Table.SelectedRow);
    EXPECT_EQ(Column(g, 3, 3), QStringList({"10.0.0.100", "10.0.0.50", "10.0.0.1"}));
    EXPECT_EQ(rig.Table.SelectedRow, rig.Table.FindRow(MacOf(0).c_str())) << "still the device set up";
}

// The kinds of conflict are the rules' own; the grid shows a row's reasons
// over every cell, naming the other device as the grid shows it, marks and
// counts the rows.
TEST(DeviceGrid, ConflictsAreMarkedWithTheirReasonsAndCounted) {
    UiRig rig;
    rig.Main.show();
    const struct {
        const char *ip, *tip;
    } rows[] = {
        {"10.77.0.40", ""},
        {"10.77.0.50", "main address 10.77.0.50 is also used by KLV-70 (Serial 1003)"},
        {"10.77.0.50", "main address 10.77.0.50 is also used by KLV-70 (Serial 1002)"},
    };
    for (int i = 0; i < 3; ++i)
        rig.Take(Answer(MacOf(i + 1), {"MODEL:KLV-70", "SERIAL:100" + std::to_string(i + 1),
                                       std::string("IPADRM:") + rows[i].ip}));
    rig.Main.RefreshGrid();
    TDeviceGrid* g = rig.Main.grdDevice;
    const qint64 unmarked = g->item(0, 0)->icon().cacheKey();
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(g->TipAt(i, c).toStdString(), rows[i].tip) << i << "," << c;
        EXPECT_FALSE(g->item(i, 0)->icon().isNull()) << i << ": every name stands after a mark or its room";
        EXPECT_EQ(g->item(i, 0)->icon().cacheKey() == unmarked, rows[i].tip[0] == '\0') << i;
    }
    EXPECT_EQ(rig.Main.stsProblems->text(), "Flagged: 2");
    rig.Main.SortBy(3);
    rig.Main.SortBy(3);  // the marks move with their devices
    EXPECT_EQ(g->TipAt(2, 2), "") << "10.77.0.40 sorts last";

    rig.Main.mnuAllDeleteLClick();
    EXPECT_EQ(rig.Main.stsProblems->text(), "");
}

// The filter finds a device by what is shown, its MAC or its location; the
// columns chosen are kept.  Without a mouse: Enter on a row sets that device
// up, as a double click does; Delete removes it, as the menu does.
TEST(DeviceGrid, FilterColumnsAndKeys) {
    UiRig rig;
    SaveShownColumns(rig.Files.SettingsPath(), {"GMT", "MAC", "NOSUCH", "MODEL"});
    rig.Main.show();
    rig.Main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.Main));
    TDeviceGrid* g = rig.Main.grdDevice;
    EXPECT_EQ(g->ShownKeys(), QStringList({"MODEL", "MAC", "GMT"})) << "kept ones in the menu's order";
    const char* const locs[] = {"Rack A", "Rack B", "Hall"};
    for (int i = 0; i < 3; ++i)
        rig.Take(Answer(MacOf(i), {"MODEL:KLV-" + std::to_string(70 + i), "LOC:" + std::string(locs[i]), "GMT:+9"}));
    rig.Main.RefreshGrid();
    rig.Main.grdDeviceSelectCell(3);

    const struct {
        std::string Filter;
        int Shown;
        int Picked;  // table row, -1 for none
    } cases[] = {{"rack", 2, 0}, {"klv-71", 1, 1}, {QString::fromStdString(MacOf(2)).toLower().toStdString(), 1, 2},
                 {"nowhere", 0, -1}, {"", 3, 0}};
    for (const auto& c : cases) {
        rig.Main.FindBar->edtFilter->setText(QString::fromStdString(c.Filter));
        EXPECT_EQ(g->ShownCount(), c.Shown) << c.Filter;
        EXPECT_EQ(rig.Table.SelectedRow, c.Picked) << c.Filter << ": commands act on a shown device";
        const QString count = c.Filter.empty() ? "Devices: 3" : QString("Devices: %1 of 3").arg(c.Shown);
        EXPECT_EQ(rig.Main.stsCount->text(), count) << c.Filter;
    }
    rig.Main.FindBar->edtFilter->setText("rack");
    // Copy takes the selected rows the filter shows, under a heading line.
    g->selectAll();
    QTest::keySequence(g, QKeySequence::Copy);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(copied.size(), 3) << copied.join('|').toStdString();
    EXPECT_EQ(copied.value(1), "KLV-70\t" + QString::fromStdString(MacOf(0)) + "\t+9");
    QTest::keyClick(rig.Main.FindBar->edtFilter, Qt::Key_Escape);
    EXPECT_EQ(rig.Main.FindBar->edtFilter->text(), "") << "Esc clears the filter";

    g->setFocus();
    g->setCurrentCell(0, 0);
    QTest::keyClick(g, Qt::Key_Down);
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(rig.Opened, std::vector<QDialog*>{&rig.Setup});
    EXPECT_EQ(rig.Table.SelectedRow, 1);
    const QPoint third = g->visualItemRect(g->item(2, 1)).center();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(rig.Opened.size(), 2u);
    EXPECT_EQ(rig.Table.SelectedRow, 2);
    QTest::keyClick(g, Qt::Key_Delete);
    EXPECT_LT(rig.Table.FindRow(MacOf(2).c_str()), 0);
    EXPECT_EQ(rig.Table.Count(), 2);

    rig.Main.close();
    EXPECT_EQ(ReadShownColumns(rig.Files.SettingsPath()), QStringList({"MODEL", "MAC", "GMT"}));
}

// Size and place are kept; a place on a screen that has gone gives the drawn
// size, on a screen.
TEST(MainWindow, SizeAndPlaceKept) {
    UiRig rig;
    rig.Main.show();
    EXPECT_EQ(rig.Main.size(), QSize(404, 432));
    {
        TwndMain first(rig.Table, rig.Files, rig.Control);
        first.show();
        first.setGeometry(40, 50, 700, 520);
        first.close();
    }
    TwndMain second(rig.Table, rig.Files, rig.Control);
    second.show();
    EXPECT_EQ(second.geometry(), QRect(40, 50, 700, 520));

    ASSERT_TRUE(WriteWindowPlace(rig.Files.SettingsPath(), {-50000, -50000, 700, 520, false}));
    TwndMain third(rig.Table, rig.Files, rig.Control);
    third.show();
    EXPECT_EQ(third.size(), QSize(404, 432));
    EXPECT_NE(QGuiApplication::screenAt(third.pos()), nullptr);
}

// The date enquiry: refused when the link is down (an ACK left in the row by
// an earlier exchange does not open the dialog), else told after 1000 silent
// ticks; meanwhile nothing may pull the row away.
TEST(MainWindow, DateWaitEndsByAnswerOrAfter1000Ticks) {
    UiRig rig;
    rig.Shown(FullDevice(MacOf(1)));
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Main.mnuDateClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_EQ(rig.Main.Mode, 0);

    ASSERT_TRUE(rig.Ready());
    rig.Messages.clear();
    rig.Main.mnuDateClick();
    EXPECT_FALSE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.grdDevice->isEnabled());
    for (int i = 0; i < 999; ++i) rig.Main.timDateRespTimer();
    EXPECT_TRUE(rig.Messages.empty());
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_TRUE(rig.Main.grdDevice->isEnabled());

    EXPECT_TRUE(rig.Opened.empty());
    rig.Main.mnuDateClick();
    rig.Main.timDateRespTimer();
    rig.Table.SetRowStatus(0, STATUS_ACK);  // the date answer has arrived
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.Opened, std::vector<QDialog*>{&rig.Date});
    EXPECT_TRUE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.TBDate->isChecked());
}
