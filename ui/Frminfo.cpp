#include "ui/Frminfo.h"

#include <QFormLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <cstring>

#include "ui/Fit.h"
#include "ui/Msgbox.h"
#include "link/Protocol.h"
#include "rules/Setvalues.h"

namespace {
const int kKeys[4] = {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ};
const char* const kLabels[4] = {
    QT_TRANSLATE_NOOP("TwndInfo", "Con&tact:     "), QT_TRANSLATE_NOOP("TwndInfo", "&Name:        "),
    QT_TRANSLATE_NOOP("TwndInfo", "&Location:    "), QT_TRANSLATE_NOOP("TwndInfo", "&Unique ID:    ")};
int MaxLength(int i) { return EditLength(KIND_DEVINFO, KeyFields[kKeys[i]].Name); }
// What each edit must show whole: twenty capitals, or a three-digit number.
const char* const kWidest[4] = {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", "-88"};
}  // namespace

TwndInfo::TwndInfo(TmTable& table, TtskCtrl& control, QWidget* parent) : TSetDialog(table, control, parent) {
    setWindowTitle(tr("Infomation Setup"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    grpInfo = new QGroupBox(tr("Infomation"), this);
    auto* form = new QFormLayout(grpInfo);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (int i = 0; i < 4; ++i) {
        InfoEdits[i] = new QLineEdit(grpInfo);
        InfoEdits[i]->setMaxLength(MaxLength(i));
        FitEdit(InfoEdits[i], kWidest[i]);
        auto* label = new QLabel(tr(kLabels[i]), grpInfo);
        label->setBuddy(InfoEdits[i]);  // the edit's name for a screen reader
        form->addRow(label, InfoEdits[i]);
    }
    InfoEdits[3]->setAttribute(Qt::WA_InputMethodEnabled, false);
    btnOk = new QPushButton(tr("OK(&O)"), this);
    btnOk->setDefault(true);
    btnCance = new QPushButton(tr("Cancel(&C)"), this);
    auto* body = new QVBoxLayout;
    body->addWidget(grpInfo);
    LayOutDialog(this, body, btnOk, btnCance, lblWait);
    connect(btnOk, &QPushButton::clicked, this, &TwndInfo::btnOkClick);
    connect(btnCance, &QPushButton::clicked, this, &QDialog::reject);
}

void TwndInfo::FormShow() {
    // Nothing that cannot travel in a frame can be typed (0xFF, 0x02, 0x03, controls).
    for (int i = 0; i < 4; ++i) {
        const std::string pattern = EditPattern(KIND_DEVINFO, KeyFields[kKeys[i]].Name);
        if (!InfoEdits[i]->validator())
            InfoEdits[i]->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QString::fromStdString(pattern)), InfoEdits[i]));
    }
    if (Table.SelectedRow != NO_ROW) FillInfo(Table.SelectedRow);
}

void TwndInfo::FillInfo(int row) {
    TDeviceRec r{};
    if (!Table.CopyRow(row, r)) return;
    for (int i = 0; i < 4; ++i) {
        const std::string_view text = FieldText(r, kKeys[i]);
        const QString value = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        // A stored value longer than the typing limit is shown whole.
        InfoEdits[i]->setMaxLength(std::max(MaxLength(i), static_cast<int>(value.size())));
        InfoEdits[i]->setText(value);
        OpenEdit(InfoEdits[i], HasKey(r, kKeys[i]));
        Shown[i] = value;
    }
}

void TwndInfo::btnOkClick() {
    TDeviceRec row{};
    Table.CopyRow(Table.SelectedRow, row);
    SetValues requested;
    for (int i = 0; i < 4; ++i)
        if (InfoEdits[i]->isEnabled() && InfoEdits[i]->text() != Shown[i])
            requested[KeyFields[kKeys[i]].Name] = InfoEdits[i]->text().toLatin1().toStdString();
    const SetVerdict verdict = CheckSet(KIND_DEVINFO, requested, row);
    if (verdict.Outcome != SetOutcome::Ready) {
        ShowMessageText(QString::fromLatin1(ProblemText(verdict).c_str()), mtWarning, mbOK);
        return;
    }
    Checked = verdict.Edit;
    StoreInfo(Table.SelectedRow);
}

void TwndInfo::StoreInfo(int row) {
    Table.EditRec = Checked;
    BeginWait(Control.RequestSet(row, KIND_DEVINFO, false));
}

void TwndInfo::CommitInfo(int row) {
    const TDeviceRec& sent = Table.EditRec;
    Table.EditRow(row, [&](TDeviceRec& r) {
        for (int key : kKeys) std::memcpy(FieldOf(r, key), FieldOf(sent, key), 256);
    });
}

void TwndInfo::Acknowledged() {
    CommitInfo(Table.SelectedRow);
    accept();
}

QList<QWidget*> TwndInfo::WaitControls() const { return {grpInfo, btnOk, btnCance}; }
