// The program's windows over a real table and control task, for widget tests.
#pragma once

#include <QApplication>
#include <functional>
#include <vector>

#include "files/Devfile.h"
#include "files/Devicelink.h"
#include "Frames.h"
#include "Support.h"
#include "ui/Frmaboutdlg.h"
#include "ui/Frmdate.h"
#include "ui/Frminfo.h"
#include "app/Frmmain.h"
#include "ui/Frmsearch.h"
#include "ui/Frmsetup.h"
#include "ui/Msgbox.h"
#include "TempDir.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct ShownMessage {
    QString Text;
    int Type;
    QString Caption;
};

struct UiRig {
    UiRig()
        : Link(Dir.Path),
          Main(Table, Files, Control),
          Search(Control, &Main),
          Info(Table, Control, &Main),
          Date(Table, Control, &Main),
          Setup(Table, Control, [this] { Main.RefreshGrid(); }, &Main),
          About(Files.VersionRecord, &Main) {
        Main.SetDialogs(&Search, &Info, &Date, &Setup, &About);
        // Questions take the queued answers, then Yes; other boxes OK.
        MessageBoxHook = [this](const QString& text, int type, int buttons, const QString& caption) {
            Messages.push_back({text, type, caption});
            if (Answers.empty()) return (buttons & mbYes) ? mrYes : mrOk;
            const int a = Answers.front();
            Answers.erase(Answers.begin());
            return a;
        };
        Main.ExecDialog = [this](QDialog* d) {
            Opened.push_back(d);
            if (WhileOpen) WhileOpen();
            return DialogResult;
        };
    }
    ~UiRig() { MessageBoxHook = nullptr; }

    // Brings the link up, as the program's timer would.
    bool Ready() { return TickUntilReady(Control); }
    void Take(const Bytes& b) { ::Take(Table, b); }
    // A device heard and shown, as after a search.
    void Shown(const Bytes& b) {
        Take(b);
        Main.RefreshGrid();
    }
    TDeviceRec Row(int row = 0) const {
        TDeviceRec r{};
        Table.CopyRow(row, r);
        return r;
    }
    QString LastMessage() const { return Messages.empty() ? QString() : Messages.back().Text; }

    TempDir Dir;
    DeviceLink Link;
    TmTable& Table = Link.Table;
    TdrvUDP& Driver = Link.Driver;
    TmFile& Files = Link.Files;
    TtskCtrl& Control = Link.Control;
    TwndMain Main;
    TwndSearch Search;
    TwndInfo Info;
    TwndDate Date;
    TwndSetup Setup;
    TAboutDlg About;
    std::vector<ShownMessage> Messages;
    std::vector<int> Answers;
    std::vector<QDialog*> Opened;
    std::function<void()> WhileOpen;  // what happens while a dialog is open, as answers during a search
    int DialogResult = QDialog::Accepted;
};
