#include "app/Devicegrid.h"

#include <QHelpEvent>
#include <QHeaderView>
#include <QPixmap>
#include <QStyle>
#include <QToolTip>
#include <arpa/inet.h>

#include <map>

#include "rules/Conflicts.h"
#include "rules/Netcheck.h"
#include "ui/Fit.h"

namespace {
const char* const kHeadings[4] = {"Device Name", "T-ARC ID", "Serial", "IP Address(M)"};
const int kColumnWidths[4] = {130, 70, 60, 112};
constexpr int MIN_DATA_ROWS = 23;  // with the heading, 24 rows

constexpr int MAC_ROLE = Qt::UserRole;  // on the first cell of a device's row
constexpr int REASONS_ROLE = Qt::UserRole + 1;  // on every cell of a flagged row

enum class Order { Text, Number, Address };
const Order kOrders[4] = {Order::Text, Order::Number, Order::Number, Order::Address};

QString Latin1(const char* text, int width) {
    return QString::fromLatin1(text, static_cast<int>(strnlen(text, static_cast<size_t>(width))));
}

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
    QString label = Latin1(r.MODEL, 256);
    if (r.SERIAL[0] != '\0') label += QString(" (Serial %1)").arg(Latin1(r.SERIAL, 10));
    return label;
}

// An empty mark as wide as the warning, so names line up whether marked or not.
QIcon NoMark(const QSize& size) {
    QPixmap blank(size);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}
}  // namespace

TDeviceGrid::TDeviceGrid(QWidget* parent) : QTableWidget(MIN_DATA_ROWS, 4, parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(std::max(Scaled(this, 16), fontMetrics().height() + 2));
    // The last column takes whatever width the window gives beyond the others.
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
}

void TDeviceGrid::SetHeadings() {
    setHorizontalHeaderLabels({kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3]});
    // Wider than drawn only where a larger font needs it for the heading and
    // its sort mark.
    const QHeaderView* header = horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int mark = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    for (int c = 0; c < columnCount(); ++c) {
        const int heading = header->fontMetrics().horizontalAdvance(kHeadings[c]) + 3 * margin + mark;
        setColumnWidth(c, std::max(Scaled(this, kColumnWidths[c]), heading));
    }
}

size_t TDeviceGrid::Fill(const TmTable& table) {
    // The rows are copied out under the table's lock; the worker may be
    // merging answers meanwhile.
    const std::vector<GridRow> rows = table.GridRows();
    const int count = static_cast<int>(rows.size());
    const QSignalBlocker quiet(this);
    clearContents();
    setRowCount(count < MIN_DATA_ROWS + 1 ? MIN_DATA_ROWS : count);
    for (int i = 0; i < count; ++i) {
        const GridRow& r = rows[static_cast<size_t>(i)];
        const QString cells[4] = {Latin1(r.MODEL, 256), Latin1(r.TARCID, 3), Latin1(r.SERIAL, 10), Latin1(r.IPADRM, 15)};
        for (int c = 0; c < 4; ++c) setItem(i, c, new GridItem(cells[c], kOrders[c]));
        item(i, 0)->setData(MAC_ROLE, QByteArray(r.MAC, MAC_LEN));
    }
    const size_t flagged = MarkConflicts(table.Rows());
    SortRows();  // a new search keeps the chosen order
    return flagged;
}

// Marks are advice: a flagged device is set up as any other, which is how
// its conflict gets fixed.
size_t TDeviceGrid::MarkConflicts(const std::vector<TDeviceRec>& rows) {
    const auto problems = FindConflicts(rows, LocalSubnets());
    std::map<QByteArray, QString> reasons;
    for (size_t i = 0; i < rows.size(); ++i)
        if (!problems[i].empty()) {
            QString text;
            for (const std::string& p : problems[i]) text += (text.isEmpty() ? "" : "\n") + QString::fromLatin1(p.c_str());
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
