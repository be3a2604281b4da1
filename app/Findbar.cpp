#include "app/Findbar.h"

#include <QShortcut>
#include <QVBoxLayout>

TFindBar::TFindBar(TDeviceGrid* grid, QWidget* parent) : QWidget(parent) {
    edtFilter = new QLineEdit(this);
    edtFilter->setPlaceholderText(tr("Filter (Ctrl+F)"));
    edtFilter->setClearButtonEnabled(true);
    edtFilter->setAccessibleName(tr("Filter"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(edtFilter);
    column->addWidget(grid);
    connect(edtFilter, &QLineEdit::textChanged, this, [this, grid](const QString& text) {
        grid->SetFilter(text);
        emit Filtered();
    });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        edtFilter->setFocus(Qt::ShortcutFocusReason);
        edtFilter->selectAll();
    });
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, edtFilter, &QLineEdit::clear);
}
