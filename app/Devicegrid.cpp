#include "app/Devicegrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QStyle>
#include <QToolTip>
#include <arpa/inet.h>

#include <map>

#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "rules/Conflicts.h"
#include "rules/Netcheck.h"
#include "ui/Fit.h"
#include "ui/Language.h"

namespace {
constexpr int MIN_DATA_ROWS = 23;  // with the heading, 24 rows

constexpr int MAC_ROLE = Qt::UserRole;  // on the first cell of a device's row
constexpr int REASONS_ROLE = Qt::UserRole + 1;  // on every cell of a flagged row
constexpr int LOC_ROLE = Qt::UserRole + 2;  // on the first cell: found by the filter even when not shown

enum class Order { Text, Number, Address };

struct Column {
    int Key;
    const char* Heading;
    int Width;  // drawn, at 96 dpi
    Order Sort;
};
// The first four are the drawn grid, shown by default; the menu offers them all.
const Column kColumns[] = {
    {KEY_MODEL, QT_TRANSLATE_NOOP("TDeviceGrid", "Device Name"), 130, Order::Text},
    {KEY_TARCID, QT_TRANSLATE_NOOP("TDeviceGrid", "T-ARC ID"), 70, Order::Number},
    {KEY_SERIAL, QT_TRANSLATE_NOOP("TDeviceGrid", "Serial"), 60, Order::Number},
    {KEY_IPADRM, QT_TRANSLATE_NOOP("TDeviceGrid", "IP Address(M)"), 112, Order::Address},
    {KEY_MAC, QT_TRANSLATE_NOOP("TDeviceGrid", "MAC Address"), 125, Order::Text},
    {KEY_IPADRB, QT_TRANSLATE_NOOP("TDeviceGrid", "Backup IP"), 112, Order::Address},
    {KEY_GPID, QT_TRANSLATE_NOOP("TDeviceGrid", "Group ID"), 60, Order::Number},
    {KEY_GWAY, QT_TRANSLATE_NOOP("TDeviceGrid", "Gateway"), 112, Order::Address},
    {KEY_MASK, QT_TRANSLATE_NOOP("TDeviceGrid", "Subnet Mask"), 112, Order::Address},
    {KEY_TRAP1, QT_TRANSLATE_NOOP("TDeviceGrid", "Trap1"), 112, Order::Address},
    {KEY_TRAP2, QT_TRANSLATE_NOOP("TDeviceGrid", "Trap2"), 112, Order::Address},
    {KEY_TERM, QT_TRANSLATE_NOOP("TDeviceGrid", "Term"), 50, Order::Number},
    {KEY_LOG, QT_TRANSLATE_NOOP("TDeviceGrid", "Log"), 50, Order::Number},
    {KEY_OPTIP, QT_TRANSLATE_NOOP("TDeviceGrid", "OPT IP1"), 112, Order::Address},
    {KEY_OPTIP2, QT_TRANSLATE_NOOP("TDeviceGrid", "OPT IP2"), 112, Order::Address},
    {KEY_OPTIP3, QT_TRANSLATE_NOOP("TDeviceGrid", "OPT IP3"), 112, Order::Address},
    {KEY_OPT1, QT_TRANSLATE_NOOP("TDeviceGrid", "OPT Port1"), 70, Order::Number},
    {KEY_OPT2, QT_TRANSLATE_NOOP("TDeviceGrid", "OPT Port2"), 70, Order::Number},
    {KEY_OPT3, QT_TRANSLATE_NOOP("TDeviceGrid", "OPT Port3"), 70, Order::Number},
    {KEY_TOUT, QT_TRANSLATE_NOOP("TDeviceGrid", "Time Out"), 60, Order::Number},
    {KEY_CONT, QT_TRANSLATE_NOOP("TDeviceGrid", "Contact"), 130, Order::Text},
    {KEY_NAME, QT_TRANSLATE_NOOP("TDeviceGrid", "Name"), 130, Order::Text},
    {KEY_LOC, QT_TRANSLATE_NOOP("TDeviceGrid", "Location"), 130, Order::Text},
    {KEY_UNIQ, QT_TRANSLATE_NOOP("TDeviceGrid", "Unique ID"), 70, Order::Text},
    {KEY_YMDHM, QT_TRANSLATE_NOOP("TDeviceGrid", "Date"), 120, Order::Text},
    {KEY_GMT, QT_TRANSLATE_NOOP("TDeviceGrid", "GMT"), 50, Order::Text},
};
constexpr int COLUMN_COUNT = static_cast<int>(std::size(kColumns));
const std::vector<int> kDrawn = {0, 1, 2, 3};

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// Numbers and addresses sort by their value, not by their text: 999 before
// 10003, 10.0.0.9 before 10.0.0.10.  A text that is no number or address
// sorts after every one that is.
uint64_t ValueKey(const QString& text, Order order) {
    constexpr uint64_t NONE = uint64_t{1} << 40;
    if (order == Order::Address) {
        const uint32_t a = ParseIpText(text.toStdString());
        return a == INADDR_NONE ? NONE : ntohl(a);
    }
    bool ok = false;
    const qulonglong n = text.toULongLong(&ok);
    return ok && n < NONE ? n : NONE;
}

class GridItem : public QTableWidgetItem {
public:
    GridItem(const QString& text, Order order) : QTableWidgetItem(text), Sort(order) {}
    bool operator<(const QTableWidgetItem& other) const override {
        if (Sort != Order::Text) {
            const uint64_t mine = ValueKey(text(), Sort), theirs = ValueKey(other.text(), Sort);
            if (mine != theirs) return mine < theirs;
        }
        return text() < other.text();
    }

private:
    Order Sort;
};

// How the window names a device: by what its columns show, not by a MAC it
// never shows.
QString DeviceLabel(const TDeviceRec& r) {
    QString label = Latin1(FieldText(r.MODEL));
    if (r.SERIAL[0] != '\0') label += TDeviceGrid::tr(" (Serial %1)").arg(Latin1(FieldText(r.SERIAL)));
    return label;
}

// An empty mark as wide as the warning, so names line up whether marked or not.
QIcon NoMark(const QSize& size) {
    QPixmap blank(size);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}
}  // namespace

TDeviceGrid::TDeviceGrid(QWidget* parent) : QTableWidget(MIN_DATA_ROWS, 4, parent), Shown(kDrawn) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be selected for copying; commands act on the current one.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(std::max(Scaled(this, 16), fontMetrics().height() + 2));
    // The last column takes whatever width the window gives beyond the others.
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this, &TDeviceGrid::ColumnMenu);
    setAccessibleName(tr("Devices"));  // what a screen reader calls the grid
    setTabKeyNavigation(false);  // Tab goes on to the filter; the arrows move between rows
}

void TDeviceGrid::SetHeadings() {
    setColumnCount(static_cast<int>(Shown.size()));
    QStringList headings;
    for (int c : Shown) headings << tr(kColumns[c].Heading);
    setHorizontalHeaderLabels(headings);
    // Wider than drawn only where a larger font needs it for the heading and
    // its sort mark.
    const QHeaderView* header = horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int mark = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    for (int c = 0; c < columnCount(); ++c) {
        const int heading = header->fontMetrics().horizontalAdvance(headings[c]) + 3 * margin + mark;
        setColumnWidth(c, std::max(Scaled(this, kColumns[Shown[static_cast<size_t>(c)]].Width), heading));
    }
}

QStringList TDeviceGrid::ShownKeys() const {
    QStringList keys;
    for (int c : Shown) keys << KeyFields[kColumns[c].Key].Name;
    return keys;
}

void TDeviceGrid::SetShownKeys(const QStringList& keys) {
    std::vector<int> shown;
    for (int c = 0; c < COLUMN_COUNT; ++c)
        if (keys.contains(QString(KeyFields[kColumns[c].Key].Name))) shown.push_back(c);
    const int sorted = SortColumn >= 0 ? Shown[static_cast<size_t>(SortColumn)] : -1;
    Shown = shown.empty() ? kDrawn : shown;
    const auto still = std::find(Shown.begin(), Shown.end(), sorted);
    SortColumn = still == Shown.end() ? -1 : static_cast<int>(still - Shown.begin());
    horizontalHeader()->setSortIndicatorShown(SortColumn >= 0);
    SetHeadings();
    emit ColumnsChanged();
}

// Every field can be shown; the last shown one cannot be hidden.
void TDeviceGrid::ColumnMenu(const QPoint& at) {
    QMenu menu(this);
    for (int c = 0; c < COLUMN_COUNT; ++c) {
        QAction* a = menu.addAction(tr(kColumns[c].Heading));
        a->setCheckable(true);
        const bool shown = std::find(Shown.begin(), Shown.end(), c) != Shown.end();
        a->setChecked(shown);
        a->setEnabled(!shown || Shown.size() > 1);
        a->setData(c);
    }
    const QAction* picked = menu.exec(horizontalHeader()->mapToGlobal(at));
    if (picked == nullptr) return;
    QStringList keys = ShownKeys();
    const QString key = KeyFields[kColumns[picked->data().toInt()].Key].Name;
    if (picked->isChecked()) keys << key;
    else keys.removeAll(key);
    SetShownKeys(keys);
}

size_t TDeviceGrid::Fill(const TmTable& table) {
    // The rows are copied out under the table's lock; the worker may be
    // merging answers meanwhile.
    const std::vector<TDeviceRec> rows = table.Rows();
    const int count = static_cast<int>(rows.size());
    const QSignalBlocker quiet(this);
    clearContents();
    setRowCount(count < MIN_DATA_ROWS + 1 ? MIN_DATA_ROWS : count);
    for (int i = 0; i < count; ++i) {
        const TDeviceRec& r = rows[static_cast<size_t>(i)];
        for (int c = 0; c < columnCount(); ++c) {
            const Column& column = kColumns[Shown[static_cast<size_t>(c)]];
            setItem(i, c, new GridItem(QString::fromLatin1(PlanCell(r, column.Key).c_str()), column.Sort));
        }
        item(i, 0)->setData(MAC_ROLE, QByteArray(r.MAC, MAC_LEN));
        item(i, 0)->setData(LOC_ROLE, QString::fromLatin1(PlanCell(r, KEY_LOC).c_str()));
    }
    const size_t flagged = MarkConflicts(table);
    SortRows();  // a new search keeps the chosen order
    ApplyFilter();
    return flagged;
}

// Marks are advice: a flagged device is set up as any other, which is how
// its conflict gets fixed.
size_t TDeviceGrid::MarkConflicts(const TmTable& table) {
    const std::vector<TDeviceRec> rows = table.Rows();
    // A MAC answering from two addresses or with two serials is marked too.
    const auto problems = TableConflicts(table, LocalSubnets());
    std::map<QByteArray, QString> reasons;
    for (size_t i = 0; i < rows.size(); ++i)
        if (!problems[i].empty()) {
            QString text;
            for (const std::string& p : problems[i]) {
                const QString reason = TranslatedReason(QString::fromLatin1(p.c_str()));
                text += (text.isEmpty() ? "" : "\n") + reason;
            }
            for (const TDeviceRec& other : rows)
                text.replace(QString::fromLatin1(other.MAC, MAC_LEN), DeviceLabel(other));
            reasons[QByteArray(rows[i].MAC, MAC_LEN)] = text;
        }
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const QIcon none = NoMark(QSize(side, side));
    for (int i = 0; i < rowCount(); ++i) {
        QTableWidgetItem* first = item(i, 0);
        if (first == nullptr) continue;
        const auto it = reasons.find(first->data(MAC_ROLE).toByteArray());
        const bool marked = it != reasons.end();
        first->setIcon(marked ? icon : none);
        for (int c = 0; c < columnCount(); ++c) item(i, c)->setData(REASONS_ROLE, marked ? it->second : QString());
    }
    return CountFlagged(problems);
}

QString TDeviceGrid::TipAt(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) return {};
    // Qt's margins beside a cell's text, and the mark before the first one.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int mark = column == 0 ? style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) + 2 * margin : 0;
    const int room = visualItemRect(cell).width() - 2 * margin - mark;
    const bool cut = fontMetrics().horizontalAdvance(cell->text()) > room;
    const QString reasons = cell->data(REASONS_ROLE).toString();
    if (cut && !reasons.isEmpty()) return cell->text() + "\n\n" + reasons;
    return cut ? cell->text() : reasons;
}

bool TDeviceGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTableWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex at = indexAt(help->pos());
    const QString tip = at.isValid() ? TipAt(at.row(), at.column()) : QString();
    if (tip.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(at));
    return true;
}

void TDeviceGrid::SortRows() {
    if (SortColumn < 0) return;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(SortColumn, SortOrder);
    // Rows without a device have no cells and stay below the devices.
    sortItems(SortColumn, SortOrder);
}

void TDeviceGrid::SortBy(int column) {
    if (column == SortColumn) SortOrder = SortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else SortOrder = Qt::AscendingOrder;
    SortColumn = column;
    const QSignalBlocker quiet(this);
    SortRows();  // the picked row moves with its device
}

void TDeviceGrid::ShowPicked(int row) {
    if (currentRow() == row) return;
    const QSignalBlocker quiet(this);
    if (row >= 0) {
        setCurrentCell(row, 0);
        selectRow(row);
    } else {
        setCurrentIndex(QModelIndex());
        clearSelection();
    }
    viewport()->update();
}

int TDeviceGrid::RowOf(const QByteArray& mac) const {
    for (int r = 0; !mac.isEmpty() && r < rowCount(); ++r)
        if (MacAt(r + 1) == mac) return r;
    return -1;
}

QByteArray TDeviceGrid::MacAt(int gridRow) const {
    const QTableWidgetItem* first = gridRow >= 1 ? item(gridRow - 1, 0) : nullptr;
    const QByteArray mac = first != nullptr ? first->data(MAC_ROLE).toByteArray() : QByteArray();
    return mac.size() == MAC_LEN ? mac : QByteArray();
}

// The current row moves to a shown device, and says so like a click would.
void TDeviceGrid::SetFilter(const QString& text) {
    Filter = text.trimmed();
    ApplyFilter();
    if (currentRow() >= 0 && !isRowHidden(currentRow())) return;
    const int row = FirstShown();
    if (row >= 0) setCurrentCell(row, 0);
    else setCurrentIndex(QModelIndex());
}

void TDeviceGrid::ApplyFilter() {
    for (int r = 0; r < rowCount(); ++r) {
        const QTableWidgetItem* first = item(r, 0);
        bool match = Filter.isEmpty();
        if (!match && first != nullptr) {
            match = QString::fromLatin1(first->data(MAC_ROLE).toByteArray()).contains(Filter, Qt::CaseInsensitive) ||
                    first->data(LOC_ROLE).toString().contains(Filter, Qt::CaseInsensitive);
            for (int c = 0; !match && c < columnCount(); ++c)
                match = item(r, c) != nullptr && item(r, c)->text().contains(Filter, Qt::CaseInsensitive);
        }
        setRowHidden(r, !match);
    }
}

int TDeviceGrid::ShownCount() const {
    int shown = 0;
    for (int r = 0; r < rowCount(); ++r) shown += !isRowHidden(r) && !MacAt(r + 1).isEmpty();
    return shown;
}

QString TDeviceGrid::CountText(int total) const {
    if (Filter.isEmpty()) return tr("Devices: %1").arg(total);
    return tr("Devices: %1 of %2").arg(ShownCount()).arg(total);
}

int TDeviceGrid::ShownRowOf(const QByteArray& mac) const {
    const int row = RowOf(mac);
    return row >= 0 && !isRowHidden(row) ? row : FirstShown();
}

int TDeviceGrid::FirstShown() const {
    for (int r = 0; r < rowCount(); ++r)
        if (!isRowHidden(r) && !MacAt(r + 1).isEmpty()) return r;
    return -1;
}

QString TDeviceGrid::SelectedText() const {
    QStringList lines;
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c) cells << horizontalHeaderItem(c)->text();
    lines << cells.join('\t');
    for (int r = 0; r < rowCount(); ++r) {
        if (isRowHidden(r) || MacAt(r + 1).isEmpty() || !selectionModel()->isRowSelected(r, QModelIndex())) continue;
        cells.clear();
        // A tab or line break inside a value would split it in a spreadsheet.
        for (int c = 0; c < columnCount(); ++c)
            cells << item(r, c)->text().replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
        lines << cells.join('\t');
    }
    return lines.size() > 1 ? lines.join('\n') + '\n' : QString();
}

void TDeviceGrid::Copy() const {
    const QString text = SelectedText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void TDeviceGrid::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        Copy();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
