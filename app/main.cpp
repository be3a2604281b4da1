// tarnel: finds the KLV-70 devices on the local network and sets them up.
#include <QApplication>
#include <QFileInfo>
#include <memory>

#include "app/Ctrltimer.h"
#include "files/Devicelink.h"
#include "ui/Frmaboutdlg.h"
#include "ui/Frmdate.h"
#include "ui/Frminfo.h"
#include "app/Frmmain.h"
#include "ui/Frmsearch.h"
#include "ui/Frmsetup.h"
#include "ui/Icons.h"
#include "ui/Language.h"
#include "app/Instance.h"
#include "ui/Msgbox.h"
#include "rules/Strings.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallTranslations(DesktopLanguage());

    const QString executable = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const auto instance = TakeInstanceLock(executable);
    if (!instance) {
        // The running copy's window comes to the front instead; only when it
        // cannot be reached is the user told.
        if (!CallRunningCopy(executable)) ShowMessageId(MSG_RUNNING, mtError, mbOK);
        return 0;
    }
    QApplication::setApplicationName(QString::fromLatin1(MessageText(MSG_TITLE)));
    QApplication::setWindowIcon(ProgramIcon());

    // The windows come after the link and so go before it.
    std::unique_ptr<DeviceLink> link;
    try {
        link = std::make_unique<DeviceLink>();
    } catch (const std::runtime_error& e) {
        ShowMessageText(QString::fromLatin1(e.what()), mtError, mbOK);
        return 1;
    }
    TmTable& mTable = link->Table;
    TmFile& mFile = link->Files;
    TtskCtrl& tskCtrl = link->Control;
    const TargetList targets = mFile.ReadTargets();
    const ReachedTargets reached = SkipReached(targets.Addresses, LocalSubnets());
    link->Driver.SetTargets(reached.Kept);
    CtrlTimer ctrlTimer(tskCtrl);
    TwndMain wndMain(mTable, mFile, tskCtrl);
    TwndSearch wndSearch(tskCtrl, &wndMain);
    TwndInfo wndInfo(mTable, tskCtrl, &wndMain);
    TwndDate wndDate(mTable, tskCtrl, &wndMain);
    TwndSetup wndSetup(mTable, tskCtrl, [&wndMain] { wndMain.RefreshGrid(); }, &wndMain);
    TAboutDlg AboutDlg(mFile.VersionRecord, &wndMain);
    wndMain.SetDialogs(&wndSearch, &wndInfo, &wndDate, &wndSetup, &AboutDlg);

    ListenForLaterStarts(executable, &wndMain, [&wndMain] {
        wndMain.setWindowState(wndMain.windowState() & ~Qt::WindowMinimized);
        wndMain.show();
        wndMain.raise();
        wndMain.activateWindow();
    });
    wndMain.show();
    if (const std::string warning = TargetsWarning(targets, reached.Notes); !warning.empty())
        ShowMessageText(QString::fromStdString(warning), mtWarning, mbOK);
    return app.exec();
}
