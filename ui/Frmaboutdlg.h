// "About Tarnel", and the help file opened by the desktop's viewer.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include "Version.h"

class TAboutDlg : public QDialog {
    Q_OBJECT
public:
    TAboutDlg(const TVersionRecord& version, QWidget* parent = nullptr);
    void FormShow();

    QLabel* Image1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    const TVersionRecord& Record;
};

// The help file for a user language: the Japanese one, or the English one.
QString HelpFileName(QLocale::Language language);
// Opens the help file of the help directory; shows "Not found Help File." when
// it cannot be opened.  The opener is the desktop's default, or a test's.
void OpenHelp(const QString& helpDir, QLocale::Language language);
