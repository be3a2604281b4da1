// The main window: joins the device grid and the document, and carries every
// command of the program.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "app/Devicegrid.h"
#include "app/Document.h"
#include "app/Findbar.h"
#include "ui/Frmplan.h"
#include "files/File.h"
#include "link/Table.h"
#include "link/Tskcontrol.h"
#include "link/Waits.h"

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
    void mnuCopyClick() { grdDevice->Copy(); }
    void mnuDeleteClick();
    void mnuAllDeleteLClick();
    void mnuOpenClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    // Writes the list as the CSV of tarnel-cli plan.
    void mnuExportCsvClick();
    // Opens a plan, checks it against the list, previews and applies it.
    void mnuApplyPlanClick() {
        ApplyPlanFile(this, Table, Control, Files.DataDir(), [this] { mnuSearchClick(); }, ExecDialog);
    }
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

    // How modal windows are run; tests put their own here.
    std::function<int(QDialog*)> ExecDialog;

    TDocument Document;
    TDeviceGrid* grdDevice = nullptr;
    TFindBar* FindBar = nullptr;  // the filter; the pick stays on a shown device
    QToolBar* ToolBarMain = nullptr;
    QAction *TBOpen, *TBSave, *TBSearch, *TBDelete, *TBNetwork, *TBInfo, *TBDate, *TBHelp;
    QMenu *mnuFile, *mnuEdit, *mnuSetup, *mnuHelp1;
    QAction *mnuOpen, *mnuSave, *mnuSaveAs, *mnuExportCsv, *mnuApplyPlan, *mnuExit, *mnuCopy, *mnuDelete, *mnuAllDelete, *mnuSearch, *mnuNetwork,
        *mnuInfomation, *mnuDate, *mnuHelp, *mnuAbout;
    QTimer timMain;
    QTimer timDateResp;
    QTimer timStatus;
    QLabel* stsCount = nullptr;
    QLabel* stsLink = nullptr;
    QLabel* stsProblems = nullptr;  // how many devices the conflict check flags

    int Mode = 0;  // 0 idle, 1 searching, 2 waiting for a date answer
    StatusWait DateWait;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void SetWaitingForDate(bool waiting);
    int RunDialog(QDialog* dialog);

    TmTable& Table;
    TmFile& Files;
    TtskCtrl& Control;
    TwndSearch* wndSearch = nullptr;
    TwndInfo* wndInfo = nullptr;
    TwndDate* wndDate = nullptr;
    TwndSetup* wndSetup = nullptr;
    TAboutDlg* AboutDlg = nullptr;
    bool Placed = false;  // the first showing has set the size and position
};
