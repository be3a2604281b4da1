#include "ui/Setdialog.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QShowEvent>

#include "ui/Msgbox.h"
#include "rules/Strings.h"
#include "ui/Language.h"

TSetDialog::TSetDialog(TmTable& table, TtskCtrl& control, QWidget* parent)
    : QDialog(parent), Table(table), Control(control) {
    timSet.setSingleShot(true);
    connect(&timSet, &QTimer::timeout, this, &TSetDialog::timSetTimer);
    lblWait = new QLabel(tr("Waiting for the device's answer (up to %1 seconds)...")
                             .arg(StatusWait::TICK_MS * StatusWait::MAX_TICKS / 1000),
                         this);
    // Wrapped to the dialog's width: it makes the dialog taller while it
    // waits, never wider.
    lblWait->setWordWrap(true);
    lblWait->hide();
}

bool TSetDialog::BeginWait(bool requested) {
    if (!requested) {
        // A MAC in doubt is refused its SET: say why, not that it is gone.
        if (const std::string doubt = Table.RowDoubt(Table.SelectedRow); !doubt.empty())
            ShowMessageText(
                tr("This device %1; search again.").arg(TranslatedReason(QString::fromLatin1(doubt.c_str()))),
                mtWarning, mbOK);
        else
            ShowMessageId(MSG_NO_ANSWER, mtWarning, mbOK);
        return false;
    }
    ApplyState = APPLY_WAITING;
    if (!Hourglass) QApplication::setOverrideCursor(Qt::WaitCursor);
    Hourglass = true;
    SetWaitControls(false);
    lblWait->show();
    Wait.Start();
    timSet.setInterval(StatusWait::TICK_MS);
    timSet.start();
    return true;
}

void TSetDialog::EndWait() {
    ApplyState = APPLY_IDLE;
    if (Hourglass) QApplication::restoreOverrideCursor();
    Hourglass = false;
    SetWaitControls(true);
    lblWait->hide();
}

void TSetDialog::timSetTimer() {
    timSet.stop();
    if (ApplyState != APPLY_WAITING) return;
    switch (Wait.Tick(Table, Table.SelectedRow)) {
        case StatusWait::Acknowledged:
            EndWait();
            Acknowledged();
            break;
        case StatusWait::Refused:
            // The box appears under the hourglass, which goes once it is closed.
            ShowMessageId(MSG_NAK, mtWarning, mbOK);
            EndWait();
            break;
        case StatusWait::Silent:
            ShowMessageId(MSG_NO_ANSWER, mtWarning, mbOK);
            EndWait();
            break;
        case StatusWait::Waiting:
            timSet.start();
            break;
    }
}

void TSetDialog::FormClose() { EndWait(); }

void TSetDialog::done(int result) {
    FormClose();
    QDialog::done(result);
}

// Only the device's answer, or its silence, ends the wait: Esc would close the
// dialog under a SET still on its way, and Enter would press a default button.
void TSetDialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (ApplyState == APPLY_WAITING && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSetDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TSetDialog::SetWaitControls(bool enabled) {
    for (QWidget* w : WaitControls()) w->setEnabled(enabled);
}
