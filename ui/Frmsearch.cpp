#include "ui/Frmsearch.h"

#include <QFont>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/Fit.h"

TwndSearch::TwndSearch(TtskCtrl& control, QWidget* parent) : QDialog(parent), Control(control) {
    setWindowTitle(tr("Searching..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Label1 = new QLabel(tr("Detecting the devices on the network."), this);
    QFont f = Label1->font();
    f.setPointSizeF(11.25);  // 15 pixels at 96 dpi, more on a denser screen
    Label1->setFont(f);
    prgSnd = new QProgressBar(this);
    prgSnd->setRange(0, SearchPlan::PROGRESS_MAX);
    prgSnd->setMinimumWidth(Scaled(this, 280));
    prgSnd->setTextVisible(false);
    prgSnd->setAccessibleName(tr("Search progress"));
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setFocusPolicy(Qt::NoFocus);
    btnCancel->setMinimumWidth(Scaled(this, 80));
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addWidget(Label1);
    column->addWidget(prgSnd);
    column->addWidget(btnCancel, 0, Qt::AlignHCenter);
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
