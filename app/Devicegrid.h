// The device grid: one row per device, sortable by any column, with the
// conflict marks; each row knows its device by MAC, so a sorted grid still
// leads to the right device.
#pragma once

#include <QByteArray>
#include <QTableWidget>
#include <vector>

#include "link/Table.h"

class TDeviceGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TDeviceGrid(QWidget* parent);

    // The headings and the column widths, for the font the grid has now.
    void SetHeadings();
    // Rebuilds the rows in the chosen order; marks them and returns how many
    // devices the conflict check flags.
    size_t Fill(const TmTable& table);
    // A click on a column heading: sorts by it, or the other way round when it
    // is already the sort column.  Only what is shown changes.
    void SortBy(int column);
    // The MAC of the device on the 1-based grid row, empty for a row without one.
    QByteArray MacAt(int gridRow) const;
    // Shows the 0-based row selected, or none for -1, without telling anyone.
    void ShowPicked(int row);
    // The 0-based row that shows the device, or -1.
    int RowOf(const QByteArray& mac) const;
    // What pointing at a cell shows: the whole text when the column cuts it,
    // and the reasons a marked row is flagged.
    QString TipAt(int row, int column) const;

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void SortRows();
    size_t MarkConflicts(const std::vector<TDeviceRec>& records);

    int SortColumn = -1;  // none: the table's own order
    Qt::SortOrder SortOrder = Qt::AscendingOrder;
};
