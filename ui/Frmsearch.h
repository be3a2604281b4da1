// "Searching...": paces a search of about nine seconds and then closes.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "link/Tskcontrol.h"
#include "link/Waits.h"

class TwndSearch : public QDialog {
    Q_OBJECT
public:
    explicit TwndSearch(TtskCtrl& control, QWidget* parent = nullptr);

    void FormShow();
    void timSearchTimer();
    void btnCancelClick();

    QLabel* Label1 = nullptr;
    QLabel* lblAnswered = nullptr;  // how many devices have answered so far
    QProgressBar* prgSnd = nullptr;
    QPushButton* btnCancel = nullptr;
    QTimer timSearch;
    QTimer timAnswered;
    void ShowAnswered();
    SearchPlan Plan;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    TtskCtrl& Control;
};
