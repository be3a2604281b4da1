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
    lblAnswered = new QLabel(this);
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
    column->addWidget(lblAnswered);
    column->addWidget(prgSnd);
    column->addWidget(btnCancel, 0, Qt::AlignHCenter);
    timSearch.setSingleShot(true);
    connect(&timSearch, &QTimer::timeout, this, &TwndSearch::timSearchTimer);
    connect(btnCancel, &QPushButton::clicked, this, &TwndSearch::btnCancelClick);
    timAnswered.setInterval(250);
    connect(&timAnswered, &QTimer::timeout, this, &TwndSearch::ShowAnswered);
}

void TwndSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TwndSearch::FormShow() {
    Plan.Reset();
    prgSnd->setValue(0);
    ShowAnswered();
    timAnswered.start();
    timSearch.setInterval(SearchPlan::FIRST_MS);
    timSearch.start();
}

void TwndSearch::timSearchTimer() {
    timSearch.stop();
    const int next = Plan.Tick(Control);
    prgSnd->setValue(Plan.Progress);
    ShowAnswered();
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
    timAnswered.stop();
    QDialog::done(result);
}

// Until the first request goes out, the count of the last search would show.
void TwndSearch::ShowAnswered() {
    lblAnswered->setText(tr("Devices answered so far: %1").arg(Plan.Progress > 0 ? Control.Answered() : 0));
}
