#include "ui/Frmdate.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <cstring>

#include "ui/Fit.h"
#include "rules/Datenow.h"
#include "ui/Msgbox.h"
#include "rules/Setvalues.h"

namespace {
const char* const kLabels[DATE_EDITS] = {QT_TRANSLATE_NOOP("TwndDate", "&YMD:  "), ". ", ". ",
                                         QT_TRANSLATE_NOOP("TwndDate", "&HM:   "), ": ",
                                         QT_TRANSLATE_NOOP("TwndDate", "&GMT(+): ")};
// What a screen reader calls each edit: the labels name only a line.
const char* const kNames[DATE_EDITS] = {
    QT_TRANSLATE_NOOP("TwndDate", "Year"), QT_TRANSLATE_NOOP("TwndDate", "Month"),  QT_TRANSLATE_NOOP("TwndDate", "Day"),
    QT_TRANSLATE_NOOP("TwndDate", "Hour"), QT_TRANSLATE_NOOP("TwndDate", "Minute"), QT_TRANSLATE_NOOP("TwndDate", "GMT offset")};
const char* const kWidest[DATE_EDITS] = {"8888", "88", "88", "88", "88", "-12"};
}  // namespace

TwndDate::TwndDate(TmTable& table, TtskCtrl& control, QWidget* parent) : TSetDialog(table, control, parent) {
    setWindowTitle(tr("Date Setup"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    GroupBox1 = new QGroupBox(tr("Time"), this);
    auto* grid = new QGridLayout(GroupBox1);
    // Year, month, day on the first line; hour and minute on the second; GMT
    // below.  The first label of a line stands in a column of its own; the
    // rest of the line follows at even spaces.
    const int line[DATE_EDITS] = {0, 0, 0, 1, 1, 2};
    QHBoxLayout* lines[3];
    for (int l = 0; l < 3; ++l) {
        lines[l] = new QHBoxLayout;
        grid->addLayout(lines[l], l, 1);
    }
    for (int i = 0; i < DATE_EDITS; ++i) {
        Edit[i] = new QLineEdit(GroupBox1);
        Edit[i]->setMaxLength(EditLength(KIND_DATE, DateKeys[i]));
        Edit[i]->setAttribute(Qt::WA_InputMethodEnabled, false);
        FitEdit(Edit[i], kWidest[i]);
        auto* label = new QLabel(tr(kLabels[i]), GroupBox1);
        label->setBuddy(Edit[i]);
        Edit[i]->setAccessibleName(tr(kNames[i]));
        if (i == 0 || line[i] != line[i - 1]) grid->addWidget(label, line[i], 0);
        else lines[line[i]]->addWidget(label);
        lines[line[i]]->addWidget(Edit[i]);
    }
    btnNow = new QPushButton(tr("This computer's &time"), GroupBox1);
    // Room on either side of the text, as the other buttons have.
    btnNow->setMinimumWidth(btnNow->fontMetrics().horizontalAdvance(btnNow->text()) + Scaled(this, 24));
    lines[2]->addSpacing(Scaled(this, 8));
    lines[2]->addWidget(btnNow);
    for (QHBoxLayout* l : lines) l->addStretch();
    chkAll = new QCheckBox(tr("Send to &All Devices"), GroupBox1);
    grid->addWidget(chkAll, 3, 0, 1, 2);
    btnOk = new QPushButton(tr("OK(&O)"), this);
    btnOk->setDefault(true);
    btnCance = new QPushButton(tr("Cancel(&C)"), this);
    auto* body = new QVBoxLayout;
    body->addWidget(GroupBox1);
    LayOutDialog(this, body, btnOk, btnCance, lblWait);
    connect(btnOk, &QPushButton::clicked, this, &TwndDate::btnOkClick);
    connect(btnCance, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnNow, &QPushButton::clicked, this, &TwndDate::btnNowClick);
}

void TwndDate::btnNowClick() {
    const NowEdits now = EditsOfNow(Clock);
    if (!now.Ok) {
        ShowMessageText(tr("This computer's offset from UTC, %1, is not whole hours, which the devices "
                                "cannot keep. Please type the date, the time and the offset.")
                            .arg(QString::fromStdString(now.Offset)),
                        mtWarning, mbOK);
        return;
    }
    // In the device's own form: "07" where it shows "07", "+0" where it shows "+9".
    TDeviceRec r{};
    Table.CopyRow(Table.SelectedRow, r);
    const auto held = SplitDateText(r.YMDHM);
    const std::string_view gmt = FieldText(r.GMT);
    for (int i = 0; i < DATE_EDITS; ++i) {
        QString text = QString::fromStdString(now.Edits[static_cast<size_t>(i)]);
        const QString form = i < 5 ? QString::fromLatin1(held[static_cast<size_t>(i)].c_str())
                                   : QString::fromLatin1(gmt.data(), static_cast<qsizetype>(gmt.size()));
        if (i < 5 && form.size() > text.size() && form.size() <= Edit[i]->maxLength()) {
            text = text.rightJustified(static_cast<int>(form.size()), QLatin1Char('0'));
        } else if (i == DATE_GMT && form.startsWith('+') && text.front().isDigit()) {
            text.prepend('+');
        }
        Edit[i]->setText(text);
    }
}

void TwndDate::FormShow() {
    // A date meant for one device must never go to all of them by a tick left
    // from an earlier time.
    chkAll->setChecked(false);
    for (int i = 0; i < DATE_EDITS; ++i)
        if (!Edit[i]->validator())
            Edit[i]->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QString::fromStdString(EditPattern(KIND_DATE, DateKeys[i]))), Edit[i]));
    if (Table.SelectedRow != NO_ROW) FillDate(Table.SelectedRow);
}

void TwndDate::FillDate(int row) {
    TDeviceRec r{};
    if (!Table.CopyRow(row, r)) return;
    const auto parts = SplitDateText(r.YMDHM);
    for (int i = 0; i < 5; ++i) Edit[i]->setText(QString::fromLatin1(parts[static_cast<size_t>(i)].c_str()));
    const std::string_view gmt = FieldText(r.GMT);
    Edit[DATE_GMT]->setText(QString::fromLatin1(gmt.data(), static_cast<qsizetype>(gmt.size())));
}

bool TwndDate::ValidateDate() {
    TDeviceRec row{};
    Table.CopyRow(Table.SelectedRow, row);
    SetValues values;
    for (int i = 0; i < DATE_EDITS; ++i) values[DateKeys[i]] = Edit[i]->text().toLatin1().toStdString();
    const SetVerdict v = CheckSet(KIND_DATE, values, row);
    if (v.Outcome != SetOutcome::Ready) {
        // Only the first failure, with the focus on its edit.
        const SetProblem& first = v.Problems.front();
        for (int i = 0; i < DATE_EDITS; ++i)
            if (first.Key == DateKeys[i]) Edit[i]->setFocus();
        ShowMessageText(QString::fromLatin1(first.Text.c_str()), mtWarning, mbOK);
        return false;
    }
    Checked = v.Edit;
    DateText = FieldText(Checked.YMDHM);
    return true;
}

bool TwndDate::SendDate(int row) {
    if (!ValidateDate()) return false;
    Table.EditRec = Checked;
    if (chkAll->isChecked() &&
        ShowMessageText(tr("This sets the date of every device on the network, the %1 in the list among them. "
                           "Send it to all devices?")
                            .arg(Table.Count()),
                        mtConfirmation, mbYes | mbNo) != mrYes)
        return false;
    const bool requested = Control.RequestSet(row, KIND_DATE, chkAll->isChecked());
    if (requested && chkAll->isChecked()) {
        accept();  // a SET to all is not waited for
        return true;
    }
    BeginWait(requested);  // a refused request, to one or to all, is reported at once
    return true;
}

void TwndDate::btnOkClick() { SendDate(Table.SelectedRow); }

void TwndDate::Acknowledged() { accept(); }

QList<QWidget*> TwndDate::WaitControls() const { return {GroupBox1, btnOk, btnCance}; }
