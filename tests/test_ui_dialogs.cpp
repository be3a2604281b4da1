// The three setup dialogs, offscreen, with their waits driven by their ticks.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "UiRig.h"

namespace {
// A rig with one device shown and picked; the test brings the link up.
struct SetupRig : UiRig {
    explicit SetupRig(const Bytes& device = FullDevice(MacOf(1))) { Shown(device); }
};
}  // namespace

// Each dialog's OK hands a SET over and waits: the controls are out of use and
// Esc and Enter do nothing.  Only an ACK to a dialog still open stores what was
// sent (the date is the device's own) and closes it; a NAK or 1000 silent ticks
// are told and leave the user's values; the close box ends the wait.
TEST(SetupDialogs, TheWaitEndsByTheDevicesAnswerOrItsSilence) {
    enum End { Ack, Nak, Silence, Keys, Closed };
    const char* const names[] = {"ACK", "NAK", "silence", "Esc and Enter, then ACK", "closed, then a late ACK"};
    for (int which = 0; which < 3; ++which) {
        for (End end : {Ack, Nak, Silence, Keys, Closed}) {
            SCOPED_TRACE(std::to_string(which) + ": " + names[end]);
            SetupRig rig;
            ASSERT_TRUE(rig.Ready());
            TSetDialog* dialogs[] = {&rig.Setup, &rig.Info, &rig.Date};
            QPushButton* ok[] = {rig.Setup.btnOk, rig.Info.btnOk, rig.Date.btnOk};
            TSetDialog& d = *dialogs[which];
            d.show();
            rig.Setup.Edit[NET_MAIN]->setText("192.168.0.77");
            rig.Info.InfoEdits[1]->setText("Rack 7");
            ok[which]->click();
            ASSERT_EQ(d.ApplyState, TSetDialog::APPLY_WAITING) << rig.LastMessage().toStdString();
            EXPECT_FALSE(ok[which]->isEnabled());
            for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
                if (end == Keys) QTest::keyClick(&d, key);
            if (end == Closed) d.reject();
            for (int tick = 1; tick < (end == Silence ? 1000 : 1); ++tick) d.timSetTimer();
            EXPECT_EQ(d.ApplyState, end == Closed ? TSetDialog::APPLY_IDLE : TSetDialog::APPLY_WAITING);
            rig.Messages.clear();
            rig.Table.SetRowStatus(0, end == Nak ? STATUS_NAK : end == Silence ? STATUS_NONE : STATUS_ACK);
            d.timSetTimer();
            const bool stored = end == Ack || end == Keys;
            EXPECT_EQ(rig.LastMessage(), end == Nak       ? "Cannot take effect all parameter."
                                         : end == Silence ? "Cannot detect this device."
                                                          : "");
            EXPECT_EQ(d.ApplyState, TSetDialog::APPLY_IDLE);
            EXPECT_EQ(d.isVisible(), !stored && end != Closed);
            EXPECT_TRUE(ok[which]->isEnabled());
            EXPECT_EQ(rig.Setup.Edit[NET_MAIN]->displayText(), "192.168.0.77") << "the user's values stay";
            EXPECT_STREQ(rig.Row().IPADRM, stored && which == 0 ? "192.168.0.77" : "192.168.0.10");
            EXPECT_EQ(rig.Main.grdDevice->item(0, 3)->text(), rig.Row().IPADRM);
            EXPECT_STREQ(rig.Row().NAME, stored && which == 1 ? "Rack 7" : "n");
            EXPECT_STREQ(rig.Row().YMDHM, "2026.12.07.09.30");
        }
    }
}

// Edits open as the device reports their keys, the first one focused; a
// value the SET unit refuses is told and nothing goes out; a typed address is
// digits and dots only, as the device takes it; a device without a gateway
// can be set up (the check against it does not run).
TEST(NetworkSetup, OpensByFlagsRefusesTypesAndSends) {
    SetupRig rig(Answer(MacOf(1), {"IPADRM:192.168.0.10", "MASK:255.255.0.0", "TOUT:12345"}));
    ASSERT_TRUE(rig.Ready());
    rig.Setup.show();
    QLineEdit* main = rig.Setup.Edit[NET_MAIN];
    EXPECT_EQ(rig.Setup.focusWidget(), main) << "Enter at once must not send";
    for (int i = 0; i < NET_ROWS; ++i)
        EXPECT_EQ(rig.Setup.Edit[i]->isEnabled(), i == NET_MAIN || i == NET_MASK || i == NET_TIMEOUT) << i;
    EXPECT_EQ(rig.Setup.Edit[NET_TIMEOUT]->text(), "12345") << "longer than the typing limit, shown whole";
    main->setText("192.168.266");
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "\"Main IP\" is a illegal value.");
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);

    main->clear();
    main->setFocus();
    QTest::keyClicks(main, "1 9x2.1688.0.7.");
    EXPECT_EQ(main->displayText(), "192.168.0.7") << "three digits to a group, four groups";
    rig.Answers = {mrNo};
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE) << "no reboot, nothing sent";
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_WAITING) << rig.LastMessage().toStdString();
    EXPECT_STREQ(rig.Table.EditRec.IPADRM, "192.168.0.7");
    EXPECT_FALSE(rig.Setup.Group[0]->isEnabled());
    EXPECT_TRUE(rig.Setup.lblWait->isVisible()) << "the wait says what it waits for";
}

// A SET the control task refuses is never sent: told at once and not waited
// for, so an ACK left in the row from an earlier exchange cannot pass for its
// answer.
TEST(SetupDialogs, WhatIsNotSentIsReportedAtOnce) {
    SetupRig rig;  // the link is not up
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Setup.show();
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.66");
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.");
    rig.Setup.timSetTimer();
    rig.Date.show();
    rig.Date.chkAll->setChecked(true);
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Cannot detect this device.") << "to all devices";
    for (TSetDialog* d : std::initializer_list<TSetDialog*>{&rig.Setup, &rig.Date}) {
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->ApplyState, TSetDialog::APPLY_IDLE);
    }
    EXPECT_STREQ(rig.Row().IPADRM, "192.168.0.10");
}

// What cannot travel in a frame cannot be typed.
TEST(InformationSetup, TypingTakesOnlyWhatAFrameCarries) {
    SetupRig rig;
    rig.Info.show();
    QLineEdit* name = rig.Info.InfoEdits[1];
    name->clear();
    name->setFocus();
    for (QChar c : QString::fromLatin1("x\xFFy\x02\x03z")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(name, &press);
    }
    EXPECT_EQ(name->text(), "xyz");
}

// This computer's time fills the edits in the device's form (it holds
// 2026.12.07.09.30 and +9) and sends nothing.  Sending to
// all devices is asked once, naming the list's count, closes at once and is
// never ticked from the last time.
TEST(DateSetup, ThisComputersTimeAndSendToAll) {
    SetupRig rig;
    ASSERT_TRUE(rig.Ready());
    const auto texts = [&] {
        QStringList shown;
        for (QLineEdit* e : rig.Date.Edit) shown << e->text();
        return shown.join(' ');
    };
    rig.Date.show();
    EXPECT_EQ(texts(), "2026 12 07 09 30 +9");
    rig.Date.Clock = [] { return std::time_t{1796634300}; };  // 2026-12-07 09:05 UTC
    ::setenv("TZ", "XST-9", 1);
    ::tzset();
    rig.Date.btnNow->click();
    ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(texts(), "2026 12 07 18 05 +9");
    EXPECT_EQ(rig.Table.EditRec.YMDHM[0], '\0');

    rig.Date.Edit[DATE_DAY]->setText("5");
    rig.Date.chkAll->setChecked(true);
    rig.Answers = {mrNo};
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage().toStdString(), "This sets the date of every device on the network, the 1 in the list "
                                               "among them. Send it to all devices?");
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE) << "No: nothing is sent";
    rig.Date.btnOkClick();
    EXPECT_FALSE(rig.Date.isVisible());
    EXPECT_STREQ(rig.Table.EditRec.YMDHM, "2026.12.05.18.05");
    EXPECT_STREQ(rig.Table.EditRec.GMT, "+9");
    rig.Date.show();
    EXPECT_FALSE(rig.Date.chkAll->isChecked());
}
