// Drives the control task's timer from the Qt event loop.
#pragma once

#include <QObject>
#include <QTimer>

#include "link/Tskcontrol.h"

class CtrlTimer : public QObject {
    Q_OBJECT
public:
    explicit CtrlTimer(TtskCtrl& control) : Control(control) {
        timCtrl.setSingleShot(true);
        connect(&timCtrl, &QTimer::timeout, this, &CtrlTimer::Tick);
        if (Control.TimerEnabled()) timCtrl.start(Control.Interval());
    }

private:
    void Tick() {
        Control.timCtrlTimer();
        // Once requests are accepted the steps do nothing; no need to wake for them.
        if (Control.TimerEnabled() && Control.CtrlState() != CTRL_READY) timCtrl.start(Control.Interval());
    }
    TtskCtrl& Control;
    QTimer timCtrl;
};
