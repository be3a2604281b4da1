#include "app/Frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <arpa/inet.h>

#include <map>

#include "rules/Conflicts.h"
#include "ui/Frmaboutdlg.h"
#include "ui/Frmdate.h"
#include "ui/Frminfo.h"
#include "ui/Frmsearch.h"
#include "ui/Fit.h"
#include "ui/Frmsetup.h"
#include "ui/Icons.h"
#include "ui/Msgbox.h"
#include "rules/Netcheck.h"
#include "files/Plancsv.h"
#include "rules/Strings.h"
#include "files/Windowplace.h"

namespace {
const char* const kHeadings[4] = {"Device Name", "T-ARC ID", "Serial", "IP Address(M)"};
const int kColumnWidths[4] = {130, 70, 60, 112};
constexpr int MIN_DATA_ROWS = 23;  // with the heading, 24 rows
const QString kFilter = QStringLiteral("Device file(*.dat);;All files(*.*)");
const QString kTitle = QStringLiteral("Tarnel");

constexpr int IP_COLUMN = 3;
constexpr int MAC_ROLE = Qt::UserRole;  // on the first cell of a device's row
constexpr int STATUS_MS = 1000;
const int kDrawnSize[2] = {404, 432};

QString Latin1(const char* text, int width) {
    return QString::fromLatin1(text, static_cast<int>(strnlen(text, static_cast<size_t>(width))));
}

// Addresses sort by their value, not by their text: 10.0.0.9 before 10.0.0.10.
// A text that is no address sorts after every address.
uint64_t AddressKey(const QString& text) {
    const uint32_t a = ParseIpText(text.toStdString());
    return a == INADDR_NONE ? (uint64_t{1} << 32) : ntohl(a);
}

class GridItem : public QTableWidgetItem {
public:
    GridItem(const QString& text, bool address) : QTableWidgetItem(text), Address(address) {}
    bool operator<(const QTableWidgetItem& other) const override {
        if (Address) {
            const uint64_t mine = AddressKey(text()), theirs = AddressKey(other.text());
            if (mine != theirs) return mine < theirs;
        }
        return text() < other.text();
    }

private:
    bool Address;
};

// A message about a file; the name goes in last, so one that holds "%r" or
// "%n" stays as it is.
QString FileMessage(int id, const QString& file, const QString& reason = {}, size_t count = 0) {
    return QString::fromLatin1(MessageText(id))
        .replace("%r", reason)
        .replace("%n", QString::number(count))
        .replace("%s", file);
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString AskSaveName(QWidget* parent, const QString& dir, const QString& filter, const char* suffix) {
    QFileDialog dialog(parent, QString(), dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
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
    AskSavePath = [this](const QString& dir) { return AskSaveName(this, dir, kFilter, "dat"); };
    AskCsvPath = [this](const QString& dir) {
        return AskSaveName(this, dir, QStringLiteral("CSV file(*.csv);;All files(*.*)"), "csv");
    };

    setWindowTitle(kTitle);
    QFont f = font();
    f.setPointSizeF(9);  // 12 pixels at 96 dpi, more on a denser screen
    setFont(f);
    BuildGrid();
    BuildMenusAndToolBar();

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
    timStatus.setSingleShot(true);
    timStatus.setInterval(STATUS_MS);
    connect(&timStatus, &QTimer::timeout, this, &TwndMain::timStatusTimer);
    timStatusTimer();
}

void TwndMain::BuildGrid() {
    grdDevice = new QTableWidget(MIN_DATA_ROWS, 4, this);
    grdDevice->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDevice->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDevice->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDevice->verticalHeader()->hide();
    grdDevice->verticalHeader()->setDefaultSectionSize(
        std::max(Scaled(this, 16), grdDevice->fontMetrics().height() + 2));
    // The last column takes whatever width the window gives beyond the others.
    grdDevice->horizontalHeader()->setStretchLastSection(true);
    grdDevice->horizontalHeader()->setSectionsClickable(true);
    connect(grdDevice->horizontalHeader(), &QHeaderView::sectionClicked, this, &TwndMain::SortBy);
    setCentralWidget(grdDevice);
    connect(grdDevice, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { grdDeviceSelectCell(row + 1); });
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
        {&mnuExportCsv, &mnuFile, "&Export CSV...", &TwndMain::mnuExportCsvClick},
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
        const char* Theme;    // the freedesktop name
        const char* BuiltIn;  // the program's own icon where the desktop has none
        const char* Tip;
        void (TwndMain::*Handler)();
    };
    ToolBarMain = addToolBar("Main");
    ToolBarMain->setMovable(false);
    const int icon = Scaled(this, 16);
    ToolBarMain->setIconSize(QSize(icon, icon));
    const Button buttons[] = {
        {&TBOpen, "document-open", "document-open", "Open", &TwndMain::mnuOpenClick},
        {&TBSave, "document-save", "document-save", "Save", &TwndMain::mnuSaveClick},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {&TBSearch, "edit-find", "edit-find", "Search", &TwndMain::mnuSearchClick},
        {&TBDelete, "edit-delete", "edit-delete", "Delete", &TwndMain::mnuDeleteClick},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {&TBNetwork, "preferences-system-network", "network", "Network", &TwndMain::mnuNetworkClick},
        {&TBInfo, "dialog-information", "information", "Information", &TwndMain::mnuInfomationClick},
        {&TBDate, "x-office-calendar", "calendar", "Date", &TwndMain::mnuDateClick},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {&TBHelp, "help-contents", "help-contents", "Help", &TwndMain::mnuHelpClick},
    };
    for (const Button& b : buttons) {
        if (b.Action == nullptr) {
            ToolBarMain->addSeparator();
            continue;
        }
        *b.Action = ToolBarMain->addAction(ThemedIcon(b.Theme, b.BuiltIn), b.Tip);
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
    if (!Placed) RestorePlace();
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TwndMain::FormShow() {
    grdDevice->setHorizontalHeaderLabels({kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3]});
    // Wider than drawn only where a larger font needs it for the heading and
    // its sort mark.
    const QHeaderView* header = grdDevice->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int mark = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    for (int c = 0; c < grdDevice->columnCount(); ++c) {
        const int heading = header->fontMetrics().horizontalAdvance(kHeadings[c]) + 3 * margin + mark;
        grdDevice->setColumnWidth(c, std::max(Scaled(this, kColumnWidths[c]), heading));
    }
    UpdateMenus();
}

// The first run opens at the drawn size, centred; later runs where the last
// one ended.
void TwndMain::RestorePlace() {
    Placed = true;
    const std::optional<WindowPlace> place = ReadWindowPlace(Files.SettingsPath());
    // A place on a screen that is no longer there would hide the window.
    const bool onScreen = place && QGuiApplication::screenAt(QPoint(place->Left, place->Top)) != nullptr;
    if (!onScreen) {
        resize(Scaled(this, kDrawnSize[0]), Scaled(this, kDrawnSize[1]));
        if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
        return;
    }
    setGeometry(place->Left, place->Top, place->Width, place->Height);
    if (place->Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TwndMain::SavePlace() {
    // A maximised window keeps the size it will return to.
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    WriteWindowPlace(Files.SettingsPath(), {normal.x(), normal.y(), normal.width(), normal.height(), isMaximized()});
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
        for (int c = 0; c < 4; ++c) grdDevice->setItem(i, c, new GridItem(cells[c], c == IP_COLUMN));
        grdDevice->item(i, 0)->setData(MAC_ROLE, QByteArray(r.MAC, MAC_LEN));
    }
    MarkConflicts();
    SortRows();  // a new search keeps the chosen order
    grdDevice->setCurrentCell(0, 0);
    grdDevice->selectRow(0);
    grdDeviceSelectCell(1);
    stsCount->setText(QString("Devices: %1").arg(count));
}

// Marks are advice: a flagged device is set up as any other, which is how
// its conflict gets fixed.
void TwndMain::MarkConflicts() {
    const std::vector<TDeviceRec> rows = Table.Rows();
    const auto problems = TableConflicts(Table, LocalSubnets());
    std::map<QByteArray, QString> reasons;
    for (size_t i = 0; i < rows.size(); ++i)
        if (!problems[i].empty()) {
            QString text;
            for (const std::string& p : problems[i]) text += (text.isEmpty() ? "" : "\n") + QString::fromLatin1(p.c_str());
            reasons[QByteArray(rows[i].MAC, MAC_LEN)] = text;
        }
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int i = 0; i < grdDevice->rowCount(); ++i) {
        QTableWidgetItem* first = grdDevice->item(i, 0);
        if (first == nullptr) continue;
        const auto it = reasons.find(first->data(MAC_ROLE).toByteArray());
        first->setIcon(it != reasons.end() ? icon : QIcon());
        first->setToolTip(it != reasons.end() ? it->second : QString());
    }
    const size_t flagged = CountFlagged(problems);
    // Short enough for the status bar of the window's first size; the reasons
    // are in each marked row's tooltip.
    stsProblems->setText(flagged == 0 ? QString() : QString("Flagged: %1").arg(flagged));
    stsProblems->setToolTip(flagged == 0 ? QString() : QString("Point at a marked row to see why it is flagged."));
}

void TwndMain::SortRows() {
    if (SortColumn < 0) return;
    grdDevice->horizontalHeader()->setSortIndicatorShown(true);
    grdDevice->horizontalHeader()->setSortIndicator(SortColumn, SortOrder);
    // Rows without a device have no cells and stay below the devices.
    grdDevice->sortItems(SortColumn, SortOrder);
}

void TwndMain::SortBy(int column) {
    if (column == SortColumn) SortOrder = SortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else SortOrder = Qt::AscendingOrder;
    SortColumn = column;
    {
        const QSignalBlocker quiet(grdDevice);
        SortRows();  // the picked row moves with its device
    }
    grdDeviceSelectCell(grdDevice->currentRow() + 1);
}

// The selection is the device on the grid row, found by its MAC: with the
// grid sorted, grid row r need not show table row r - 1.
void TwndMain::grdDeviceSelectCell(int gridRow) {
    const QTableWidgetItem* first = gridRow >= 1 ? grdDevice->item(gridRow - 1, 0) : nullptr;
    const QByteArray mac = first != nullptr ? first->data(MAC_ROLE).toByteArray() : QByteArray();
    Table.SelectedRow = mac.size() == MAC_LEN ? Table.FindRow(mac.constData()) : NO_ROW;
    if (Table.SelectedRow < 0) Table.SelectedRow = NO_ROW;
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
    stsCount->setText(QString("Devices: %1").arg(Table.Count()));
    const TQmx42* worker = Control.Worker();
    // While the worker waits to reopen the link, the link is down.
    const bool down = worker != nullptr && worker->State() == ST_WAIT;
    stsLink->setText(down ? QString::fromLocal8Bit(worker->LastFailure().c_str()) : QString());
    timStatus.start();
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
    const DeviceFileRead read = LoadDeviceFile(Table, LocalPath(path));
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

void TwndMain::mnuExportCsvClick() {
    const QString path = AskCsvPath(QString::fromStdString(Files.DataDir()));
    if (path.isEmpty()) return;
    const std::string csv = PlanCsv(Table.Rows());
    const FileSave saved = ReplaceFile(LocalPath(path), {reinterpret_cast<const uint8_t*>(csv.data()), csv.size()});
    if (!saved.Saved)
        ShowMessageText(QString("Cannot export to %1: %2.").arg(path, QString::fromStdString(saved.Reason)), mtWarning,
                        mbOK);
}

void TwndMain::mnuSaveAsClick() {
    // No button shows pressed while a name is asked for, also when Save came here.
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

// The place is kept only when the window really closes.
void TwndMain::closeEvent(QCloseEvent* event) {
    if (!AskToSaveChanges()) {
        event->ignore();
        return;
    }
    SavePlace();
    event->accept();
}

void TwndMain::mnuHelpClick() {
    // Help is never shown pressed: the click that checked the button is undone
    // at once, and again once the viewer has been asked for.
    TBHelp->setChecked(false);
    OpenHelp(QString::fromStdString(Files.HelpDir()), QLocale::system().language(),
             ManualPaths(QString::fromStdString(ExecutableDir())));
    TBHelp->setChecked(false);
}

void TwndMain::mnuAboutClick() { RunDialog(AboutDlg); }
