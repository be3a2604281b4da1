// "About Tarnel", and the help opened by the desktop's viewer.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStringList>
#include <functional>

#include "files/Version.h"

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
// Where the program's own HTML manual may be: beside the program (as built),
// or in the documentation directory of the prefix it is installed under.  For
// Japanese the Japanese manual first, then the English one.
QStringList ManualPaths(const QString& programDir, QLocale::Language language = QLocale::English);
// Starts the desktop's viewer for a file.  Returns why it could not, or ""
// once the viewer is on its way; failed gets the reason when the viewer
// gives up later (no browser behind xdg-open, say).
using HelpOpener =
    std::function<QString(const QString& path, const std::function<void(const QString& reason)>& failed)>;
QString OpenWithDesktop(const QString& path, const std::function<void(const QString& reason)>& failed);

// Opens the help file of the help directory when it is there, else the first
// manual of manuals that is there.  With none there: "Not found Help File.";
// with one there that cannot be shown, a message that names it, so that the
// user can open it by hand.
void OpenHelp(const QString& helpDir, QLocale::Language language, const QStringList& manuals,
              const HelpOpener& open = OpenWithDesktop);
