// "Infomation Setup": contact, name, location and unique ID of the selected device.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "ui/Setdialog.h"

class TwndInfo : public TSetDialog {
    Q_OBJECT
public:
    TwndInfo(TmTable& table, TtskCtrl& control, QWidget* parent = nullptr);

    void FormShow() override;
    void FillInfo(int row);
    void btnOkClick();
    void StoreInfo(int row);
    void CommitInfo(int row);

    QGroupBox* grpInfo = nullptr;
    QLineEdit* InfoEdits[4] = {};  // contact, name, location, unique ID
    QPushButton* btnOk = nullptr;
    QPushButton* btnCance = nullptr;

protected:
    void Acknowledged() override;
    QList<QWidget*> WaitControls() const override;

private:
    // What FillInfo put in each edit: an edit still showing it was not
    // touched, and its stored value goes out exactly as stored.
    QString Shown[4];
    TDeviceRec Checked{};  // EditRec as the checks filled it
};
