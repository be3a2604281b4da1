#include "app/Mainmenus.h"

#include <QMenuBar>
#include <QToolBar>

#include "ui/Fit.h"
#include "ui/Icons.h"

void BuildMainMenus(TwndMain& w) {
    struct Command {
        QAction** Menu;
        QMenu** Parent;
        const char* Caption;
        void (TwndMain::*Handler)();
    };
    w.mnuFile = w.menuBar()->addMenu(TwndMain::tr("&File"));
    w.mnuEdit = w.menuBar()->addMenu(TwndMain::tr("E&dit"));
    w.mnuSetup = w.menuBar()->addMenu(TwndMain::tr("Setup(&M)"));
    w.mnuHelp1 = w.menuBar()->addMenu(TwndMain::tr("Help(&H)"));
    const Command commands[] = {
        {&w.mnuOpen, &w.mnuFile, QT_TRANSLATE_NOOP("TwndMain", "&Open..."), &TwndMain::mnuOpenClick},
        {&w.mnuSave, &w.mnuFile, QT_TRANSLATE_NOOP("TwndMain", "&Save"), &TwndMain::mnuSaveClick},
        {&w.mnuSaveAs, &w.mnuFile, QT_TRANSLATE_NOOP("TwndMain", "Save &As..."), &TwndMain::mnuSaveAsClick},
        {&w.mnuExportCsv, &w.mnuFile, QT_TRANSLATE_NOOP("TwndMain", "&Export CSV..."), &TwndMain::mnuExportCsvClick},
        {&w.mnuApplyPlan, &w.mnuFile, QT_TRANSLATE_NOOP("TwndMain", "Apply &Plan..."), &TwndMain::mnuApplyPlanClick},
        {nullptr, &w.mnuFile, nullptr, nullptr},
        {&w.mnuExit, &w.mnuFile, QT_TRANSLATE_NOOP("TwndMain", "E&xit"), &TwndMain::mnuExitClick},
        {&w.mnuCopy, &w.mnuEdit, QT_TRANSLATE_NOOP("TwndMain", "&Copy"), &TwndMain::mnuCopyClick},
        {&w.mnuDelete, &w.mnuEdit, QT_TRANSLATE_NOOP("TwndMain", "&Delete"), &TwndMain::mnuDeleteClick},
        {&w.mnuAllDelete, &w.mnuEdit, QT_TRANSLATE_NOOP("TwndMain", "All Delete(&L)"), &TwndMain::mnuAllDeleteLClick},
        {&w.mnuSearch, &w.mnuEdit, QT_TRANSLATE_NOOP("TwndMain", "Search(&R)"), &TwndMain::mnuSearchClick},
        {&w.mnuNetwork, &w.mnuSetup, QT_TRANSLATE_NOOP("TwndMain", "&Network..."), &TwndMain::mnuNetworkClick},
        {&w.mnuInfomation, &w.mnuSetup, QT_TRANSLATE_NOOP("TwndMain", "&Infomation..."), &TwndMain::mnuInfomationClick},
        {&w.mnuDate, &w.mnuSetup, QT_TRANSLATE_NOOP("TwndMain", "Date(&T)..."), &TwndMain::mnuDateClick},
        {&w.mnuHelp, &w.mnuHelp1, QT_TRANSLATE_NOOP("TwndMain", "&Help..."), &TwndMain::mnuHelpClick},
        {&w.mnuAbout, &w.mnuHelp1, QT_TRANSLATE_NOOP("TwndMain", "&About..."), &TwndMain::mnuAboutClick},
    };
    for (const Command& c : commands) {
        if (c.Menu == nullptr) {
            (*c.Parent)->addSeparator();
            continue;
        }
        *c.Menu = (*c.Parent)->addAction(TwndMain::tr(c.Caption));
        QObject::connect(*c.Menu, &QAction::triggered, &w, c.Handler);
    }
    w.mnuCopy->setShortcut(QKeySequence::Copy);
    w.mnuDelete->setShortcut(QKeySequence::Delete);
    // The menu on a row (right button, menu key or Shift+F10): what can be done to that device.
    w.grdDevice->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* separator = new QAction(w.grdDevice);
    separator->setSeparator(true);
    w.grdDevice->addActions({w.mnuNetwork, w.mnuInfomation, w.mnuDate, separator, w.mnuCopy, w.mnuDelete});

    struct Button {
        QAction** Action;
        const char* Theme;    // the freedesktop name
        const char* BuiltIn;  // the program's own icon where the desktop has none
        const char* Tip;
        void (TwndMain::*Handler)();
    };
    w.ToolBarMain = w.addToolBar(TwndMain::tr("Main"));
    w.ToolBarMain->setMovable(false);
    const int icon = Scaled(&w, 16);
    w.ToolBarMain->setIconSize(QSize(icon, icon));
    const Button buttons[] = {
        {&w.TBOpen, "document-open", "document-open", QT_TRANSLATE_NOOP("TwndMain", "Open"), &TwndMain::mnuOpenClick},
        {&w.TBSave, "document-save", "document-save", QT_TRANSLATE_NOOP("TwndMain", "Save"), &TwndMain::mnuSaveClick},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {&w.TBSearch, "edit-find", "edit-find", QT_TRANSLATE_NOOP("TwndMain", "Search"), &TwndMain::mnuSearchClick},
        {&w.TBDelete, "edit-delete", "edit-delete", QT_TRANSLATE_NOOP("TwndMain", "Delete"), &TwndMain::mnuDeleteClick},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {&w.TBNetwork, "preferences-system-network", "network", QT_TRANSLATE_NOOP("TwndMain", "Network"), &TwndMain::mnuNetworkClick},
        {&w.TBInfo, "dialog-information", "information", QT_TRANSLATE_NOOP("TwndMain", "Information"), &TwndMain::mnuInfomationClick},
        {&w.TBDate, "x-office-calendar", "calendar", QT_TRANSLATE_NOOP("TwndMain", "Date"), &TwndMain::mnuDateClick},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {&w.TBHelp, "help-contents", "help-contents", QT_TRANSLATE_NOOP("TwndMain", "Help"), &TwndMain::mnuHelpClick},
    };
    for (const Button& b : buttons) {
        if (b.Action == nullptr) {
            w.ToolBarMain->addSeparator();
            continue;
        }
        *b.Action = w.ToolBarMain->addAction(ThemedIcon(b.Theme, b.BuiltIn), TwndMain::tr(b.Tip));
        (*b.Action)->setCheckable(true);  // shown pressed while its command runs
        QObject::connect(*b.Action, &QAction::triggered, &w, b.Handler);
    }
}
