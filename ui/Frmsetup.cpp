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
bool IsAddress(int row) { return NetworkFields[row].Form == EditForm::Address; }
// What the record holds, and so what an acknowledged SET copies back.
int Width(int row) { return KeyFields[NetworkFields[row].Key].Width; }
const char* KeyName(int row) { return KeyFields[NetworkFields[row].Key].Name; }

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
            edit->setMaxLength(NetworkFields[row].Length);
            if (IsAddress(row)) {
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression(kAddressPattern), edit));
                FitEdit(edit, "255.255.255.255");
            } else {
                // Room for what a device may have stored, not only for what can be typed.
                FitEdit(edit, QString(Width(row), QLatin1Char('8')));
            }
            auto* label = new QLabel(tr(NetworkFields[row].Label), Group[g]);
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
    ApplyState = APPLY_IDLE;
    // A number edit takes only what a SET may carry.
    for (int i = 0; i < NET_ROWS; ++i) {
        const std::string pattern = EditPattern(KIND_NETWORK, KeyName(i));
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
        const std::string_view text = FieldText(r, NetworkFields[i].Key);
        const QString value = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        // A stored value longer than the typing limit is shown whole, as held.
        Edit[i]->setMaxLength(std::max(NetworkFields[i].Length, static_cast<int>(value.size())));
        Edit[i]->setText(value);
        OpenEdit(Edit[i], HasKey(r, NetworkFields[i].Key));
        Shown[i] = Edit[i]->text();
    }
}

void TwndSetup::btnOkClick() {
    TDeviceRec row{};
    Table.CopyRow(Table.SelectedRow, row);
    SetValues requested;
    for (int i = 0; i < NET_ROWS; ++i) {
        const QString text = Edit[i]->text();
        if (Edit[i]->isEnabled() && text != Shown[i]) requested[KeyName(i)] = text.toLatin1().toStdString();
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
