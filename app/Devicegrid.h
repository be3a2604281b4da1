// The device grid: one row per device, sortable by any column, with the
// conflict marks; each row knows its device by MAC, so a sorted grid still
// leads to the right device.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTableWidget>
#include <vector>

#include "link/Table.h"

class TDeviceGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TDeviceGrid(QWidget* parent);

    // The headings and the column widths, for the font the grid has now.
    void SetHeadings();
    // The wire keys of the shown columns, in their order; SetShownKeys keeps
    // the known ones, and the four drawn columns when none is left.
    QStringList ShownKeys() const;
    void SetShownKeys(const QStringList& keys);
    // Hides every device row whose shown cells, MAC and location all lack the
    // text (letter case aside); an empty text shows them all.
    void SetFilter(const QString& text);
    int ShownCount() const;
    // "Devices: N", or "Devices: shown of N" while a filter is set.
    QString CountText(int total) const;
    // The 0-based row of the device when the filter shows it, else the first
    // shown row with a device, or -1.
    int ShownRowOf(const QByteArray& mac) const;
    int FirstShown() const;
    // The selected shown rows as tab-separated text under a heading line, in
    // the shown columns; Copy puts it on the clipboard.
    QString SelectedText() const;
    void Copy() const;
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

signals:
    // The shown columns changed; the rows need filling.
    void ColumnsChanged();

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SortRows();
    void ApplyFilter();
    void ColumnMenu(const QPoint& at);
    size_t MarkConflicts(const TmTable& table);

    int SortColumn = -1;  // none: the table's own order
    Qt::SortOrder SortOrder = Qt::AscendingOrder;
    std::vector<int> Shown;  // indexes into the column table, in its order
    QString Filter;
};
