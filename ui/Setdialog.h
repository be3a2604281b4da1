// What the three setup dialogs share: after a SET is handed over, the wait for
// the device's answer on a 10 ms timer, with the hourglass and the controls
// out of use until it ends.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QList>
#include <QTimer>

#include "link/Table.h"
#include "link/Tskcontrol.h"
#include "link/Waits.h"

class TSetDialog : public QDialog {
    Q_OBJECT
public:
    TSetDialog(TmTable& table, TtskCtrl& control, QWidget* parent);

    void timSetTimer();
    // Fills the controls from the selected row; runs at every showing.
    virtual void FormShow() = 0;

    enum ApplyStates { APPLY_IDLE = 0, APPLY_WAITING = 1 };
    ApplyStates ApplyState = APPLY_IDLE;  // waiting: for the device's answer to a SET handed over
    StatusWait Wait;
    QTimer timSet;
    QLabel* lblWait = nullptr;  // says what the dialog waits for, while it waits

protected:
    // Starts the wait after RequestSet.  A request the control task refused
    // was never sent, so its answer cannot come: MSG_NO_ANSWER at once, no wait.
    bool BeginWait(bool requested);
    void EndWait();
    void FormClose();
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // The device acknowledged: store what was sent and close.
    virtual void Acknowledged() = 0;
    // The controls that are out of use during the wait.
    virtual QList<QWidget*> WaitControls() const = 0;

    TmTable& Table;
    TtskCtrl& Control;

private:
    void SetWaitControls(bool enabled);
    bool Hourglass = false;
};
