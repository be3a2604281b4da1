// The main window, offscreen, with its waits driven by their tick handlers.
#include <gtest/gtest.h>

#include <unistd.h>

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
    EXPECT_FALSE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.grdDevice->isEnabled());
    for (int i = 0; i < 999; ++i) rig.Main.timDateRespTimer();
    EXPECT_TRUE(rig.Messages.empty());
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_TRUE(rig.Main.grdDevice->isEnabled());

    rig.Main.mnuDateClick();
    rig.Table.SetRowStatus(0, STATUS_NAK);
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot take effect all parameter.");
    EXPECT_TRUE(rig.Opened.empty());
    rig.Main.mnuDateClick();
    rig.Main.timDateRespTimer();
    rig.Table.SetRowStatus(0, STATUS_ACK);  // the date answer has arrived
    rig.Main.timDateRespTimer();
    EXPECT_EQ(rig.Opened, std::vector<QDialog*>{&rig.Date});
    EXPECT_TRUE(rig.Main.ToolBarMain->isEnabled());
    EXPECT_FALSE(rig.Main.TBDate->isChecked());
}

// One copy at a time: a later start calls the running copy, which is
// brought forward.
TEST(MainWindow, OneCopyAtATime) {
    const QString name = QString("tarnel-test-%1").arg(::getpid());
    auto lock = TakeInstanceLock(name);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(TakeInstanceLock(name), nullptr) << "its copy runs";
    EXPECT_FALSE(CallRunningCopy(name)) << "nobody listens yet";
    QObject owner;
    int shown = 0;
    ListenForLaterStarts(name, &owner, [&] { ++shown; });
    EXPECT_TRUE(CallRunningCopy(name));
    EXPECT_TRUE(WaitUntil([&] { return shown == 1; }, 500, [] { QCoreApplication::processEvents(); }));
}
