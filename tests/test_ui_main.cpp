// The main window, offscreen, with its waits driven by their tick handlers.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QHeaderView>
#include <QTest>
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

    // Not ready: the enquiry is refused, so it is not waited for, and an ACK
    // left in the row from an earlier exchange does not open the dialog.
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Main.mnuDateClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_EQ(rig.Main.Mode, 0);
    EXPECT_TRUE(rig.Opened.empty());

    // Silence: the wait runs out.
    ASSERT_TRUE(rig.Ready());
    rig.Messages.clear();
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

    rig.Main.mnuDateClick();
    rig.Table.SetRowStatus(0, STATUS_NAK);  // refused: told at once, as the dialogs tell it
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot take effect all parameter.");
    EXPECT_EQ(rig.Main.Mode, 0);
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
    for (int i = 0; i < 500 && shown == 0; ++i) QTest::qWait(10);
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
