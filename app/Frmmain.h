// The main window: the device grid and every command of the program.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "files/Devfile.h"
#include "files/File.h"
#include "link/Table.h"
#include "link/Tskcontrol.h"

class TwndSearch;
class TwndInfo;
class TwndDate;
class TwndSetup;
class TAboutDlg;
class QDialog;

class TwndMain : public QMainWindow {
    Q_OBJECT
public:
    TwndMain(TmTable& table, TmFile& files, TtskCtrl& control);
    void SetDialogs(TwndSearch* search, TwndInfo* info, TwndDate* date, TwndSetup* setup, TAboutDlg* about);

    void RefreshGrid();
    void UpdateMenus();
    void MarkModified();
    void grdDeviceSelectCell(int gridRow);

    void mnuSearchClick();
    void mnuDateClick();
    void mnuNetworkClick();
    void mnuInfomationClick();
    void mnuDeleteClick();
    void mnuAllDeleteLClick();
    void mnuOpenClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    // Writes the list as the CSV of tarnel-cli plan.
    void mnuExportCsvClick();
    void mnuExitClick();
    void mnuHelpClick();
    void mnuAboutClick();
    void timMainTimer();
    void timDateRespTimer();
    // Shows the number of devices and, while the link is down, the reason the
    // link gave; runs every second.
    void timStatusTimer();
    // A click on a column heading: sorts by it, or the other way round when it
    // is already the sort column.  Only what is shown changes.
    void SortBy(int column);

    // How modal windows and file dialogs are run; tests put their own here.
    std::function<int(QDialog*)> ExecDialog;
    std::function<QString(const QString& dir)> AskOpenPath;
    std::function<QString(const QString& dir)> AskSavePath;
    std::function<QString(const QString& dir)> AskCsvPath;

    QTableWidget* grdDevice = nullptr;
    QToolBar* ToolBarMain = nullptr;
    QAction *TBOpen, *TBSave, *TBSearch, *TBDelete, *TBNetwork, *TBInfo, *TBDate, *TBHelp;
    QMenu *mnuFile, *mnuEdit, *mnuSetup, *mnuHelp1;
    QAction *mnuOpen, *mnuSave, *mnuSaveAs, *mnuExportCsv, *mnuExit, *mnuDelete, *mnuAllDelete, *mnuSearch, *mnuNetwork,
        *mnuInfomation, *mnuDate, *mnuHelp, *mnuAbout;
    QTimer timMain;
    QTimer timDateResp;
    QTimer timStatus;
    QLabel* stsCount = nullptr;
    QLabel* stsLink = nullptr;
    QLabel* stsProblems = nullptr;  // how many devices the conflict check flags

    int FileNamed = 0;
    int Mode = 0;  // 0 idle, 1 searching, 2 waiting for a date answer
    int DateWaitTicks = 0;
    QString FilePath;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void BuildMenusAndToolBar();
    void BuildGrid();
    void RestorePlace();
    void SavePlace();
    void SortRows();
    void MarkConflicts();
    void SetFileCaption(bool modified);
    void SetWaitingForDate(bool waiting);
    int RunDialog(QDialog* dialog);
    bool SaveTo(const QString& path);
    bool SaveCurrent();
    bool AskToSaveChanges();

    TmTable& Table;
    TmFile& Files;
    TtskCtrl& Control;
    TwndSearch* wndSearch = nullptr;
    TwndInfo* wndInfo = nullptr;
    TwndDate* wndDate = nullptr;
    TwndSetup* wndSetup = nullptr;
    TAboutDlg* AboutDlg = nullptr;
    int SortColumn = -1;  // none: the table's own order
    Qt::SortOrder SortOrder = Qt::AscendingOrder;
    bool Placed = false;  // the first showing has set the size and position
    bool Modified = false;     // the caption's "*"
    size_t LeftOutOnOpen = 0;  // devices of the current file the list could not hold
};
