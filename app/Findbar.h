// The filter field above the device grid: Ctrl+F goes to it, Esc empties it,
// and what it holds narrows the grid's rows.
#pragma once

#include <QLineEdit>
#include <QWidget>

#include "app/Devicegrid.h"

class TFindBar : public QWidget {
    Q_OBJECT
public:
    // Lays the field out above the grid, which it takes as its child.
    TFindBar(TDeviceGrid* grid, QWidget* parent);

    QLineEdit* edtFilter = nullptr;

signals:
    // The grid's rows were narrowed or widened.
    void Filtered();
};
