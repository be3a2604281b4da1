// The main window, offscreen, with its waits driven by their tick handlers.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cstring>

#include "app/Instance.h"
#include "files/Windowplace.h"
#include "UiRig.h"

// First the drawn size; wider, only the last column grows.  Size and place
// are kept; a place on a screen that has gone gives the drawn size, on a
// screen.  No icon theme offscreen: every tool button has an icon of the
// program's own.
TEST(MainWindow, DrawnSizeKeptPlaceAndIcons) {
    UiRig rig;
    rig.Main.show();
    EXPECT_EQ(rig.Main.size(), QSize(404, 432));
    EXPECT_EQ(rig.Main.grdDevice->rowCount() + 1, 24) << "24 rows with the heading";
    const int first = rig.Main.grdDevice->columnWidth(0), last = rig.Main.grdDevice->columnWidth(3);
    rig.Main.resize(800, 600);
    EXPECT_EQ(rig.Main.grdDevice->columnWidth(0), first);
    EXPECT_GT(rig.Main.grdDevice->columnWidth(3), last + 300);
    for (QAction* a : {rig.Main.TBOpen, rig.Main.TBSave, rig.Main.TBSearch, rig.Main.TBDelete, rig.Main.TBNetwork,
                       rig.Main.TBInfo, rig.Main.TBDate, rig.Main.TBHelp})
        EXPECT_FALSE(a->icon().pixmap(16, 16).isNull()) << a->text().toStdString();
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

// The link cannot be opened while another program holds the port: the status
// bar shows the driver's text, and clears it once the link opens.
TEST(MainWindow, StatusBarShowsWhyTheLinkIsDown) {
    UiRig rig;
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

// The date enquiry: refused when the link is down (an ACK left in the row by
// an earlier exchange does not open the dialog), else told after 1000 silent
// ticks or at a NAK; meanwhile nothing may pull the row away.
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
    EXPECT_EQ(rig.Main.Mode, 2);
    EXPECT_FALSE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.grdDevice->isEnabled());
    for (int i = 0; i < 999; ++i) rig.Main.timDateRespTimer();
    EXPECT_TRUE(rig.Messages.empty());
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_EQ(rig.Main.Mode, 0);
    EXPECT_TRUE(rig.Main.grdDevice->isEnabled());

    rig.Main.mnuDateClick();
    rig.Table.SetRowStatus(0, STATUS_NAK);
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot take effect all parameter.");
    EXPECT_EQ(rig.Main.Mode, 0);
    EXPECT_TRUE(rig.Opened.empty());
    rig.Main.mnuDateClick();
    rig.Main.timDateRespTimer();
    rig.Table.SetRowStatus(0, STATUS_ACK);  // the date answer has arrived
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.Opened, std::vector<QDialog*>{&rig.Date});
    EXPECT_TRUE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.TBDate->isChecked());
}

// One copy at a time: a lock is honoured while its copy runs and taken over
// once that copy has crashed; a later start brings the running copy forward.
TEST(MainWindow, OneCopyAtATime) {
    const QString name = QString("tarnel-test-%1").arg(::getpid());
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    const pid_t copy = ::fork();
    if (copy == 0) {  // the other copy: takes the lock, says so, waits to be killed
        TakeInstanceLock(name).release();
        if (::write(held[1], "x", 1) == 1) ::pause();
        ::_exit(1);
    }
    char byte;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);
    EXPECT_EQ(TakeInstanceLock(name), nullptr) << "its copy runs";
    ::kill(copy, SIGKILL);
    ::waitpid(copy, nullptr, 0);
    for (int fd : held) ::close(fd);
    auto lock = TakeInstanceLock(name);
    EXPECT_NE(lock, nullptr) << "its copy crashed";

    EXPECT_FALSE(CallRunningCopy(name)) << "nobody listens yet";
    QObject owner;
    int shown = 0;
    ListenForLaterStarts(name, &owner, [&] { ++shown; });
    EXPECT_TRUE(CallRunningCopy(name));
    EXPECT_TRUE(WaitUntil([&] { return shown == 1; }, 500, [] { QCoreApplication::processEvents(); }));
}

// Three rounds of a one-second broadcast step and a two-second wait, then the
// dialog closes; Cancel ends it at once, and the next showing starts afresh.
TEST(SearchDialog, TimelineAndCancel) {
    UiRig rig;
    rig.Search.show();  // starts the search
    for (int step = 1; step <= 6; ++step) {
        rig.Search.timSearchTimer();
        EXPECT_EQ(rig.Search.prgSnd->value(), step);
        EXPECT_EQ(rig.Search.timSearch.interval(), step % 2 ? 1000 : 2000);
    }
    rig.Search.timSearchTimer();
    EXPECT_FALSE(rig.Search.isVisible());
    rig.Search.show();
    rig.Search.timSearchTimer();
    rig.Search.btnCancelClick();
    EXPECT_FALSE(rig.Search.isVisible());
    EXPECT_FALSE(rig.Search.timSearch.isActive());
    rig.Search.FormShow();
    EXPECT_EQ(rig.Search.prgSnd->value(), 0);
    EXPECT_EQ(rig.Search.Plan.SearchCycle, 0);
}
