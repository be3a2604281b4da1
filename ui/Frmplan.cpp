#include "ui/Frmplan.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "files/Diskfile.h"
#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "ui/Fit.h"
#include "ui/Msgbox.h"

namespace {
enum Columns { COL_MAC, COL_SERIAL, COL_RESULT, COL_CHANGES, COLUMNS };

QString Latin1(const std::string& s) { return QString::fromLatin1(s.c_str()); }

void SetRow(QTableWidget* list, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) list->setItem(row, c, new QTableWidgetItem(cells[c]));
}
}  // namespace

TwndPlan::TwndPlan(TmTable& table, TtskCtrl& control, QWidget* parent)
    : QDialog(parent), Table(table), Control(control) {
    setWindowTitle(tr("Apply Plan"));
    lblSummary = new QLabel(this);
    lblSummary->setWordWrap(true);
    lstPlan = new QTableWidget(0, COLUMNS, this);
    lstPlan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstPlan->verticalHeader()->hide();
    lstPlan->setWordWrap(false);
    lstPlan->setTabKeyNavigation(false);  // Tab goes on to the buttons
    lstPlan->setAccessibleName(tr("Devices of the plan"));
    lstPlan->horizontalHeader()->setStretchLastSection(true);
    lstPlan->setMinimumSize(Scaled(this, 680), Scaled(this, 340));
    prgRun = new QProgressBar(this);
    btnApply = new QPushButton(tr("&Apply"), this);
    btnSave = new QPushButton(tr("&Save Results..."), this);
    btnCancel = new QPushButton(tr("&Close"), this);
    btnSave->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btnApply, btnSave, btnCancel}) buttons->addWidget(b);
    auto* column = new QVBoxLayout(this);
    column->addWidget(lblSummary);
    column->addWidget(lstPlan, 1);
    column->addWidget(prgRun);
    column->addLayout(buttons);
    timRun.setSingleShot(true);
    connect(&timRun, &QTimer::timeout, this, &TwndPlan::timRunTimer);
    connect(btnApply, &QPushButton::clicked, this, &TwndPlan::btnApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, &TwndPlan::btnCancelClick);
    connect(btnSave, &QPushButton::clicked, this, [this] {
        const QString path = AskSavePath();
        if (!path.isEmpty()) SaveResults(path);
    });
    AskSavePath = [this] {
        return QFileDialog::getSaveFileName(this, tr("Save Results"), QString(), tr("CSV file(*.csv);;All files(*.*)"));
    };
}

bool TwndPlan::Load(const QString& path) {
    const FileRead file = ReadCappedFile(QFile::encodeName(path).toStdString(), PLAN_MAX_BYTES);
    std::string error = file.Reason;
    const auto records = file.Outcome == ReadOutcome::Read
                             ? ParseCsv({reinterpret_cast<const char*>(file.Bytes.data()), file.Bytes.size()}, error)
                             : std::nullopt;
    if (!records) {
        ShowMessageText(tr("Cannot read the plan \"%1\": %2.").arg(path, QString::fromStdString(error)), mtWarning, mbOK);
        return false;
    }
    Report = PrepareApply(*records, Table);
    prgRun->setValue(0);
    if (Report.Plan.Problems.empty()) ShowPreview();
    else ShowProblems();
    return true;
}

// Nothing can be sent while a problem is left.
void TwndPlan::ShowProblems() {
    lstPlan->setColumnCount(4);
    lstPlan->setHorizontalHeaderLabels({tr("Row"), tr("MAC"), tr("Key"), tr("Problem")});
    lstPlan->setRowCount(static_cast<int>(Report.Plan.Problems.size()));
    for (int i = 0; i < lstPlan->rowCount(); ++i) {
        const PlanProblem& p = Report.Plan.Problems[static_cast<size_t>(i)];
        // The plan's own cells come in the problem's texts as UTF-8; the MAC as the device sent it.
        SetRow(lstPlan, i, {QString::number(p.Row), Latin1(p.Mac), QString::fromStdString(p.Key),
                            QString::fromStdString(p.Text)});
    }
    lblSummary->setText(tr("The plan has %n problem(s); nothing can be sent until they are mended.", nullptr,
                           lstPlan->rowCount()));
    btnApply->setEnabled(false);
}

void TwndPlan::ShowPreview() {
    lstPlan->setColumnCount(COLUMNS);
    lstPlan->setHorizontalHeaderLabels({tr("MAC"), tr("Serial"), tr("Result"), tr("Changes")});
    const int count = static_cast<int>(Report.Devices.size());
    lstPlan->setRowCount(count);
    int changing = 0;
    for (int i = 0; i < count; ++i) {
        const PlannedDevice& d = Report.Plan.Devices[static_cast<size_t>(i)];
        QStringList changes;
        for (const KeyChange& c : d.Changes)
            changes << QString("%1: %2 -> %3").arg(KeyFields[c.Key].Name, Latin1(c.Old), Latin1(c.New));
        if (d.ChangesKind(KIND_NETWORK)) changes << tr("(reboots)");
        changing += !d.Changes.empty();
        SetRow(lstPlan, i,
               {Latin1(PlanCell(d.Current, KEY_MAC)), Latin1(PlanCell(d.Current, KEY_SERIAL)),
                QString(), changes.isEmpty() ? tr("unchanged") : changes.join("\n")});
    }
    // Every change on a line of its own.
    lstPlan->resizeColumnToContents(COL_MAC);
    lstPlan->setColumnWidth(COL_RESULT, Scaled(this, 150));
    lstPlan->resizeRowsToContents();
    lblSummary->setText(tr("%1 of %2 devices change; %3 of them reboot.")
                            .arg(changing)
                            .arg(count)
                            .arg(Rebooting(Report.Plan)));
    btnApply->setEnabled(changing > 0);
}

void TwndPlan::btnApplyClick() {
    const int rebooting = Rebooting(Report.Plan);
    const QString question = rebooting > 0 ? tr("Set the devices as the plan says? %n of them will reboot.", nullptr, rebooting)
                                           : tr("Set the devices as the plan says?");
    if (ShowMessageText(question, mtConfirmation, mbYes | mbNo) != mrYes) return;
    Sender = std::make_unique<PlanSender>(Table, Control, Report);
    prgRun->setRange(0, static_cast<int>(Sender->Total()));
    Running = true;
    btnApply->setEnabled(false);
    btnCancel->setText(tr("&Cancel"));
    timRun.start(0);
}

void TwndPlan::timRunTimer() {
    if (!Running) return;
    const int next = Sender->Tick();
    if (Sender->Settled >= 0) ShowResult(static_cast<size_t>(Sender->Settled));
    prgRun->setValue(static_cast<int>(Sender->Done()));
    if (next < 0) Finish();
    else timRun.start(next);
}

void TwndPlan::btnCancelClick() {
    if (Running) Sender->Cancel();
    else reject();
}

// The check search replaces the list with the devices as they now are.
void TwndPlan::Finish() {
    Running = false;
    timRun.stop();
    std::vector<size_t> pending = BeginVerify(Report);
    if (!pending.empty() && CheckSearch) {
        lblSummary->setText(tr("Searching to check what the devices now hold..."));
        Table.DeleteRow(NO_ROW);
        CheckSearch();
        SettleVerify(Table, Report, pending);
    }
    ShowResults();
}

void TwndPlan::ShowResults() {
    btnApply->setEnabled(false);
    for (size_t i = 0; i < Report.Devices.size(); ++i) ShowResult(i);
    lblSummary->setText(tr("Done: %1.").arg(QString::fromStdString(ResultCounts(Report.Devices))));
    btnSave->setEnabled(true);
    btnCancel->setText(tr("&Close"));
}

QString TwndPlan::ResultText(size_t device) const {
    const DeviceOutcome& o = Report.Devices[device];
    if (o.Result == DeviceResult::WouldChange) return {};
    QString text = ResultName(o.Result);
    if (o.Result == DeviceResult::Blocked) text += tr(" (%1 still held by %2)").arg(Latin1(o.Address), Latin1(o.After));
    if (o.Information) text += tr(", information %1").arg(ResultName(*o.Information));
    if (!o.MismatchKeys.empty()) text += ' ' + QString::fromStdString(MismatchNames(o));
    return text;
}

void TwndPlan::ShowResult(size_t device) {
    lstPlan->setItem(static_cast<int>(device), COL_RESULT, new QTableWidgetItem(ResultText(device)));
    lstPlan->scrollToItem(lstPlan->item(static_cast<int>(device), COL_RESULT));
}

bool TwndPlan::SaveResults(const QString& path) {
    std::string csv = CsvLine({"MAC", "SERIAL", "RESULT", "INFORMATION", "KEYS"});
    for (size_t i = 0; i < Report.Devices.size(); ++i) {
        const DeviceOutcome& o = Report.Devices[i];
        csv += CsvLine({PlanCell(Report.Plan.Devices[i].Current, KEY_MAC),
                        Utf8FromLatin1(PlanCell(Report.Plan.Devices[i].Current, KEY_SERIAL)), ResultName(o.Result),
                        o.Information ? ResultName(*o.Information) : "", MismatchNames(o)});
    }
    const FileSave saved = ReplaceFile(QFile::encodeName(path).toStdString(),
                                       {reinterpret_cast<const uint8_t*>(csv.data()), csv.size()});
    if (!saved.Saved)
        ShowMessageText(tr("Cannot save to \"%1\": %2.").arg(path, QString::fromStdString(saved.Reason)), mtWarning,
                        mbOK);
    return saved.Saved;
}

void ApplyPlanFile(QWidget* parent, TmTable& table, TtskCtrl& control, const std::string& dir,
                   const std::function<void()>& search, const std::function<int(QDialog*)>& run) {
    const QString path = QFileDialog::getOpenFileName(parent, TwndPlan::tr("Apply Plan"), QString::fromStdString(dir),
                                                      TwndPlan::tr("CSV file(*.csv);;All files(*.*)"));
    TwndPlan plan(table, control, parent);
    plan.CheckSearch = search;
    if (!path.isEmpty() && plan.Load(path)) run(&plan);
}
