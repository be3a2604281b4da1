// The three setup dialogs, offscreen, with their waits driven by their ticks.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "UiRig.h"

namespace {
// A rig with the link up and one device selected.
struct SetupRig : UiRig {
    explicit SetupRig(const Bytes& device = FullDevice(MacOf(1))) {
        Take(device);
        Main.RefreshGrid();
        ready = Ready();
    }
    TDeviceRec Row() {
        TDeviceRec r{};
        Table.CopyRow(0, r);
        return r;
    }
    bool ready = false;
};

void Ticks(TSetDialog& d, int n) {
    for (int i = 0; i < n; ++i) d.timSetTimer();
}
}  // namespace

// A device that reports no gateway can still be set up: the check that
// compares it with the main address does not run.
TEST(NetworkSetup, FillsByFlagsAndShowsStoredTextWhole) {
    SetupRig rig(Answer(MacOf(1), {"IPADRM:192.168.0.10", "MASK:255.255.0.0", "TOUT:12345"}));
    ASSERT_TRUE(rig.ready);
    rig.Setup.show();
    EXPECT_EQ(rig.Setup.focusWidget(), rig.Setup.Edit[NET_MAIN]) << "Enter at once must not send";
    EXPECT_TRUE(rig.Setup.Edit[NET_MAIN]->isEnabled());
    EXPECT_TRUE(rig.Setup.Edit[NET_MASK]->isEnabled());
    EXPECT_TRUE(rig.Setup.Edit[NET_TIMEOUT]->isEnabled());
    EXPECT_FALSE(rig.Setup.Edit[NET_BACKUP]->isEnabled());
    EXPECT_FALSE(rig.Setup.Edit[NET_GROUP]->isEnabled());
    EXPECT_EQ(rig.Setup.Edit[NET_MAIN]->displayText(), "192.168.0.10");
    EXPECT_EQ(rig.Setup.Edit[NET_BACKUP]->displayText(), "");
    EXPECT_EQ(rig.Setup.Edit[NET_TIMEOUT]->text(), "12345") << "longer than the typing limit, shown whole";
    EXPECT_EQ(rig.Setup.windowTitle(), "Network Setup");
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.12");
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_WAITING) << rig.LastMessage().toStdString();
    EXPECT_STREQ(rig.Table.EditRec.IPADRM, "192.168.0.12");
    EXPECT_EQ(rig.Setup.lblWait->isVisible(), true) << "the wait says what it waits for";
}

TEST(NetworkSetup, TypedAddressesGoOutInPlainDottedForm) {
    SetupRig rig;
    rig.Setup.show();
    QLineEdit* main = rig.Setup.Edit[NET_MAIN];
    main->clear();
    main->setFocus();
    main->home(false);
    QTest::keyClicks(main, "1 9x2.1688.0.7.");
    EXPECT_EQ(main->displayText(), "192.168.0.7") << "digits and dots only, three to a group, four groups";
    rig.Setup.btnOkClick();
    EXPECT_STREQ(rig.Table.EditRec.IPADRM, "192.168.0.7");
}

TEST(NetworkSetup, InvalidFieldsAreListedAndNothingIsSent) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Setup.FormShow();
    rig.Setup.Edit[NET_BACKUP]->setText("10.0.0.255");
    rig.Setup.Edit[NET_TRAP2]->setText("1.1.1.0");
    rig.Setup.btnOkClick();
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_EQ(rig.Messages[0].Text, "\"Backup IP\" is a illegal value.\n\"Trap2\" is a illegal value.");
    EXPECT_EQ(rig.Messages[0].Caption, "Tarnel");
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);
}

TEST(NetworkSetup, AckCommitsClosesWithOkAndTheGridShowsTheNewIp) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Setup.show();
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.77");
    rig.RebootAnswer = mrNo;
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE) << "no reboot, nothing sent";
    rig.RebootAnswer = mrYes;
    rig.Setup.btnOkClick();
    ASSERT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_WAITING);
    EXPECT_FALSE(rig.Setup.btnOk->isEnabled());
    EXPECT_FALSE(rig.Setup.Group[0]->isEnabled());
    Ticks(rig.Setup, 5);
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Setup.timSetTimer();
    EXPECT_EQ(rig.Setup.result(), QDialog::Accepted);
    EXPECT_FALSE(rig.Setup.isVisible());
    EXPECT_STREQ(rig.Row().IPADRM, "192.168.0.77");
    EXPECT_EQ(rig.Main.grdDevice->item(0, 3)->text(), "192.168.0.77");
    EXPECT_TRUE(rig.Setup.btnOk->isEnabled());
}

TEST(NetworkSetup, NakKeepsTheUsersValuesAndSilenceEndsAfter1000Ticks) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Setup.show();
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.88");
    rig.Setup.btnOkClick();
    rig.Table.SetRowStatus(0, STATUS_NAK);
    rig.Setup.timSetTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot take effect all parameter.");
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);
    EXPECT_TRUE(rig.Setup.isVisible());
    EXPECT_EQ(rig.Setup.Edit[NET_MAIN]->displayText(), "192.168.0.88");
    EXPECT_STREQ(rig.Row().IPADRM, "192.168.0.10");

    rig.Setup.btnOkClick();
    Ticks(rig.Setup, 999);
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_WAITING);
    rig.Setup.timSetTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);
    EXPECT_STREQ(rig.Row().IPADRM, "192.168.0.10");
}

TEST(NetworkSetup, ClosingDuringTheWaitIgnoresALateAck) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Setup.show();
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.99");
    rig.Setup.btnOkClick();
    rig.Setup.reject();  // the close box
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);
    EXPECT_TRUE(rig.Setup.btnOk->isEnabled());
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Setup.timSetTimer();
    EXPECT_STREQ(rig.Row().IPADRM, "192.168.0.10");
}

// A request the control task does not take is never sent; an ACK left in the
// row from an earlier exchange must not pass for its answer.
TEST(NetworkSetup, RefusedRequestIsReportedAtOnce) {
    UiRig rig;  // the link is not up
    rig.Take(FullDevice(MacOf(1)));
    rig.Main.RefreshGrid();
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Setup.show();
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.66");
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);
    rig.Setup.timSetTimer();
    EXPECT_TRUE(rig.Setup.isVisible());
    TDeviceRec r{};
    rig.Table.CopyRow(0, r);
    EXPECT_STREQ(r.IPADRM, "192.168.0.10");
}

TEST(InformationSetup, UniqueIdChecksAndCommit) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Info.show();
    EXPECT_EQ(rig.Info.windowTitle(), "Infomation Setup");
    for (const char* bad : {"abc", "", "-1"}) {
        rig.Messages.clear();
        rig.Info.InfoEdits[3]->setText(bad);
        rig.Info.btnOkClick();
        EXPECT_EQ(rig.LastMessage(), "\"Unique ID\" is a illegal value.") << bad;
        EXPECT_EQ(rig.Info.ApplyState, TSetDialog::APPLY_IDLE) << bad;
    }
    rig.Info.InfoEdits[1]->setText("Rack 7");
    rig.Info.InfoEdits[3]->setText("-5");
    rig.Info.btnOkClick();
    ASSERT_EQ(rig.Info.ApplyState, TSetDialog::APPLY_WAITING);
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Info.timSetTimer();
    EXPECT_EQ(rig.Info.result(), QDialog::Accepted);
    EXPECT_STREQ(rig.Row().NAME, "Rack 7");
    EXPECT_STREQ(rig.Row().UNIQ, "-5");
    EXPECT_STREQ(rig.Row().CONT, "c");
}

TEST(InformationSetup, DisabledUniqueIdIsNotTestedAndNothingFlaggedMeetsSilence) {
    SetupRig rig(Answer(MacOf(1), {"MODEL:m"}));
    ASSERT_TRUE(rig.ready);
    rig.Info.show();
    EXPECT_FALSE(rig.Info.InfoEdits[3]->isEnabled());
    rig.Info.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.") << "nothing to send is reported at once";
}

// What cannot travel in a frame cannot be typed; a stored value longer than an
// edit is shown whole and, untouched, goes out exactly as stored.
TEST(InformationSetup, ShowsWholeValuesAndSendsUntouchedOnesAsStored) {
    const std::string cont(30, 'c');
    SetupRig rig(Answer(MacOf(1), {"CONT:" + cont, "NAME:n", "LOC:l", "UNIQ:1234"}));
    ASSERT_TRUE(rig.ready);
    rig.Info.show();
    EXPECT_EQ(rig.Info.InfoEdits[0]->text().toStdString(), cont);
    EXPECT_EQ(rig.Info.InfoEdits[3]->text(), "1234");
    QLineEdit* name = rig.Info.InfoEdits[1];
    name->clear();
    name->setFocus();
    for (QChar c : QString::fromLatin1("x\xFFy\x02\x03z")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(name, &press);
    }
    EXPECT_EQ(name->text(), "xyz");
    rig.Info.btnOkClick();
    ASSERT_EQ(rig.Info.ApplyState, TSetDialog::APPLY_WAITING) << rig.LastMessage().toStdString();
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Info.timSetTimer();
    EXPECT_EQ(rig.Row().CONT, cont);
    EXPECT_STREQ(rig.Row().UNIQ, "1234");
    EXPECT_STREQ(rig.Row().NAME, "xyz");
}

TEST(DateSetup, FillValidateAndSendToAll) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Date.show();
    EXPECT_EQ(rig.Date.Edit[DATE_YEAR]->text(), "2026");
    EXPECT_EQ(rig.Date.Edit[DATE_MINUTE]->text(), "30");
    EXPECT_EQ(rig.Date.Edit[DATE_GMT]->text(), "+9");

    rig.Date.Edit[DATE_DAY]->setText("31");
    rig.Date.Edit[DATE_MONTH]->setText("4");
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Please input a correct date.");
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE);

    rig.Date.Edit[DATE_DAY]->setText("5");
    rig.Date.Edit[DATE_HOUR]->setText("9");
    rig.Date.Edit[DATE_MINUTE]->setText("7");
    rig.Date.chkAll->setChecked(true);
    rig.RebootAnswer = mrNo;
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage().toStdString(), "This sets the date of every device on the network, the 1 in the list "
                                               "among them. Send it to all devices?");
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE) << "No: nothing is sent";
    rig.RebootAnswer = mrYes;
    rig.Date.btnOkClick();
    EXPECT_FALSE(rig.Date.isVisible()) << "a SET to all closes at once";
    EXPECT_STREQ(rig.Table.EditRec.YMDHM, "2026.04.05.09.07");
    EXPECT_STREQ(rig.Table.EditRec.GMT, "+9");
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE);
    rig.Date.show();
    EXPECT_FALSE(rig.Date.chkAll->isChecked()) << "never ticked from the last time";
}

TEST(DateSetup, WaitForOneDevice) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Date.chkAll->setChecked(false);
    rig.Date.show();
    rig.Date.btnOkClick();
    ASSERT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_WAITING);
    rig.Table.SetRowStatus(0, STATUS_NAK);
    rig.Date.timSetTimer();
    EXPECT_EQ(rig.LastMessage(), "Cannot take effect all parameter.");
    rig.Date.btnOkClick();
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Date.timSetTimer();
    EXPECT_FALSE(rig.Date.isVisible());
    EXPECT_STREQ(rig.Row().YMDHM, "2026.12.07.09.30") << "the row's date is not changed by the dialog";
}

TEST(DateSetup, RefusedSendToAllIsReportedAndTheDialogStays) {
    UiRig rig;  // the link is not up
    rig.Take(FullDevice(MacOf(1)));
    rig.Main.RefreshGrid();
    rig.Date.show();
    rig.Date.chkAll->setChecked(true);
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    EXPECT_TRUE(rig.Date.isVisible());
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE);
}

// Only the device ends the wait: Esc and Enter do nothing until it has.
TEST(SetupDialogs, EscAndEnterAreIgnoredWhileWaiting) {
    SetupRig rig;
    ASSERT_TRUE(rig.ready);
    rig.Info.show();
    rig.Info.btnOkClick();
    ASSERT_EQ(rig.Info.ApplyState, TSetDialog::APPLY_WAITING);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&rig.Info, key);
        EXPECT_TRUE(rig.Info.isVisible()) << key;
        EXPECT_EQ(rig.Info.ApplyState, TSetDialog::APPLY_WAITING) << key;
    }
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Info.timSetTimer();
    EXPECT_EQ(rig.Info.result(), QDialog::Accepted);
    rig.Info.show();
    QTest::keyClick(&rig.Info, Qt::Key_Escape);
    EXPECT_FALSE(rig.Info.isVisible()) << "not waiting: Esc closes as ever";
}

TEST(DateSetup, ThisComputersTimeFillsTheEditsAndSendsNothing) {
    UiRig rig;
    rig.Take(FullDevice(MacOf(1)));
    rig.Main.RefreshGrid();
    rig.Date.show();
    rig.Date.Clock = [] { return std::time_t{1796634300}; };  // 2026-12-07 09:05 UTC
    const auto at = [&](const char* tz) {
        ::setenv("TZ", tz, 1);
        ::tzset();
        rig.Date.btnNow->click();
        ::unsetenv("TZ");
        ::tzset();
        QStringList texts;
        for (QLineEdit* e : rig.Date.Edit) texts << e->text();
        return texts.join(' ');
    };
    // In the device's form: it holds 2026.12.07.09.30 and +9.
    EXPECT_EQ(at("XST-9"), "2026 12 07 18 05 +9");
    EXPECT_EQ(at("YST5"), "2026 12 07 04 05 -5");
    EXPECT_EQ(at("UTC0"), "2026 12 07 09 05 +0");
    EXPECT_TRUE(rig.Messages.empty());
    EXPECT_EQ(at("IST-5:30"), "2026 12 07 09 05 +0") << "a half-hour offset leaves the edits alone";
    EXPECT_TRUE(rig.LastMessage().startsWith("This computer's offset from UTC, +5:30, is not whole hours"))
        << rig.LastMessage().toStdString();
    EXPECT_TRUE(rig.Date.isVisible());
    EXPECT_EQ(rig.Table.EditRec.YMDHM[0], '\0') << "nothing is built or sent before OK";
}
