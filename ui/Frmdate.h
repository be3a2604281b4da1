// "Date Setup": date, time and GMT offset of the selected device, or of all.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <ctime>
#include <functional>

#include "rules/Datecheck.h"
#include "ui/Setdialog.h"

class TwndDate : public TSetDialog {
    Q_OBJECT
public:
    TwndDate(TmTable& table, TtskCtrl& control, QWidget* parent = nullptr);

    void FormShow() override;
    void FillDate(int row);
    bool ValidateDate();  // shows the message and moves the focus on a failure
    bool SendDate(int row);
    void btnOkClick();
    // Fills the six edits from this computer's clock; nothing is sent until OK.
    void btnNowClick();

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit[DATE_EDITS] = {};  // edtY, edtM, edtD, edtH, edtN, edtGMT
    QCheckBox* chkAll = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCance = nullptr;
    QPushButton* btnNow = nullptr;
    std::function<std::time_t()> Clock = [] { return std::time(nullptr); };  // tests fix the time
    std::string DateText;  // the last date text that passed the checks

protected:
    void Acknowledged() override;
    QList<QWidget*> WaitControls() const override;

private:
    TDeviceRec Checked{};  // EditRec as the checks filled it
};
