#include "ui/Frmsetup.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <cstring>

#include "ui/Fit.h"
#include "ui/Msgbox.h"
#include "link/Protocol.h"
#include "rules/Setvalues.h"
#include "rules/Strings.h"

namespace {
bool IsAddress(int row) { return NetworkFields[row].Form == EditForm::Address; }
int Width(int row) { return KeyFields[NetworkFields[row].Key].Width; }

struct GroupSpec {
    const char* Caption;
    int Column;  // 0 left, 1 right; each column from top to bottom in this order
    std::vector<int> Rows;
};

// The six boxes in tab order.
const GroupSpec kGroups[6] = {
    {"IP Address", 0, {NET_MAIN, NET_BACKUP, NET_GROUP, NET_GATEWAY, NET_MASK}},
    {"SNMP", 1, {NET_TRAP1, NET_TRAP2}},
    {"Port", 0, {NET_TERM, NET_LOG}},
    {"Option IP Port", 1, {NET_PORT1, NET_PORT2, NET_PORT3}},
    {"Time Out", 0, {NET_TIMEOUT}},
    {"Option IP Address", 1, {NET_OPTIP1, NET_OPTIP2, NET_OPTIP3}},
};
// Where each box stands in its column, top first.
const int kColumnOrder[2][3] = {{0, 2, 4}, {5, 3, 1}};

// Address edits give their masked text, dots and blanks included.
QString EditText(const QLineEdit* edit, bool address) { return address ? edit->displayText() : edit->text(); }

void Paint(QLineEdit* edit, bool enabled) {
    edit->setEnabled(enabled);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    edit->setPalette(p);
}
}  // namespace

QString MaskedAddress(const char* dotted) { return QString::fromStdString(MaskedAddressText(dotted)); }

TwndSetup::TwndSetup(TmTable& table, TtskCtrl& control, std::function<void()> refreshGrid, QWidget* parent)
    : TSetDialog(table, control, parent), RefreshGrid(std::move(refreshGrid)) {
    setWindowTitle("Network Setup");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    btnOk = new QPushButton("OK(&O)", this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton("Cancel(&C)", this);
    QWidget* previous = btnCancel;
    setTabOrder(btnOk, btnCancel);
    for (int g = 0; g < 6; ++g) {
        const GroupSpec& box = kGroups[g];
        Group[g] = new QGroupBox(box.Caption, this);
        auto* form = new QFormLayout(Group[g]);
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        for (int row : box.Rows) {
            auto* edit = new QLineEdit(Group[g]);
            edit->setAttribute(Qt::WA_InputMethodEnabled, false);
            if (IsAddress(row)) {
                edit->setInputMask("000.000.000.000; ");
                FitEdit(edit, "255.255.255.255");
            } else {
                edit->setMaxLength(NetworkFields[row].Length);
                // Room for what a device may have stored, not only for what can be typed.
                FitEdit(edit, QString(Width(row), QLatin1Char('8')));
            }
            form->addRow(new QLabel(NetworkFields[row].Label, Group[g]), edit);
            Edit[row] = edit;
            setTabOrder(previous, edit);
            previous = edit;
        }
    }
    // Two columns of boxes as drawn, the buttons below on the right.
    auto* columns = new QHBoxLayout;
    for (const auto& order : kColumnOrder) {
        auto* column = new QVBoxLayout;
        for (int g : order) column->addWidget(Group[g], static_cast<int>(kGroups[g].Rows.size()));
        columns->addLayout(column);
    }
    LayOutDialog(this, columns, btnOk, btnCancel);
    connect(btnOk, &QPushButton::clicked, this, &TwndSetup::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TwndSetup::FormShow() {
    ApplyState = APPLY_IDLE;
    // A number edit takes only what a SET may carry.
    for (int i = 0; i < NET_ROWS; ++i) {
        const std::string pattern = EditPattern(KIND_NETWORK, KeyFields[NetworkFields[i].Key].Name);
        if (!pattern.empty() && !Edit[i]->validator())
            Edit[i]->setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromStdString(pattern)), Edit[i]));
    }
    if (Table.SelectedRow != NO_ROW) FillFields(Table.SelectedRow);
}

void TwndSetup::FillFields(int row) {
    TDeviceRec r{};
    if (!Table.CopyRow(row, r)) return;
    for (int i = 0; i < NET_ROWS; ++i) {
        const int key = NetworkFields[i].Key;
        const std::string_view text = FieldText(r, key);
        const QString value = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        if (IsAddress(i)) {
            Edit[i]->setText(MaskedAddress(value.toLatin1().constData()));
        } else {
            // A stored value longer than the typing limit is shown whole.
            Edit[i]->setMaxLength(std::max(NetworkFields[i].Length, static_cast<int>(value.size())));
            Edit[i]->setText(value);
        }
        Paint(Edit[i], HasKey(r, key));
        Shown[i] = EditText(Edit[i], IsAddress(i));
    }
}

void TwndSetup::btnOkClick() {
    TDeviceRec row{};
    Table.CopyRow(Table.SelectedRow, row);
    SetValues requested;
    for (int i = 0; i < NET_ROWS; ++i) {
        const QString text = EditText(Edit[i], IsAddress(i));
        if (Edit[i]->isEnabled() && text != Shown[i])
            requested[KeyFields[NetworkFields[i].Key].Name] = text.toLatin1().toStdString();
    }
    const SetVerdict verdict = CheckSet(KIND_NETWORK, requested, row);
    if (verdict.Outcome != SetOutcome::Ready) {
        ShowMessageText(QString::fromLatin1(ProblemText(verdict).c_str()), mtWarning, mbOK);
        return;
    }
    if (ShowMessageId(MSG_REBOOT, mtInformation, mbYes | mbNo) != mrYes) return;
    Checked = verdict.Edit;
    StoreFields(Table.SelectedRow);
}

void TwndSetup::StoreFields(int row) {
    Table.EditRec = Checked;
    BeginWait(Control.RequestSet(row, KIND_NETWORK, false));
}

void TwndSetup::CommitFields(int row) {
    const TDeviceRec& sent = Table.EditRec;
    Table.EditRow(row, [&](TDeviceRec& r) {
        for (int i = 0; i < NET_ROWS; ++i) {
            const int key = NetworkFields[i].Key;
            std::memcpy(FieldOf(r, key), FieldOf(sent, key), static_cast<size_t>(Width(i)));
        }
    });
    if (RefreshGrid) RefreshGrid();
}

void TwndSetup::Acknowledged() {
    CommitFields(Table.SelectedRow);
    accept();
}

QList<QWidget*> TwndSetup::WaitControls() const {
    QList<QWidget*> list(std::begin(Group), std::end(Group));
    return list << btnOk << btnCancel;
}
