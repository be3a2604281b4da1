#include "Frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include "Frmaboutdlg.h"
#include "Frmdate.h"
#include "Frminfo.h"
#include "Frmsearch.h"
#include "Frmsetup.h"
#include "Msgbox.h"
#include "Strings.h"

namespace {
const char* const kHeadings[4] = {"Device Name", "T-ARC ID", "Serial", "IP Address(M)"};
const int kColumnWidths[4] = {130, 70, 60, 112};
constexpr int MIN_DATA_ROWS = 23;  // with the heading, 24 rows
const QString kFilter = QStringLiteral("Device file(*.dat);;All files(*.*)");
const QString kTitle = QStringLiteral("Tarnel");

QString Latin1(const char* text, int width) {
    return QString::fromLatin1(text, static_cast<int>(strnlen(text, static_cast<size_t>(width))));
}

// A message about a file; the name goes in last, so one that holds "%r" or
// "%n" stays as it is.
QString FileMessage(int id, const QString& file, const QString& reason = {}, size_t count = 0) {
    return QString::fromLatin1(MessageText(id))
        .replace("%r", reason)
        .replace("%n", QString::number(count))
        .replace("%s", file);
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

TwndMain::TwndMain(TmTable& table, TmFile& files, TtskCtrl& control)
    : Table(table), Files(files), Control(control) {
    // FormCreate
    Mode = 0;
    Table.SelectedRow = NO_ROW;
    FileNamed = 0;
    ExecDialog = [](QDialog* d) { return d->exec(); };
    AskOpenPath = [this](const QString& dir) {
        return QFileDialog::getOpenFileName(this, QString(), dir, kFilter);
    };
    AskSavePath = [this](const QString& dir) {
        QFileDialog dialog(this, QString(), dir, kFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("dat");
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    setWindowTitle(kTitle);
    resize(404, 432);
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    grdDevice = new QTableWidget(MIN_DATA_ROWS, 4, this);
    grdDevice->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDevice->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDevice->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDevice->verticalHeader()->hide();
    grdDevice->verticalHeader()->setDefaultSectionSize(16);
    grdDevice->setColumnWidth(0, 160);
    grdDevice->setColumnWidth(1, 80);
    grdDevice->setColumnWidth(2, 80);
    grdDevice->setColumnWidth(3, 110);
    setCentralWidget(grdDevice);
    connect(grdDevice, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { grdDeviceSelectCell(row + 1); });
    BuildMenusAndToolBar();

    timMain.setSingleShot(true);
    timMain.setInterval(100);
    connect(&timMain, &QTimer::timeout, this, &TwndMain::timMainTimer);
    timDateResp.setSingleShot(true);
    connect(&timDateResp, &QTimer::timeout, this, &TwndMain::timDateRespTimer);
}

void TwndMain::BuildMenusAndToolBar() {
    struct Command {
        QAction** Menu;
        QMenu** Parent;
        const char* Caption;
        void (TwndMain::*Handler)();
    };
    mnuFile = menuBar()->addMenu("&File");
    mnuEdit = menuBar()->addMenu("E&dit");
    mnuSetup = menuBar()->addMenu("Setup(&M)");
    mnuHelp1 = menuBar()->addMenu("Help(&H)");
    const Command commands[] = {
        {&mnuOpen, &mnuFile, "&Open...", &TwndMain::mnuOpenClick},
        {&mnuSave, &mnuFile, "&Save", &TwndMain::mnuSaveClick},
        {&mnuSaveAs, &mnuFile, "Save &As...", &TwndMain::mnuSaveAsClick},
        {nullptr, &mnuFile, nullptr, nullptr},
        {&mnuExit, &mnuFile, "E&xit", &TwndMain::mnuExitClick},
        {&mnuDelete, &mnuEdit, "&Delete", &TwndMain::mnuDeleteClick},
        {&mnuAllDelete, &mnuEdit, "All Delete(&L)", &TwndMain::mnuAllDeleteLClick},
        {&mnuSearch, &mnuEdit, "Search(&R)", &TwndMain::mnuSearchClick},
        {&mnuNetwork, &mnuSetup, "&Network...", &TwndMain::mnuNetworkClick},
        {&mnuInfomation, &mnuSetup, "&Infomation...", &TwndMain::mnuInfomationClick},
        {&mnuDate, &mnuSetup, "Date(&T)...", &TwndMain::mnuDateClick},
        {&mnuHelp, &mnuHelp1, "&Help...", &TwndMain::mnuHelpClick},
        {&mnuAbout, &mnuHelp1, "&About...", &TwndMain::mnuAboutClick},
    };
    for (const Command& c : commands) {
        if (c.Menu == nullptr) {
            (*c.Parent)->addSeparator();
            continue;
        }
        *c.Menu = (*c.Parent)->addAction(c.Caption);
        connect(*c.Menu, &QAction::triggered, this, c.Handler);
    }

    struct Button {
        QAction** Action;
        QStyle::StandardPixmap Icon;
        const char* Tip;
        void (TwndMain::*Handler)();
    };
    ToolBarMain = addToolBar("Main");
    ToolBarMain->setMovable(false);
    ToolBarMain->setIconSize(QSize(16, 16));
    const Button buttons[] = {
        {&TBOpen, QStyle::SP_DialogOpenButton, "Open", &TwndMain::mnuOpenClick},
        {&TBSave, QStyle::SP_DialogSaveButton, "Save", &TwndMain::mnuSaveClick},
        {nullptr, QStyle::SP_CustomBase, nullptr, nullptr},
        {&TBSearch, QStyle::SP_FileDialogContentsView, "Search", &TwndMain::mnuSearchClick},
        {&TBDelete, QStyle::SP_TrashIcon, "Delete", &TwndMain::mnuDeleteClick},
        {nullptr, QStyle::SP_CustomBase, nullptr, nullptr},
        {&TBNetwork, QStyle::SP_DriveNetIcon, "Network", &TwndMain::mnuNetworkClick},
        {&TBInfo, QStyle::SP_FileDialogInfoView, "Information", &TwndMain::mnuInfomationClick},
        {&TBDate, QStyle::SP_BrowserReload, "Date", &TwndMain::mnuDateClick},
        {nullptr, QStyle::SP_CustomBase, nullptr, nullptr},
        {&TBHelp, QStyle::SP_DialogHelpButton, "Help", &TwndMain::mnuHelpClick},
    };
    for (const Button& b : buttons) {
        if (b.Action == nullptr) {
            ToolBarMain->addSeparator();
            continue;
        }
        *b.Action = ToolBarMain->addAction(style()->standardIcon(b.Icon), b.Tip);
        (*b.Action)->setCheckable(true);  // shown pressed while its command runs
        connect(*b.Action, &QAction::triggered, this, b.Handler);
    }
}

void TwndMain::SetDialogs(TwndSearch* search, TwndInfo* info, TwndDate* date, TwndSetup* setup, TAboutDlg* about) {
    wndSearch = search;
    wndInfo = info;
    wndDate = date;
    wndSetup = setup;
    AboutDlg = about;
}

void TwndMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TwndMain::FormShow() {
    grdDevice->setHorizontalHeaderLabels({kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3]});
    for (int c = 0; c < grdDevice->columnCount(); ++c) grdDevice->setColumnWidth(c, kColumnWidths[c]);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    UpdateMenus();
}

int TwndMain::RunDialog(QDialog* dialog) { return dialog != nullptr ? ExecDialog(dialog) : QDialog::Rejected; }

void TwndMain::RefreshGrid() {
    // The rows are copied out under the table's lock; the worker may be
    // merging answers meanwhile.
    const std::vector<GridRow> rows = Table.GridRows();
    const int count = static_cast<int>(rows.size());
    const QSignalBlocker quiet(grdDevice);
    grdDevice->clearContents();
    grdDevice->setRowCount(count < MIN_DATA_ROWS + 1 ? MIN_DATA_ROWS : count);
    for (int i = 0; i < count; ++i) {
        const GridRow& r = rows[static_cast<size_t>(i)];
        const QString cells[4] = {Latin1(r.MODEL, 256), Latin1(r.TARCID, 3), Latin1(r.SERIAL, 10), Latin1(r.IPADRM, 15)};
        for (int c = 0; c < 4; ++c) grdDevice->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    grdDevice->setCurrentCell(0, 0);
    grdDevice->selectRow(0);
    Table.SelectedRow = 1 <= count ? 0 : NO_ROW;
}

void TwndMain::grdDeviceSelectCell(int gridRow) {
    Table.SelectedRow = gridRow >= 1 && gridRow <= Table.Count() ? gridRow - 1 : NO_ROW;
    UpdateMenus();
}

void TwndMain::UpdateMenus() {
    const bool selected = Table.SelectedRow != NO_ROW;
    for (QAction* a : {mnuDelete, mnuNetwork, mnuInfomation, mnuDate, TBDelete, TBNetwork, TBInfo, TBDate})
        a->setEnabled(selected);
}

void TwndMain::SetFileCaption(bool modified) {
    Modified = modified;
    setWindowTitle(QString("%1 - %2%3").arg(kTitle, QFileInfo(FilePath).fileName(), modified ? "*" : ""));
}

void TwndMain::MarkModified() {
    if (FileNamed == 1) SetFileCaption(true);
}

void TwndMain::mnuSearchClick() {
    TBSearch->setChecked(true);
    Mode = 1;
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
}

void TwndMain::timMainTimer() {
    timMain.stop();
    if (Mode != 1) return;
    if (Table.TakeChanges() & (CHG_DEVICE | CHG_NETWORK)) {
        Table.UpdateChangeMask(CHG_DEVICE, true, false);
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
    if (waiting) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

void TwndMain::mnuDateClick() {
    TBDate->setChecked(true);
    if (Table.SelectedRow == NO_ROW) {
        TBDate->setChecked(false);
        return;
    }
    SetWaitingForDate(true);
    repaint();
    Control.RequestQuery(Table.SelectedRow, KIND_DATE);
    Mode = 2;
    DateWaitTicks = 0;
    timDateResp.setInterval(10);
    timDateResp.start();
}

void TwndMain::timDateRespTimer() {
    timDateResp.stop();
    if (Mode != 2) {
        TBDate->setChecked(false);
        return;
    }
    if (Table.RowStatus(Table.SelectedRow) == STATUS_ACK) {
        Mode = 0;
        SetWaitingForDate(false);
        RunDialog(wndDate);
        TBDate->setChecked(false);
        return;
    }
    if (++DateWaitTicks < 1000) {
        timDateResp.start();
        return;
    }
    SetWaitingForDate(false);
    ShowMessageId(MSG_NO_ANSWER, mtWarning, mbOK);
    Mode = 0;
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
    TBDelete->setChecked(true);
    Table.DeleteRow(Table.SelectedRow + 1);
    RefreshGrid();
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

// A file that cannot be read, or is no device file, is not opened: the list,
// the current file and the caption stay as they were.
void TwndMain::mnuOpenClick() {
    TBOpen->setChecked(true);
    const QString path = AskToSaveChanges() ? AskOpenPath(QString::fromStdString(Files.DataDir())) : QString();
    if (path.isEmpty()) {
        TBOpen->setChecked(false);
        return;
    }
    const DeviceFileRead read = Files.ReadDeviceFile(LocalPath(path));
    if (read.Outcome != DeviceFileOutcome::Read) {
        const bool unreadable = read.Outcome == DeviceFileOutcome::CannotRead;
        ShowMessageText(FileMessage(unreadable ? MSG_OPEN_UNREADABLE : MSG_OPEN_FOREIGN, path,
                                    QString::fromStdString(read.Reason)),
                        mtWarning, mbOK);
        TBOpen->setChecked(false);
        return;
    }
    if (Table.ChangeMask() & CHG_DEVICE) Table.UpdateChangeMask(CHG_DEVICE, true, false);
    Table.TakeChanges();
    RefreshGrid();
    UpdateMenus();
    FilePath = path;
    FileNamed = 1;
    LeftOutOnOpen = read.LeftOut;
    SetFileCaption(false);
    if (read.LeftOut > 0) ShowMessageText(FileMessage(MSG_OPEN_LEFT_OUT, path, {}, read.LeftOut), mtWarning, mbOK);
    TBOpen->setChecked(false);
}

// A save that fails keeps the "*" and says which file was not written.  Over
// a file whose devices did not all fit in the list, it asks first.
bool TwndMain::SaveTo(const QString& path) {
    if (LeftOutOnOpen > 0 && path == FilePath &&
        ShowMessageText(FileMessage(MSG_SAVE_FEWER, path, {}, LeftOutOnOpen), mtConfirmation, mbYes | mbNo) != mrYes)
        return false;
    const FileSave saved = SaveDeviceFile(Table, LocalPath(path));
    if (!saved.Saved) {
        ShowMessageText(FileMessage(MSG_SAVE_FAILED, path), mtWarning, mbOK);
        return false;
    }
    LeftOutOnOpen = 0;
    FilePath = path;
    FileNamed = 1;
    SetFileCaption(false);
    return true;
}

bool TwndMain::SaveCurrent() {
    if (FileNamed != 1) {
        const QString path = AskSavePath(QString::fromStdString(Files.DataDir()));
        return !path.isEmpty() && SaveTo(path);
    }
    TBSave->setChecked(true);
    const bool saved = SaveTo(FilePath);
    TBSave->setChecked(false);
    return saved;
}

void TwndMain::mnuSaveClick() { SaveCurrent(); }

void TwndMain::mnuSaveAsClick() {
    TBSave->setChecked(false);
    const QString path = AskSavePath(QString::fromStdString(Files.DataDir()));
    if (!path.isEmpty()) SaveTo(path);
}

// True when the list may go: it has no unsaved change, or the user saved it
// or let it go.  Search and All Delete do not come here: the list stays to save.
bool TwndMain::AskToSaveChanges() {
    if (FileNamed != 1 || !Modified) return true;
    switch (ShowMessageText(FileMessage(MSG_SAVE_CHANGES, QFileInfo(FilePath).fileName()), mtConfirmation,
                            mbSave | mbDiscard | mbCancel)) {
        case mrSave: return SaveCurrent();
        case mrDiscard: return true;
        default: return false;
    }
}

void TwndMain::mnuExitClick() { close(); }

void TwndMain::closeEvent(QCloseEvent* event) {
    if (AskToSaveChanges()) event->accept();
    else event->ignore();
}

void TwndMain::mnuHelpClick() {
    TBHelp->setChecked(false);
    OpenHelp(QString::fromStdString(Files.HelpDir()), QLocale::system().language(),
             ManualPaths(QString::fromStdString(ExecutableDir())));
    TBHelp->setChecked(false);
}

void TwndMain::mnuAboutClick() { RunDialog(AboutDlg); }
