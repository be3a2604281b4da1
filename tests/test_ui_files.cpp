// The main window's file commands and help: what they keep, what they ask.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <cstring>

#include "rules/Strings.h"
#include "UiRig.h"
#include "ui/Language.h"

namespace {
// A device file: the answers of count devices, as heard.
std::string Frames(int from, int count) {
    std::string out;
    for (int i = from; i < from + count; ++i) {
        const Bytes frame = Answer(MacOf(i), {"MODEL:m"});
        out.append(frame.begin(), frame.end());
    }
    return out;
}

// A rig whose Open and Save As pick the paths given.
struct FileRig : UiRig {
    FileRig() {
        Main.Document.AskOpenPath = [this](const QString& dir) {
            AskedIn = dir.toStdString();
            return QString::fromStdString(OpenPath);
        };
        Main.Document.AskSavePath = [this](const QString&) { return QString::fromStdString(SavePath); };
    }
    std::string Path(const std::string& name) { return Files.DataDir() + name; }
    // Opens a file written with these bytes.
    void Open(const std::string& name, const std::string& bytes) {
        WriteFile(Path(name), bytes);
        OpenPath = Path(name);
        Main.mnuOpenClick();
    }
    std::string OpenPath, SavePath, AskedIn;
};
}  // namespace

// The caption names the file and marks a change with "*" (no file, no mark):
// a delete or an OK in a setup dialog marks it, Cancel does not.  Open, Exit
// and the close box ask before a change is lost: Cancel keeps everything, a
// failed save names the file and cancels, Save and Discard go on; a file
// that is no device file leaves list, file and caption.
TEST(MainWindowFiles, ChangesAreMarkedAndAskedAboutBeforeTheyAreLost) {
    FileRig rig;
    rig.Shown(FullDevice(MacOf(9)));
    rig.Main.mnuDeleteClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel");
    rig.Take(FullDevice(MacOf(3)));
    rig.Open("site.dat", Frames(1, 2));
    EXPECT_EQ(rig.AskedIn, rig.Files.DataDir());
    EXPECT_EQ(rig.Table.Count(), 2) << "the file's devices replace the list";
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat");
    rig.DialogResult = QDialog::Rejected;
    rig.Main.mnuNetworkClick();
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat");
    rig.DialogResult = QDialog::Accepted;
    rig.Main.mnuInfomationClick();
    EXPECT_EQ(rig.Opened, (std::vector<QDialog*>{&rig.Setup, &rig.Info}));
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat*");
    EXPECT_TRUE(rig.Messages.empty());

    rig.Answers = {mrCancel, mrCancel};
    EXPECT_FALSE(rig.Main.close());
    EXPECT_EQ(rig.LastMessage().toStdString(), "Save changes to \"" + rig.Path("site.dat") + "\"?");
    rig.Main.mnuOpenClick();
    EXPECT_EQ(rig.Messages.size(), 2u);
    rig.Answers = {mrDiscard};
    rig.Open("noise.dat", std::string(5000, '\x03'));  // what the device file refuses changes nothing
    EXPECT_EQ(rig.LastMessage().toStdString(), "\"" + rig.OpenPath + "\" is not a device file. The list is unchanged.");
    EXPECT_EQ(rig.Table.Count(), 2);
    rig.Main.Document.FilePath = QString::fromStdString(rig.Dir.Path + "gone/site.dat");
    rig.Answers = {mrSave};
    EXPECT_FALSE(rig.Main.close()) << "a failed save cancels the exit";
    EXPECT_EQ(rig.LastMessage().toStdString(),
              "Cannot save the device file \"" + rig.Dir.Path + "gone/site.dat\". The list is not saved.");
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat*");

    rig.Main.Document.FilePath = QString::fromStdString(rig.Path("site.dat"));
    rig.Answers = {mrSave};
    EXPECT_TRUE(rig.Main.close());
    const std::vector<uint8_t> list = DeviceFileBytes(rig.Table.Rows());
    EXPECT_EQ(ReadFile(rig.Path("site.dat")), std::string(list.begin(), list.end()));
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat");
    rig.Main.mnuAllDeleteLClick();  // does not ask: the list is still there to save
    rig.Answers = {mrDiscard};
    const size_t asked = rig.Messages.size();
    EXPECT_TRUE(rig.Main.close());
    EXPECT_EQ(rig.Messages.size(), asked + 1);
}

// 300 devices: 44 left out, said once; Save over that file asks first, Save As
// to another name does not.
TEST(MainWindowFiles, OverFullFileSaysWhatWasLeftOutAndSaveAsks) {
    FileRig rig;
    const std::string full = Frames(0, 300);
    rig.Open("big.dat", full);
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_EQ(rig.LastMessage().toStdString(),
              "The device file \"" + rig.Path("big.dat") +
                  "\" holds more devices than the list can hold; devices left out: 44.");
    rig.Answers = {mrNo};
    rig.Main.mnuSaveClick();
    EXPECT_TRUE(ReadFile(rig.Path("big.dat")) == full) << "No: the file keeps all its devices";
    rig.SavePath = rig.Path("other.dat");
    rig.Main.mnuSaveAsClick();
    EXPECT_EQ(rig.Messages.size(), 2u) << "Save As to another name does not ask";
    EXPECT_EQ(Count(ReadFile(rig.Path("other.dat")), "\x03"), 256u);
}

// Help: the CHM when it is there, else the program's manual, else the warning;
// a file that is there but cannot be shown is named, whether the viewer fails
// at once or later.  Every box is captioned with the program's name.
TEST(MainWindowFiles, HelpOpensTheChmThenTheManual) {
    struct Case {
        const char* name;
        bool chm, manual, chmOpens, manualOpens, failsLater;
        const char* opened;  // the file that ends up open, "" for none
        const char* says;    // the start of the message, "" for none
    };
    const Case cases[] = {
        {"both", true, true, true, true, false, "KLV70CE.CHM", ""},
        {"manual only", false, true, true, true, false, "tarnel-manual.html", ""},
        {"no CHM viewer", true, true, false, true, false, "tarnel-manual.html", ""},
        {"neither", false, false, true, true, false, "", "Not found Help File."},
        {"no viewer at all", false, true, true, false, false, "", "Cannot show the help file \""},
        {"no browser behind the opener", false, true, true, true, true, "tarnel-manual.html",
         "Cannot show the help file \""},
    };
    for (const Case& c : cases) {
        UiRig rig;
        const QString help = QString::fromStdString(rig.Files.HelpDir());
        const QString manual = QString::fromStdString(rig.Dir.Path) + "tarnel-manual.html";
        if (c.chm) WriteFile(rig.Files.HelpDir() + "KLV70CE.CHM", "chm");
        if (c.manual) WriteFile(manual.toStdString(), "<html></html>");
        QString opened;
        OpenHelp(help, QLocale::English, {QString::fromStdString(rig.Dir.Path) + "missing.html", manual},
                 [&](const QString& path, const std::function<void(const QString&)>& failed) {
                     if (path.endsWith(".CHM") ? !c.chmOpens : !c.manualOpens) return QString("no xdg-open");
                     opened = QFileInfo(path).fileName();
                     if (c.failsLater) failed("no method available");
                     return QString();
                 });
        EXPECT_EQ(opened, c.opened) << c.name;
        EXPECT_EQ(rig.LastMessage().left(int(std::strlen(c.says))), c.says) << c.name;
        EXPECT_EQ(rig.LastMessage().contains(manual), c.says[0] == 'C') << c.name << ": the manual is named";
        for (const ShownMessage& m : rig.Messages) EXPECT_EQ(m.Caption, "Tarnel") << c.name;
    }
    EXPECT_EQ(HelpFileName(QLocale::Japanese), "KLV70CJ.CHM");
    EXPECT_EQ(ManualPaths("/usr/bin/", QLocale::Japanese),
              QStringList({"/usr/bin/tarnel-manual-ja.html", "/usr/bin/../share/doc/tarnel/tarnel-manual-ja.html",
                           "/usr/bin/tarnel-manual.html", "/usr/bin/../share/doc/tarnel/tarnel-manual.html"}));
}

// A filled-in text of the string table is shown translated with its values
// in the translation's places, line by line; a text of no table entry stays
// as it is.
TEST(Language, MessageBoxShowsStringTableTextsTranslatedAndAsPlainText) {
    struct Swapped : QTranslator {
        QString translate(const char* context, const char* source, const char*, int) const override {
            if (QByteArray(context) != "Strings") return {};
            if (!std::strcmp(source, MessageText(MSG_OPEN_UNREADABLE))) return "[%r] <%s>";
            if (!std::strcmp(source, MessageText(MSG_NAK))) return "<b>refused</b>";
            return {};
        }
    } swapped;
    QCoreApplication::installTranslator(&swapped);
    EXPECT_EQ(
        TranslatedMessage("Cannot read the device file \"/tmp/a %r.dat\": Permission denied. The list is unchanged."),
        "[Permission denied] </tmp/a %r.dat>");
    EXPECT_EQ(TranslatedMessage(QString(MessageText(MSG_NAK)) + "\nsomething else"), "<b>refused</b>\nsomething else");
    EXPECT_EQ(TranslatedMessage("Save changes to a.dat?"), "Save changes to a.dat?") << "not translated: as it is";

    // The box shows it as it is: what looks like markup is not rendered.
    std::pair<Qt::TextFormat, QString> seen;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = {box->textFormat(), box->text()};
            box->accept();
        }
    });
    ShowMessageId(MSG_NAK, mtWarning, mbOK);
    EXPECT_EQ(seen, std::pair(Qt::PlainText, QString("<b>refused</b>")));
    QCoreApplication::removeTranslator(&swapped);
}
