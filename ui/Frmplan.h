// "Apply Plan": a plan checked in full against the list, a preview of every
// change, one confirmation, then the devices set one at a time with each
// result as it comes, and a check search at the end.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

#include "link/Table.h"
#include "link/Tskcontrol.h"
#include "plan/Applyrun.h"

class TwndPlan : public QDialog {
    Q_OBJECT
public:
    TwndPlan(TmTable& table, TtskCtrl& control, QWidget* parent = nullptr);

    // Reads the plan and checks it against the list; false, with the reason
    // shown, when it cannot be read.
    bool Load(const QString& path);
    // After the one confirmation, starts the run on the dialog's timer.
    void btnApplyClick();
    // One step of the run; the timer calls it, tests may too.
    void timRunTimer();
    // During the run: the device being set finishes, the rest are skipped.
    void btnCancelClick();
    // The results as CSV: MAC, serial, result, information part, keys.
    bool SaveResults(const QString& path);
    QString ResultText(size_t device) const;
    // Every device's result, and how many of each there are.
    void ShowResults();

    // The window's search, run once the SETs are done to check them.
    std::function<void()> CheckSearch;
    // Asks where to save the results; tests answer it.
    std::function<QString()> AskSavePath;

    QLabel* lblSummary = nullptr;
    QTableWidget* lstPlan = nullptr;
    QProgressBar* prgRun = nullptr;
    QPushButton *btnApply = nullptr, *btnSave = nullptr, *btnCancel = nullptr;
    QTimer timRun;
    ApplyReport Report;
    bool Running = false;

private:
    void ShowProblems();
    void ShowPreview();
    void ShowResult(size_t device);
    void Finish();

    TmTable& Table;
    TtskCtrl& Control;
    std::unique_ptr<PlanSender> Sender;
};

// File > Apply Plan...: asks for the plan, loads it and runs the dialog.
void ApplyPlanFile(QWidget* parent, TmTable& table, TtskCtrl& control, const std::string& dir,
                   const std::function<void()>& search, const std::function<int(QDialog*)>& run);
