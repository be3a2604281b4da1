// The main window, offscreen, with its waits driven by their tick handlers.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QHeaderView>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/Instance.h"
#include "files/Plancsv.h"
#include "rules/Strings.h"
#include "UiRig.h"
#include "files/Windowplace.h"

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
    EXPECT_EQ(rig.Main.size(), QSize(404, 432));
    EXPECT_EQ(rig.Main.grdDevice->columnWidth(0), 130);
    EXPECT_EQ(rig.Main.grdDevice->columnWidth(2), 60);
    EXPECT_GE(rig.Main.grdDevice->columnWidth(3), 112);
    rig.Main.resize(800, 600);
    EXPECT_EQ(rig.Main.grdDevice->columnWidth(0), 130) << "the first columns keep their widths";
    EXPECT_GT(rig.Main.grdDevice->columnWidth(3), 112 + 300) << "the last one stretches";
    EXPECT_FALSE(rig.Main.mnuDelete->isEnabled());
    EXPECT_FALSE(rig.Main.TBDate->isEnabled());
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel");
    EXPECT_EQ(rig.Main.mnuAllDelete->text(), "All Delete(&L)");
    EXPECT_EQ(rig.Main.mnuInfomation->text(), "&Infomation...");
    // No icon theme offscreen: every button has the program's own icon.
    for (QAction* a : {rig.Main.TBOpen, rig.Main.TBSave, rig.Main.TBSearch, rig.Main.TBDelete, rig.Main.TBNetwork,
                       rig.Main.TBInfo, rig.Main.TBDate, rig.Main.TBHelp})
        EXPECT_FALSE(a->icon().pixmap(16, 16).isNull()) << a->text().toStdString();
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
    EXPECT_FALSE(rig.Main.mnuAllDelete->isEnabled()) << "an empty list offers no All Delete";
    EXPECT_EQ(rig.Main.grdDevice->currentRow(), -1) << "and shows no highlighted cell";

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

// Row 255 is a row like any other: the "none / all" value is not a row number.
TEST(MainWindow, EveryOneOf256RowsCanBePickedSetUpAndDeletedAlone) {
    UiRig rig;
    for (int i = 0; i < 256; ++i) rig.Take(Answer(MacOf(i), {"MODEL:m", "IPADRM:10.0." + std::to_string(i) + ".1"}));
    rig.Main.RefreshGrid();
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
    EXPECT_EQ(rig.Table.FindRow(MacOf(255).c_str()), 254);
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

namespace {
QStringList Column(QTableWidget* g, int c, int rows) {
    QStringList cells;
    for (int r = 0; r < rows; ++r) cells << (g->item(r, c) != nullptr ? g->item(r, c)->text() : QString("-"));
    return cells;
}
}  // namespace

// Sorting changes what is shown, never which device a command acts on.
TEST(MainWindow, SortedGridCommandsActOnThePickedDevice) {
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

    // Serial and T-ARC ID sort by value.
    for (const char* serial : {"1000000", "10003", "20", "999"})
        rig.Take(Answer(MacOf(20 + static_cast<int>(std::strlen(serial))), {std::string("SERIAL:") + serial}));
    rig.Main.RefreshGrid();
    rig.Main.SortBy(2);
    EXPECT_EQ(Column(g, 2, 7), QStringList({"20", "999", "10003", "12345", "12345", "12345", "1000000"}));
}

TEST(MainWindow, SizeAndPlaceKeptAcrossARestartBesideOtherSettings) {
    UiRig rig;
    const std::string ini = "; site settings\n[PORT]\nT-ARC=8020\n";
    {
        std::ofstream(rig.Files.SettingsPath()) << ini;
    }
    {
        TwndMain first(rig.Table, rig.Files, rig.Control);
        first.show();
        first.setGeometry(40, 50, 700, 520);
        first.close();
    }
    TwndMain second(rig.Table, rig.Files, rig.Control);
    second.show();
    EXPECT_EQ(second.geometry(), QRect(40, 50, 700, 520));
    std::stringstream text;
    text << std::ifstream(rig.Files.SettingsPath()).rdbuf();
    EXPECT_EQ(text.str().substr(0, ini.size()), ini) << "the other sections stay as they were";
    EXPECT_NE(text.str().find("[WINDOW]"), std::string::npos);

    // A place on a screen that has gone: the drawn size, on the screen.
    ASSERT_TRUE(WriteWindowPlace(rig.Files.SettingsPath(), {-50000, -50000, 700, 520, false}));
    TwndMain third(rig.Table, rig.Files, rig.Control);
    third.show();
    EXPECT_EQ(third.size(), QSize(404, 432));
    EXPECT_NE(QGuiApplication::screenAt(third.pos()), nullptr);
}

// The link cannot be opened while another program holds the port: the status
// bar shows the driver's text, and clears it once the link opens.
TEST(MainWindow, StatusBarShowsTheCountAndWhyTheLinkIsDown) {
    UiRig rig;
    rig.Take(FullDevice(MacOf(1)));
    rig.Take(FullDevice(MacOf(2)));
    rig.Main.timStatusTimer();
    EXPECT_EQ(rig.Main.stsCount->text(), "Devices: 2");
    EXPECT_EQ(rig.Main.stsLink->text(), "");

    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(LINK_PORT);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    // The control task as far as a worker that is not running: its steps are driven here.
    while (rig.Control.Worker() == nullptr) rig.Control.timCtrlTimer();
    TQmx42& worker = *rig.Control.Worker();
    worker.Step();
    ASSERT_EQ(worker.State(), ST_WAIT);
    rig.Main.timStatusTimer();
    EXPECT_EQ(rig.Main.stsLink->text().toStdString(),
              std::string("No link to the devices: check the network, and close any other program that uses UDP port "
                          "8020; the link is tried again by itself. (bind() error : ") +
                  std::strerror(EADDRINUSE) + ")");

    ::close(blocker);
    for (int i = 0; i < TQmx42::RETRY_STEPS + 1; ++i) worker.Step();
    ASSERT_EQ(worker.State(), ST_RUN);
    rig.Main.timStatusTimer();
    EXPECT_EQ(rig.Main.stsLink->text(), "");
}

TEST(MainWindow, CaptionsOpenSaveAndAFailedSave) {
    UiRig rig;
    // A file with two devices replaces whatever the table held.
    rig.Take(FullDevice(MacOf(1)));
    rig.Take(FullDevice(MacOf(2)));
    const std::string path = rig.Files.DataDir() + "site.dat";
    ASSERT_TRUE(SaveDeviceFile(rig.Table, path).Saved);
    rig.Take(FullDevice(MacOf(3)));
    rig.Main.Document.AskOpenPath = [&](const QString& dir) {
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
    rig.Main.Document.FilePath = QString::fromStdString(rig.Dir.Path + "gone/site.dat");
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
    rig.Main.Document.FileNamed = 1;
    rig.Main.Document.FilePath = "/x/site.dat";
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
    EXPECT_EQ(rig.Messages[0].Caption, "Tarnel");
}

TEST(MainWindow, AboutShowsTheVersionTexts) {
    UiRig rig;
    rig.About.FormShow();
    EXPECT_EQ(rig.About.ProductName->text(), "KLV-70 Tarnel");
    EXPECT_EQ(rig.About.Version->text(), "1.01");
    EXPECT_EQ(rig.About.Comments->text(), "Vantry Software");
    EXPECT_TRUE(rig.About.Comments->isHidden());
    EXPECT_EQ(rig.About.windowTitle(), "About Tarnel");
    EXPECT_EQ(rig.About.Image1->pixmap().deviceIndependentSize(), QSizeF(32, 32));
}

TEST(MainWindow, SecondCopyIsRefusedAndBringsTheFirstForward) {
    const QString name = QString("tarnel-test-%1").arg(::getpid());
    auto first = TakeInstanceLock(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TakeInstanceLock(name), nullptr);
    first.reset();
    EXPECT_NE(TakeInstanceLock(name), nullptr) << "free again once the first copy has gone";

    // A later start brings the running copy's window to the front.
    EXPECT_FALSE(CallRunningCopy(name)) << "nobody listens yet";
    QObject owner;
    int shown = 0;
    ListenForLaterStarts(name, &owner, [&] { ++shown; });
    EXPECT_TRUE(CallRunningCopy(name));
    for (int i = 0; i < 500 && shown == 0; ++i) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(shown, 1);
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

// The reasons show over every cell of a marked row and name the other
// device as the grid shows it; a cut cell shows its whole text.
TEST(MainWindow, ConflictsAreMarkedWithTheirReasonsAndCounted) {
    UiRig rig;  // inside the sandbox: this computer's subnet is 10.77.0.0/24
    rig.Main.show();
    const auto dev = [](int i, const std::string& ip, const std::string& gw) {
        return Answer(MacOf(i), {"MODEL:KLV-70", "SERIAL:100" + std::to_string(i), "IPADRM:" + ip, "GWAY:" + gw,
                                 "MASK:255.255.255.0"});
    };
    rig.Take(dev(1, "10.77.0.40", "10.77.0.1"));
    rig.Take(dev(2, "10.77.0.50", "10.77.0.1"));
    rig.Take(dev(3, "10.77.0.50", "10.77.0.1"));
    rig.Take(dev(4, "10.99.0.2", "10.99.0.1"));
    rig.Take(dev(5, "10.77.0.70", "10.78.0.1"));
    rig.Main.RefreshGrid();
    const char* const tips[] = {
        "",
        "main address 10.77.0.50 is also used by KLV-70 (Serial 1003)",
        "main address 10.77.0.50 is also used by KLV-70 (Serial 1002)",
        "main address 10.99.0.2 is in none of this computer's subnets (only a router reaches it)",
        "gateway 10.78.0.1 is not in its own subnet (mask 255.255.255.0)",
    };
    TDeviceGrid* g = rig.Main.grdDevice;
    const qint64 unmarked = g->item(0, 0)->icon().cacheKey();
    for (int i = 0; i < 5; ++i) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(g->TipAt(i, c).toStdString(), tips[i]) << i << "," << c;
        EXPECT_FALSE(g->item(i, 0)->icon().isNull()) << i << ": every name stands after a mark or its room";
        EXPECT_EQ(g->item(i, 0)->icon().cacheKey() == unmarked, tips[i][0] == '\0') << i;
    }
    EXPECT_EQ(rig.Main.stsProblems->text(), "Flagged: 4");
    rig.Main.SortBy(3);  // the marks move with their devices
    EXPECT_EQ(g->TipAt(0, 2), "") << "10.77.0.40 sorts first";

    rig.Take(Answer(MacOf(9), {"MODEL:KLV-70-" + std::string(30, 'X'), "IPADRM:10.77.0.99"}));
    rig.Main.RefreshGrid();
    const int cut = g->RowOf(QByteArray(MacOf(9).c_str(), 17));
    EXPECT_EQ(g->TipAt(cut, 0).toStdString(), "KLV-70-" + std::string(30, 'X'));
    EXPECT_EQ(g->TipAt(cut, 3), "");
    rig.Main.mnuAllDeleteLClick();
    EXPECT_EQ(rig.Main.stsProblems->text(), "");
}

TEST(MainWindow, ExportCsvWritesThePlanOfTheList) {
    UiRig rig;
    rig.Take(FullDevice(MacOf(2)));
    rig.Take(FullDevice(MacOf(1), "192.168.0.9"));
    const std::string path = rig.Files.DataDir() + "list.csv";
    rig.Main.Document.AskCsvPath = [&](const QString&) { return QString::fromStdString(path); };
    rig.Main.mnuExportCsvClick();
    std::stringstream written;
    written << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(written.str(), PlanCsv(rig.Table.Rows()));
    EXPECT_EQ(written.str().rfind("MAC,SERIAL,MODEL,TARCID,", 0), 0u) << written.str();
    EXPECT_TRUE(rig.Messages.empty());

    rig.Main.Document.AskCsvPath = [&](const QString&) { return QString::fromStdString(rig.Dir.Path + "gone/list.csv"); };
    rig.Main.mnuExportCsvClick();
    EXPECT_TRUE(rig.LastMessage().startsWith(QString::fromStdString("Cannot export to \"" + rig.Dir.Path + "gone/list.csv\": ")))
        << rig.LastMessage().toStdString();
}
