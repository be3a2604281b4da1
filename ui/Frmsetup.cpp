#include "ui/Frmsetup.h"

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
struct FieldSpec {
    int Key;         // the record field
    const char* Label;
    bool Address;
    int Commit;      // characters copied back after an acknowledged SET
};

// In NetRow order.
const FieldSpec kFields[NET_ROWS] = {
    {KEY_IPADRM, QT_TRANSLATE_NOOP("TwndSetup", "Main IP:"), true, 15},
    {KEY_IPADRB, QT_TRANSLATE_NOOP("TwndSetup", "Backup IP:"), true, 15},
    {KEY_GPID, QT_TRANSLATE_NOOP("TwndSetup", "Group ID:"), false, 3},
    {KEY_GWAY, QT_TRANSLATE_NOOP("TwndSetup", "Default Gateway:"), true, 15},
    {KEY_MASK, QT_TRANSLATE_NOOP("TwndSetup", "Subnet Mask:"), true, 15},
    {KEY_TRAP1, QT_TRANSLATE_NOOP("TwndSetup", "Trap1:"), true, 15},
    {KEY_TRAP2, QT_TRANSLATE_NOOP("TwndSetup", "Trap2:"), true, 15},
    {KEY_TERM, QT_TRANSLATE_NOOP("TwndSetup", "Term:"), false, 4},
    {KEY_LOG, QT_TRANSLATE_NOOP("TwndSetup", "Log:"), false, 4},
    {KEY_OPTIP, QT_TRANSLATE_NOOP("TwndSetup", "OPT IP1:"), true, 15},
    {KEY_OPTIP2, QT_TRANSLATE_NOOP("TwndSetup", "OPT IP2:"), true, 15},
    {KEY_OPTIP3, QT_TRANSLATE_NOOP("TwndSetup", "OPT IP3:"), true, 15},
    {KEY_OPT1, QT_TRANSLATE_NOOP("TwndSetup", "OPT Port1:"), false, 4},
    {KEY_OPT2, QT_TRANSLATE_NOOP("TwndSetup", "OPT Port2:"), false, 4},
    {KEY_OPT3, QT_TRANSLATE_NOOP("TwndSetup", "OPT Port3:"), false, 4},
    {KEY_TOUT, QT_TRANSLATE_NOOP("TwndSetup", "Time Out:"), false, 5},
};

// The typing limit of a number edit.
int MaxLength(const FieldSpec& f) { return EditLength(KIND_NETWORK, KeyFields[f.Key].Name); }

struct GroupSpec {
    const char* Caption;
    int Column;  // 0 left, 1 right; each column from top to bottom in this order
    std::vector<int> Rows;
};

// The six boxes; kColumnOrder places them.
const GroupSpec kGroups[6] = {
    {QT_TRANSLATE_NOOP("TwndSetup", "&IP Address"), 0, {NET_MAIN, NET_BACKUP, NET_GROUP, NET_GATEWAY, NET_MASK}},
    {QT_TRANSLATE_NOOP("TwndSetup", "&SNMP"), 1, {NET_TRAP1, NET_TRAP2}},
    {QT_TRANSLATE_NOOP("TwndSetup", "&Port"), 0, {NET_TERM, NET_LOG}},
    {QT_TRANSLATE_NOOP("TwndSetup", "Option IP Por&t"), 1, {NET_PORT1, NET_PORT2, NET_PORT3}},
    {QT_TRANSLATE_NOOP("TwndSetup", "Ti&me Out"), 0, {NET_TIMEOUT}},
    {QT_TRANSLATE_NOOP("TwndSetup", "Option IP &Address"), 1, {NET_OPTIP1, NET_OPTIP2, NET_OPTIP3}},
};
// Where each box stands in its column, top first.
const int kColumnOrder[2][3] = {{0, 2, 4}, {5, 3, 1}};

// What an address edit takes: four dotted groups of up to three digits, as
// the fixed-place edit of earlier versions took, but shown without its blanks.
const QString kAddressPattern = QStringLiteral("[0-9]{0,3}(\\.[0-9]{0,3}){0,3}");

}  // namespace

TwndSetup::TwndSetup(TmTable& table, TtskCtrl& control, std::function<void()> refreshGrid, QWidget* parent)
    : TSetDialog(table, control, parent), RefreshGrid(std::move(refreshGrid)) {
    setWindowTitle(tr("Network Setup"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    btnOk = new QPushButton(tr("OK(&O)"), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(tr("Cancel(&C)"), this);
    for (int g = 0; g < 6; ++g) {
        const GroupSpec& box = kGroups[g];
        Group[g] = new QGroupBox(tr(box.Caption), this);
        auto* form = new QFormLayout(Group[g]);
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        for (int row : box.Rows) {
            auto* edit = new QLineEdit(Group[g]);
            edit->setAttribute(Qt::WA_InputMethodEnabled, false);
            if (kFields[row].Address) {
                edit->setMaxLength(15);
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression(kAddressPattern), edit));
                FitEdit(edit, "255.255.255.255");
            } else {
                edit->setMaxLength(MaxLength(kFields[row]));
                // Room for what a device may have stored, not only for what can be typed.
                FitEdit(edit, QString(kFields[row].Commit, QLatin1Char('8')));
            }
            auto* label = new QLabel(tr(kFields[row].Label), Group[g]);
            label->setBuddy(edit);  // the edit's name for a screen reader
            Labels[box.Column] << label;
            form->addRow(label, edit);
            Edit[row] = edit;
        }
    }
    // The edits of a column of boxes start at one line, whatever each box's labels.
    for (const QList<QLabel*>& column : Labels) {
        int widest = 0;
        for (const QLabel* l : column) widest = std::max(widest, l->sizeHint().width());
        for (QLabel* l : column) l->setMinimumWidth(widest);
    }
    // Two columns of boxes as drawn, the buttons below on the right; Tab goes
    // down the left column, down the right one, then to the buttons.
    auto* columns = new QHBoxLayout;
    QWidget* previous = nullptr;
    for (const auto& order : kColumnOrder) {
        auto* column = new QVBoxLayout;
        for (int g : order) {
            column->addWidget(Group[g], static_cast<int>(kGroups[g].Rows.size()));
            for (int row : kGroups[g].Rows) {
                if (previous != nullptr) setTabOrder(previous, Edit[row]);
                previous = Edit[row];
            }
        }
        columns->addLayout(column);
    }
    setTabOrder(previous, btnOk);
    setTabOrder(btnOk, btnCancel);
    LayOutDialog(this, columns, btnOk, btnCancel, lblWait);
    connect(btnOk, &QPushButton::clicked, this, &TwndSetup::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TwndSetup::FormShow() {
    ApplyState = 0;
    // A number edit takes only what a SET may carry.
    const std::vector<std::string> keys = SetKeyNames(KIND_NETWORK);
    for (int i = 0; i < NET_ROWS; ++i) {
        const std::string pattern = EditPattern(KIND_NETWORK, keys[static_cast<size_t>(i)]);
        if (!pattern.empty() && !Edit[i]->validator())
            Edit[i]->setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromStdString(pattern)), Edit[i]));
    }
    if (Table.SelectedRow != NO_ROW) FillFields(Table.SelectedRow);
    // Enter at once must not send unchanged values: the focus starts in the
    // first edit the device reports.
    for (const GroupSpec& box : kGroups)
        for (int row : box.Rows)
            if (Edit[row]->isEnabled()) {
                Edit[row]->setFocus();
                Edit[row]->selectAll();
                return;
            }
}

void TwndSetup::FillFields(int row) {
    TDeviceRec r{};
    if (!Table.CopyRow(row, r)) return;
    for (int i = 0; i < NET_ROWS; ++i) {
        const FieldSpec& f = kFields[i];
        const char* text = FieldOf(r, f.Key);
        const QString value = QString::fromLatin1(text, static_cast<int>(strnlen(text, KeyFields[f.Key].Width)));
        // A stored value longer than the typing limit is shown whole, as held.
        Edit[i]->setMaxLength(std::max(f.Address ? 15 : MaxLength(f), static_cast<int>(value.size())));
        Edit[i]->setText(value);
        OpenEdit(Edit[i], HasKey(r, f.Key));
        Shown[i] = Edit[i]->text();
    }
}

void TwndSetup::btnOkClick() {
    TDeviceRec row{};
    Table.CopyRow(Table.SelectedRow, row);
    const std::vector<std::string> keys = SetKeyNames(KIND_NETWORK);
    SetValues requested;
    for (int i = 0; i < NET_ROWS; ++i) {
        const QString text = Edit[i]->text();
        if (Edit[i]->isEnabled() && text != Shown[i]) requested[keys[static_cast<size_t>(i)]] = text.toLatin1().toStdString();
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
        for (const FieldSpec& f : kFields) std::memcpy(FieldOf(r, f.Key), FieldOf(sent, f.Key), static_cast<size_t>(f.Commit));
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
