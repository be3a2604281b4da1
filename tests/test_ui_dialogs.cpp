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

template <size_t N>
QString Texts(QLineEdit* const (&edits)[N]) {
    QStringList texts;
    for (QLineEdit* e : edits) texts << e->text();
    return texts.join(' ');
}
}  // namespace

// Edits open as the device reports their keys, the first one focused; a
// device without a gateway can be set up (the check against it does not run).
TEST(NetworkSetup, FillsByFlagsAndSendsWithoutAGateway) {
    SetupRig rig(Answer(MacOf(1), {"IPADRM:192.168.0.10", "MASK:255.255.0.0", "TOUT:12345"}));
    ASSERT_TRUE(rig.Ready());
    rig.Setup.show();
    EXPECT_EQ(rig.Setup.focusWidget(), rig.Setup.Edit[NET_MAIN]) << "Enter at once must not send";
    for (int i = 0; i < NET_ROWS; ++i)
        EXPECT_EQ(rig.Setup.Edit[i]->isEnabled(), i == NET_MAIN || i == NET_MASK || i == NET_TIMEOUT) << i;
    EXPECT_EQ(rig.Setup.Edit[NET_TIMEOUT]->text(), "12345") << "longer than the typing limit, shown whole";
    rig.Setup.Edit[NET_MAIN]->setText("192.168.0.12");
    rig.Setup.btnOkClick();
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_WAITING) << rig.LastMessage().toStdString();
    EXPECT_STREQ(rig.Table.EditRec.IPADRM, "192.168.0.12");
    EXPECT_TRUE(rig.Setup.lblWait->isVisible()) << "the wait says what it waits for";
}

// Bad values are listed together and nothing goes out; a typed address is
// digits and dots only, as the device takes it.
TEST(NetworkSetup, BadFieldsAreListedAndTypedAddressesArePlain) {
    SetupRig rig;
    ASSERT_TRUE(rig.Ready());
    rig.Setup.show();
    rig.Setup.Edit[NET_BACKUP]->setText("10.0.0.255");
    rig.Setup.Edit[NET_TRAP2]->setText("1.1.1.0");
    rig.Setup.btnOkClick();
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_EQ(rig.Messages[0].Text, "\"Backup IP\" is a illegal value.\n\"Trap2\" is a illegal value.");
    EXPECT_EQ(rig.Messages[0].Caption, "Tarnel");
    EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);

    rig.Setup.FillFields(0);
    QLineEdit* main = rig.Setup.Edit[NET_MAIN];
    main->clear();
    main->setFocus();
    QTest::keyClicks(main, "1 9x2.1688.0.7.");
    EXPECT_EQ(main->displayText(), "192.168.0.7") << "three digits to a group, four groups";
    rig.Setup.btnOkClick();
    EXPECT_STREQ(rig.Table.EditRec.IPADRM, "192.168.0.7");
}

// How the wait after OK ends, and what each end leaves in the dialog, the row
// and the grid: only an ACK to a dialog still open stores the new address.
TEST(NetworkSetup, TheWaitEndsByTheDevicesAnswerOrItsSilence) {
    const struct {
        const char* name;
        uint32_t answer;  // the row's status once the SET is out
        int ticks;        // until the wait ends
        bool closed;      // the close box during the wait
        const char* says;
    } cases[] = {
        {"ACK", STATUS_ACK, 1, false, ""},
        {"NAK", STATUS_NAK, 1, false, "Cannot take effect all parameter."},
        {"silence", STATUS_NONE, 1000, false, "Cannot detect this device."},
        {"closed, then a late ACK", STATUS_ACK, 1, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetupRig rig;
        ASSERT_TRUE(rig.Ready());
        rig.Setup.show();
        rig.Setup.Edit[NET_MAIN]->setText("192.168.0.77");
        rig.Answers = {mrNo};
        rig.Setup.btnOkClick();
        EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE) << "no reboot, nothing sent";
        rig.Setup.btnOkClick();
        ASSERT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_WAITING);
        EXPECT_FALSE(rig.Setup.btnOk->isEnabled());
        EXPECT_FALSE(rig.Setup.Group[0]->isEnabled());
        rig.Messages.clear();
        if (c.closed) rig.Setup.reject();
        for (int i = 1; i < c.ticks; ++i) rig.Setup.timSetTimer();
        EXPECT_EQ(rig.Setup.ApplyState, c.closed ? TSetDialog::APPLY_IDLE : TSetDialog::APPLY_WAITING);
        rig.Table.SetRowStatus(0, c.answer);
        rig.Setup.timSetTimer();
        const bool stored = c.answer == STATUS_ACK && !c.closed;
        EXPECT_EQ(rig.LastMessage(), c.says);
        EXPECT_EQ(rig.Setup.ApplyState, TSetDialog::APPLY_IDLE);
        EXPECT_EQ(rig.Setup.isVisible(), !stored && !c.closed);
        EXPECT_TRUE(rig.Setup.btnOk->isEnabled());
        EXPECT_EQ(rig.Setup.Edit[NET_MAIN]->displayText(), "192.168.0.77") << "the user's values stay";
        EXPECT_STREQ(rig.Row().IPADRM, stored ? "192.168.0.77" : "192.168.0.10");
        EXPECT_EQ(rig.Main.grdDevice->item(0, 3)->text(), rig.Row().IPADRM);
    }
}

// A SET the control task refuses, or one with nothing in it, is never sent:
// told at once and not waited for, so an ACK left in the row from an earlier
// exchange cannot pass for its answer.
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

    SetupRig bare(Answer(MacOf(1), {"MODEL:m"}));
    ASSERT_TRUE(bare.Ready());
    bare.Info.show();
    EXPECT_FALSE(bare.Info.InfoEdits[3]->isEnabled()) << "so its number is not checked";
    bare.Info.btnOkClick();
    EXPECT_EQ(bare.LastMessage(), "Cannot detect this device.") << "nothing to send";
}

// The unique ID is a number; what cannot travel in a frame cannot be typed; a
// stored value longer than an edit is shown whole and, untouched, goes out as
// stored.
TEST(InformationSetup, ChecksTypingAndWhatIsStored) {
    const std::string cont(30, 'c');
    SetupRig rig(Answer(MacOf(1), {"CONT:" + cont, "NAME:n", "LOC:l", "UNIQ:1234"}));
    ASSERT_TRUE(rig.Ready());
    rig.Info.show();
    EXPECT_EQ(rig.Info.InfoEdits[0]->text().toStdString(), cont);
    for (const char* bad : {"abc", "", "-1"}) {
        rig.Messages.clear();
        rig.Info.InfoEdits[3]->setText(bad);
        rig.Info.btnOkClick();
        EXPECT_EQ(rig.LastMessage(), "\"Unique ID\" is a illegal value.") << bad;
        EXPECT_EQ(rig.Info.ApplyState, TSetDialog::APPLY_IDLE) << bad;
    }
    rig.Info.InfoEdits[3]->setText("-5");
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
    EXPECT_EQ(rig.Info.result(), QDialog::Accepted);
    EXPECT_EQ(rig.Row().CONT, cont);
    EXPECT_STREQ(rig.Row().NAME, "xyz");
    EXPECT_STREQ(rig.Row().UNIQ, "-5");
}

// Sending to all devices is asked once, naming the list's count, closes at
// once and is never ticked from the last time; one device's ACK closes the
// dialog without changing the row's own date.
TEST(DateSetup, FillValidateAndSendToAllOrOne) {
    SetupRig rig;
    ASSERT_TRUE(rig.Ready());
    rig.Date.show();
    EXPECT_EQ(Texts(rig.Date.Edit), "2026 12 07 09 30 +9");
    rig.Date.Edit[DATE_DAY]->setText("31");
    rig.Date.Edit[DATE_MONTH]->setText("4");
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage(), "Please input a correct date.");
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE);

    rig.Date.Edit[DATE_DAY]->setText("5");
    rig.Date.Edit[DATE_HOUR]->setText("9");
    rig.Date.Edit[DATE_MINUTE]->setText("7");
    rig.Date.chkAll->setChecked(true);
    rig.Answers = {mrNo};
    rig.Date.btnOkClick();
    EXPECT_EQ(rig.LastMessage().toStdString(), "This sets the date of every device on the network, the 1 in the list "
                                               "among them. Send it to all devices?");
    EXPECT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_IDLE) << "No: nothing is sent";
    rig.Date.btnOkClick();
    EXPECT_FALSE(rig.Date.isVisible());
    EXPECT_STREQ(rig.Table.EditRec.YMDHM, "2026.04.05.09.07");
    EXPECT_STREQ(rig.Table.EditRec.GMT, "+9");

    rig.Date.show();
    EXPECT_FALSE(rig.Date.chkAll->isChecked());
    rig.Date.btnOkClick();
    ASSERT_EQ(rig.Date.ApplyState, TSetDialog::APPLY_WAITING);
    rig.Table.SetRowStatus(0, STATUS_ACK);
    rig.Date.timSetTimer();
    EXPECT_FALSE(rig.Date.isVisible());
    EXPECT_STREQ(rig.Row().YMDHM, "2026.12.07.09.30");
}

// This computer's time in the device's form (it holds 2026.12.07.09.30 and
// +9): zero-padded, "+" where it writes one; nothing is sent before OK.
TEST(DateSetup, ThisComputersTimeFillsTheEditsAndSendsNothing) {
    SetupRig rig;
    rig.Date.show();
    rig.Date.Clock = [] { return std::time_t{1796634300}; };  // 2026-12-07 09:05 UTC
    const std::pair<const char*, const char*> zones[] = {
        {"XST-9", "2026 12 07 18 05 +9"},
        {"YST5", "2026 12 07 04 05 -5"},
        {"UTC0", "2026 12 07 09 05 +0"},
        {"IST-5:30", "2026 12 07 09 05 +0"},  // not whole hours: the edits stay
    };
    for (const auto& [tz, shown] : zones) {
        ::setenv("TZ", tz, 1);
        ::tzset();
        rig.Date.btnNow->click();
        ::unsetenv("TZ");
        ::tzset();
        EXPECT_EQ(Texts(rig.Date.Edit), shown) << tz;
    }
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_TRUE(rig.LastMessage().startsWith("This computer's offset from UTC, +5:30, is not whole hours"))
        << rig.LastMessage().toStdString();
    EXPECT_TRUE(rig.Date.isVisible());
    EXPECT_EQ(rig.Table.EditRec.YMDHM[0], '\0');
}

// Only the device ends the wait: Esc and Enter do nothing until it has.
TEST(SetupDialogs, EscAndEnterAreIgnoredWhileWaiting) {
    SetupRig rig;
    ASSERT_TRUE(rig.Ready());
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
