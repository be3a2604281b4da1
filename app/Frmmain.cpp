#include "app/Frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>

#include "ui/Frmaboutdlg.h"
#include "ui/Frmdate.h"
#include "ui/Frminfo.h"
#include "ui/Frmsearch.h"
#include "ui/Fit.h"
#include "ui/Frmsetup.h"
#include "ui/Icons.h"
#include "ui/Language.h"
#include "ui/Msgbox.h"
#include "rules/Strings.h"
#include "app/Mainmenus.h"
#include "app/Placement.h"

namespace {
const QString kTitle = QStringLiteral("Tarnel");
constexpr int STATUS_MS = 1000;
const int kDrawnSize[2] = {404, 432};
}  // namespace

TwndMain::TwndMain(TmTable& table, TmFile& files, TtskCtrl& control)
    : Document(table, files, this), Table(table), Files(files), Control(control) {
    // FormCreate
    Mode = 0;
    Table.SelectedRow = NO_ROW;
    ExecDialog = [](QDialog* d) { return d->exec(); };
    Document.ListReplaced = [this] {
        RefreshGrid();
        UpdateMenus();
    };

    setWindowTitle(kTitle);
    QFont f = font();
    f.setPointSizeF(9);  // 12 pixels at 96 dpi, more on a denser screen
    setFont(f);
    grdDevice = new TDeviceGrid(this);
    connect(grdDevice->horizontalHeader(), &QHeaderView::sectionClicked, this, &TwndMain::SortBy);
    connect(grdDevice, &TDeviceGrid::ColumnsChanged, this, &TwndMain::RefreshGrid);
    setCentralWidget(FindBar = new TFindBar(grdDevice, this));
    connect(FindBar, &TFindBar::Filtered, this, &TwndMain::timStatusTimer);
    connect(grdDevice, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { grdDeviceSelectCell(row + 1); });
    // Enter on a row, like a double click, sets the device up.
    connect(grdDevice, &QAbstractItemView::activated, this, &TwndMain::mnuNetworkClick);
    BuildMainMenus(*this);

    timMain.setSingleShot(true);
    timMain.setInterval(100);
    connect(&timMain, &QTimer::timeout, this, &TwndMain::timMainTimer);
    timDateResp.setSingleShot(true);
    connect(&timDateResp, &QTimer::timeout, this, &TwndMain::timDateRespTimer);

    stsCount = new QLabel(this);
    stsLink = new QLabel(this);
    stsProblems = new QLabel(this);
    statusBar()->addWidget(stsCount);
    statusBar()->addWidget(stsProblems);
    statusBar()->addWidget(stsLink, 1);
    // A long reason is cut rather than widen the window; its tooltip holds it whole.
    stsLink->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stsProblems->hide();
    stsLink->hide();
    timStatus.setSingleShot(true);
    timStatus.setInterval(STATUS_MS);
    connect(&timStatus, &QTimer::timeout, this, &TwndMain::timStatusTimer);
    timStatusTimer();
}

void TwndMain::SetDialogs(TwndSearch* search, TwndInfo* info, TwndDate* date, TwndSetup* setup, TAboutDlg* about) {
    wndSearch = search;
    wndInfo = info;
    wndDate = date;
    wndSetup = setup;
    AboutDlg = about;
}

void TwndMain::showEvent(QShowEvent* event) {
    if (!Placed)
        RestorePlace(this, grdDevice, Files.SettingsPath(), QSize(Scaled(this, kDrawnSize[0]), Scaled(this, kDrawnSize[1])));
    Placed = true;
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TwndMain::FormShow() {
    grdDevice->SetHeadings();
    UpdateMenus();
}

int TwndMain::RunDialog(QDialog* dialog) { return dialog != nullptr ? ExecDialog(dialog) : QDialog::Rejected; }

// The picked device stays picked wherever its row goes; only when it has
// gone does the pick fall to the first row, and an empty list has none.
void TwndMain::RefreshGrid() {
    const QByteArray picked = grdDevice->MacAt(grdDevice->currentRow() + 1);
    const size_t flagged = grdDevice->Fill(Table);
    grdDeviceSelectCell(grdDevice->ShownRowOf(picked) + 1);
    stsCount->setText(grdDevice->CountText(Table.Count()));
    // Short enough for the status bar of the window's first size; the reasons
    // are in each marked row's tooltip.
    stsProblems->setText(flagged == 0 ? QString() : tr("Flagged: %1").arg(flagged));
    stsProblems->setVisible(flagged != 0);
    stsProblems->setToolTip(flagged == 0 ? QString() : tr("Point at a marked row to see why it is flagged."));
}

void TwndMain::SortBy(int column) {
    grdDevice->SortBy(column);
    grdDeviceSelectCell(grdDevice->currentRow() + 1);
}

// The selection is the device on the grid row, found by its MAC: with the
// grid sorted, grid row r need not show table row r - 1.
void TwndMain::grdDeviceSelectCell(int gridRow) {
    const QByteArray mac = grdDevice->MacAt(gridRow);
    Table.SelectedRow = mac.isEmpty() ? NO_ROW : Table.FindRow(mac.constData());
    if (Table.SelectedRow < 0) Table.SelectedRow = NO_ROW;
    // What the commands act on is always what is shown selected.
    grdDevice->ShowPicked(gridRow - 1);
    UpdateMenus();
}

void TwndMain::UpdateMenus() {
    const bool selected = Table.SelectedRow != NO_ROW;
    for (QAction* a : {mnuDelete, mnuNetwork, mnuInfomation, mnuDate, TBDelete, TBNetwork, TBInfo, TBDate})
        a->setEnabled(selected);
    mnuAllDelete->setEnabled(Table.Count() > 0);
}

void TwndMain::MarkModified() { Document.MarkModified(); }

void TwndMain::mnuSearchClick() {
    TBSearch->setChecked(true);
    Mode = 1;
    Table.TakeLeftOut();  // only what this search leaves out is told
    timMain.start();
    RunDialog(wndSearch);
    timMain.stop();
    // Whatever arrived after the last tick is shown too.
    if (Table.TakeChanges() & (CHG_DEVICE | CHG_NETWORK)) {
        RefreshGrid();
        UpdateMenus();
    }
    TBSearch->setChecked(false);
    Mode = 0;
    MarkModified();
    // Junk answers from any host can fill the list; the user learns that
    // real devices may be missing, once, after the search.
    if (const uint32_t leftOut = Table.TakeLeftOut())
        ShowMessageText(QString::fromLatin1(ListFullText(leftOut).c_str()), mtWarning, mbOK);
}

void TwndMain::timStatusTimer() {
    timStatus.stop();
    stsCount->setText(grdDevice->CountText(Table.Count()));
    const TQmx42* worker = Control.Worker();
    // While the worker waits to reopen the link, the link is down.
    const bool down = worker != nullptr && worker->State() == ST_WAIT;
    stsLink->setText(down ? tr("No link to the devices: check the network, and close any other program that "
                                "uses UDP port %1; the link is tried again by itself. (%2)")
                                .arg(LINK_PORT)
                                .arg(QString::fromLocal8Bit(worker->LastFailure().c_str()))
                          : QString());
    stsLink->setToolTip(stsLink->text());
    stsLink->setVisible(down);
    timStatus.start();
}

void TwndMain::timMainTimer() {
    timMain.stop();
    if (Mode != 1) return;
    if (Table.TakeChanges() & (CHG_DEVICE | CHG_NETWORK)) {
        Table.UpdateChangeMask(CHG_DEVICE, MaskUpdate::Clear);
        RefreshGrid();
        UpdateMenus();
    }
    timMain.start();
}

// During the wait nothing may pull the queried row away: the menus, the grid
// and the tool bar are all out of use until it ends.
void TwndMain::SetWaitingForDate(bool waiting) {
    for (QMenu* m : {mnuFile, mnuEdit, mnuSetup, mnuHelp1}) m->menuAction()->setEnabled(!waiting);
    grdDevice->setEnabled(!waiting);
    ToolBarMain->setEnabled(!waiting);
    if (waiting) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        statusBar()->showMessage(tr("Asking the device for its date (up to %1 seconds)...")
                                     .arg(StatusWait::TICK_MS * StatusWait::MAX_TICKS / 1000));
    } else {
        QApplication::restoreOverrideCursor();
        statusBar()->clearMessage();
    }
}

void TwndMain::mnuDateClick() {
    TBDate->setChecked(true);
    if (Table.SelectedRow == NO_ROW) {
        TBDate->setChecked(false);
        return;
    }
    // An enquiry the control task refused was never sent: no answer can come,
    // and a status left from an earlier exchange must not pass for one.
    if (!Control.RequestQuery(Table.SelectedRow, KIND_DATE)) {
        ShowMessageId(MSG_NO_ANSWER, mtWarning, mbOK);
        TBDate->setChecked(false);
        return;
    }
    SetWaitingForDate(true);
    repaint();
    Mode = 2;
    DateWait.Start();
    timDateResp.setInterval(StatusWait::TICK_MS);
    timDateResp.start();
}

void TwndMain::timDateRespTimer() {
    timDateResp.stop();
    if (Mode != 2) {
        TBDate->setChecked(false);
        return;
    }
    switch (DateWait.Tick(Table, Table.SelectedRow)) {
        case StatusWait::Waiting:
            timDateResp.start();
            return;
        case StatusWait::Acknowledged:
            Mode = 0;
            SetWaitingForDate(false);
            RunDialog(wndDate);
            break;
        case StatusWait::Refused:
            Mode = 0;
            SetWaitingForDate(false);
            ShowMessageId(MSG_NAK, mtWarning, mbOK);
            break;
        case StatusWait::Silent:
            SetWaitingForDate(false);
            ShowMessageId(MSG_NO_ANSWER, mtWarning, mbOK);
            Mode = 0;
            break;
    }
    TBDate->setChecked(false);
}

void TwndMain::mnuNetworkClick() {
    TBNetwork->setChecked(true);
    if (Table.SelectedRow != NO_ROW && RunDialog(wndSetup) == QDialog::Accepted) MarkModified();
    TBNetwork->setChecked(false);
}

void TwndMain::mnuInfomationClick() {
    TBInfo->setChecked(true);
    if (Table.SelectedRow != NO_ROW && RunDialog(wndInfo) == QDialog::Accepted) MarkModified();
    TBInfo->setChecked(false);
}

void TwndMain::mnuDeleteClick() {
    if (Table.SelectedRow == NO_ROW) return;
    TBDelete->setChecked(true);
    // The pick moves to the neighbour below, or above when the last row goes.
    const int row = grdDevice->currentRow();
    QByteArray neighbour = grdDevice->MacAt(row + 2);
    if (neighbour.isEmpty()) neighbour = grdDevice->MacAt(row);
    Table.DeleteRow(Table.SelectedRow + 1);
    RefreshGrid();
    if (const int at = grdDevice->RowOf(neighbour); at >= 0 && !grdDevice->isRowHidden(at)) grdDeviceSelectCell(at + 1);
    UpdateMenus();
    TBDelete->setChecked(false);
    MarkModified();
}

void TwndMain::mnuAllDeleteLClick() {
    Table.DeleteRow(NO_ROW);
    RefreshGrid();
    UpdateMenus();
    MarkModified();
}

void TwndMain::mnuOpenClick() {
    TBOpen->setChecked(true);
    Document.Open();
    TBOpen->setChecked(false);
}

void TwndMain::mnuSaveClick() {
    TBSave->setChecked(Document.FileNamed == 1);
    Document.SaveCurrent();
    TBSave->setChecked(false);
}

void TwndMain::mnuExportCsvClick() { Document.ExportCsv(); }

void TwndMain::mnuSaveAsClick() {
    // No button shows pressed while a name is asked for, also when Save came here.
    TBSave->setChecked(false);
    Document.SaveAs();
}

void TwndMain::mnuExitClick() { close(); }

// The place is kept only when the window really closes.
void TwndMain::closeEvent(QCloseEvent* event) {
    if (!Document.AskToSaveChanges()) {
        event->ignore();
        return;
    }
    SavePlace(this, grdDevice, Files.SettingsPath());
    event->accept();
}

void TwndMain::mnuHelpClick() {
    // Help is never shown pressed: the click that checked the button is undone
    // at once, and again once the viewer has been asked for.
    TBHelp->setChecked(false);
    OpenHelp(QString::fromStdString(Files.HelpDir()), DesktopLanguage(),
             ManualPaths(QString::fromStdString(ExecutableDir()), DesktopLanguage()));
    TBHelp->setChecked(false);
}

void TwndMain::mnuAboutClick() { RunDialog(AboutDlg); }
