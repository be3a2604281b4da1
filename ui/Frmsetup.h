// "Network Setup": the sixteen network values of the selected device.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "rules/Netcheck.h"
#include "ui/Setdialog.h"

class TwndSetup : public TSetDialog {
    Q_OBJECT
public:
    // refreshGrid: the main window's grid rebuild, run after values are stored.
    TwndSetup(TmTable& table, TtskCtrl& control, std::function<void()> refreshGrid, QWidget* parent = nullptr);

    void FormShow() override;
    void FillFields(int row);
    void btnOkClick();
    void StoreFields(int row);
    void CommitFields(int row);

    QLineEdit* Edit[NET_ROWS] = {};  // in the order of NetRow
    QGroupBox* Group[6] = {};
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void Acknowledged() override;
    QList<QWidget*> WaitControls() const override;

private:
    // What FillFields put in each edit: an edit still showing it was not
    // touched, and its stored value goes out unchanged.
    QString Shown[NET_ROWS];
    QList<QLabel*> Labels[2];  // by column of boxes
    TDeviceRec Checked{};  // EditRec as the checks filled it
    std::function<void()> RefreshGrid;
};
