#include "ui/Fit.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
constexpr int LINE_EDIT_MARGIN = 2;  // Qt's own inner margin on each side of a line edit's text
constexpr int BASE_PIXELS = 12;      // the font size the pixel lengths were drawn for
}  // namespace

void FitEdit(QLineEdit* edit, const QString& widest) {
    const QFontMetrics fm = edit->fontMetrics();
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QMargins text = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    const int cursor = edit->style()->pixelMetric(QStyle::PM_TextCursorWidth, &opt, edit) + 1;
    const int w = fm.horizontalAdvance(widest) + 2 * LINE_EDIT_MARGIN + cursor + text.left() + text.right() +
                  contents.left() + contents.right();
    const int h = fm.height() + text.top() + text.bottom();
    edit->setFixedWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(w, h), edit).width());
}

int Scaled(const QWidget* widget, int pixels) {
    const int font = QFontInfo(widget->font()).pixelSize();
    return font <= BASE_PIXELS ? pixels : pixels * font / BASE_PIXELS;
}

void OpenEdit(QLineEdit* edit, bool open) {
    edit->setEnabled(open);
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Window));
    edit->setPalette(p);
}

void LayOutDialog(QDialog* dialog, QLayout* body, QPushButton* ok, QPushButton* cancel, QWidget* note) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* whole = new QVBoxLayout(dialog);
    whole->setSizeConstraint(QLayout::SetFixedSize);
    whole->addLayout(body);
    if (note != nullptr) whole->addWidget(note);
    whole->addLayout(buttons);
}
