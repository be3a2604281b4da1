#include "Frmsearch.h"

#include <QFont>
#include <QShowEvent>

TwndSearch::TwndSearch(TtskCtrl& control, QWidget* parent) : QDialog(parent), Control(control) {
    setWindowTitle("Searching...");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(298, 98);
    Label1 = new QLabel("Detecting the devices on the network.", this);
    QFont f = Label1->font();
    f.setPixelSize(15);
    Label1->setFont(f);
    Label1->setGeometry(9, 8, 280, 22);
    prgSnd = new QProgressBar(this);
    prgSnd->setRange(0, SearchPlan::PROGRESS_MAX);
    prgSnd->setGeometry(9, 36, 280, 18);
    prgSnd->setTextVisible(false);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setFocusPolicy(Qt::NoFocus);
    btnCancel->setGeometry(109, 64, 80, 26);
    timSearch.setSingleShot(true);
    connect(&timSearch, &QTimer::timeout, this, &TwndSearch::timSearchTimer);
    connect(btnCancel, &QPushButton::clicked, this, &TwndSearch::btnCancelClick);
}

void TwndSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TwndSearch::FormShow() {
    Plan.Reset();
    prgSnd->setValue(0);
    timSearch.setInterval(SearchPlan::FIRST_MS);
    timSearch.start();
}

void TwndSearch::timSearchTimer() {
    timSearch.stop();
    const int next = Plan.Tick(Control);
    prgSnd->setValue(Plan.Progress);
    if (next < 0) {
        accept();
        return;
    }
    timSearch.setInterval(next);
    timSearch.start();
}

void TwndSearch::btnCancelClick() {
    timSearch.stop();
    reject();
}

void TwndSearch::done(int result) {
    Plan.SearchStep = 0;
    Plan.SearchCycle = 0;
    timSearch.stop();
    QDialog::done(result);
}
