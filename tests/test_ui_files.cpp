// The main window's file commands and help: what they keep, what they ask.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <fstream>
#include <sstream>

#include "rules/Strings.h"
#include "UiRig.h"
#include "ui/Language.h"

namespace {
void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
std::string ReadBytes(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

std::string Frames(int from, int count) {
    std::string out;
    for (int i = from; i < from + count; ++i) out += "\x02MAC:" + MacOf(i) + "\xFFMODEL:m\xFF\x03";
    return out;
}

// A rig whose message boxes answer from a queue (OK when it runs dry) and
// whose Open and Save As pick the paths given.
struct FileRig : UiRig {
    FileRig() {
        MessageBoxHook = [this](const QString& text, int type, int, const QString& caption) {
            Messages.push_back({text, type, caption});
            if (Answers.empty()) return mrOk;
            const int a = Answers.front();
            Answers.erase(Answers.begin());
            return a;
        };
        Main.Document.AskOpenPath = [this](const QString&) { return QString::fromStdString(OpenPath); };
        Main.Document.AskSavePath = [this](const QString&) { return QString::fromStdString(SavePath); };
    }
    std::string Path(const std::string& name) { return Files.DataDir() + name; }
    // Opens a file written with these bytes.
    void Open(const std::string& name, const std::string& bytes) {
        WriteBytes(Path(name), bytes);
        OpenPath = Path(name);
        Main.mnuOpenClick();
    }
    std::vector<int> Answers;
    std::string OpenPath, SavePath;
};
}  // namespace

// An unreadable or foreign file is not opened: list, file and caption stay.
TEST(MainWindowFiles, OpenRefusesWhatIsNoDeviceFile) {
    struct Case {
        const char* name;
        std::string bytes;  // written to name, unless name is the data folder
        QString message;
    };
    const Case cases[] = {
        {"folder", "", "Cannot read the device file \"%1\": it is a folder. The list is unchanged."},
        {"noise.dat", std::string(5000, '\x03'), "\"%1\" is not a device file. The list is unchanged."},
    };
    for (const Case& c : cases) {
        FileRig rig;
        rig.Open("site.dat", Frames(1, 2));
        rig.Main.mnuDeleteClick();
        const QString caption = rig.Main.windowTitle();
        ASSERT_EQ(caption, "Tarnel - site.dat*");
        rig.Answers = {mrDiscard};
        if (std::string(c.name) == "folder") {
            rig.OpenPath = rig.Files.DataDir();
            rig.Main.mnuOpenClick();
        } else {
            rig.Open(c.name, c.bytes);
        }
        EXPECT_EQ(rig.LastMessage(), c.message.arg(QString::fromStdString(rig.OpenPath))) << c.name;
        EXPECT_EQ(rig.Main.windowTitle(), caption) << c.name;
        EXPECT_EQ(rig.Table.Count(), 1) << c.name;
        EXPECT_EQ(rig.Main.Document.FilePath.toStdString(), rig.Path("site.dat")) << c.name;
    }
    FileRig rig;
    rig.Take(FullDevice(MacOf(1)));
    rig.Open("empty.dat", "");
    EXPECT_EQ(rig.Table.Count(), 0) << "an empty file is an empty list";
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - empty.dat");
    EXPECT_TRUE(rig.Messages.empty());
}

// 300 devices: 44 left out, said once; Save over that file asks first, Save As
// to another name does not.
TEST(MainWindowFiles, OverFullFileSaysWhatWasLeftOutAndSaveAsks) {
    FileRig rig;
    const std::string full = Frames(0, 300);
    rig.Open("big.dat", full);
    EXPECT_EQ(rig.Table.Count(), 256);
    ASSERT_EQ(rig.Messages.size(), 1u);
    EXPECT_EQ(rig.LastMessage().toStdString(), "The device file \"" + rig.Path("big.dat") +
                                                   "\" holds more devices than the list can hold; devices left out: 44.");
    rig.Answers = {mrNo};
    rig.Main.mnuSaveClick();
    EXPECT_EQ(rig.Messages.back().Type, mtConfirmation);
    EXPECT_TRUE(ReadBytes(rig.Path("big.dat")) == full) << "No: the file keeps all its devices";
    rig.SavePath = rig.Path("other.dat");
    rig.Main.mnuSaveAsClick();
    EXPECT_EQ(rig.Messages.size(), 2u) << "Save As to another name does not ask";
    const std::string other = ReadBytes(rig.Path("other.dat"));
    EXPECT_EQ(std::count(other.begin(), other.end(), '\x03'), 256);
    rig.Main.mnuSaveClick();
    EXPECT_EQ(rig.Messages.size(), 2u) << "other.dat holds the whole list";
}

// Open, Exit and the close box ask before a changed list is lost; Cancel
// keeps everything, a failed save cancels, Discard goes on.
TEST(MainWindowFiles, UnsavedChangesAreAskedAbout) {
    FileRig rig;
    rig.Open("site.dat", Frames(1, 2));
    rig.Main.mnuAllDeleteLClick();  // does not ask: the list is still there to save
    EXPECT_TRUE(rig.Messages.empty());
    rig.Take(FullDevice(MacOf(5)));
    rig.Main.MarkModified();

    rig.Answers = {mrCancel};
    EXPECT_FALSE(rig.Main.close());
    EXPECT_EQ(rig.LastMessage().toStdString(), "Save changes to \"" + rig.Path("site.dat") + "\"?");
    rig.Answers = {mrCancel};
    rig.OpenPath = rig.Path("site.dat");
    rig.Main.mnuOpenClick();
    EXPECT_EQ(rig.Table.Count(), 1) << "Cancel: nothing happens";
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat*");

    const std::string savedPath = rig.Path("site.dat");
    rig.Main.Document.FilePath = QString::fromStdString(rig.Dir.Path + "gone/site.dat");
    rig.Answers = {mrSave};
    EXPECT_FALSE(rig.Main.close()) << "a failed save cancels the exit";
    EXPECT_TRUE(rig.LastMessage().startsWith("Cannot save the device file"));

    rig.Main.Document.FilePath = QString::fromStdString(savedPath);
    rig.Answers = {mrSave};
    EXPECT_TRUE(rig.Main.close());
    const std::vector<uint8_t> list = DeviceFileBytes(rig.Table.Rows());
    EXPECT_EQ(ReadBytes(savedPath), std::string(list.begin(), list.end()));
    EXPECT_EQ(rig.Main.windowTitle(), "Tarnel - site.dat");

    rig.Main.MarkModified();
    rig.Answers = {mrDiscard};
    const size_t asked = rig.Messages.size();
    EXPECT_TRUE(rig.Main.close());
    EXPECT_EQ(rig.Messages.size(), asked + 1);
}

// Message boxes show text as it is: a name that looks like markup is not rendered.
TEST(MainWindowFiles, MessagesArePlainText) {
    UiRig rig;
    MessageBoxHook = nullptr;
    Qt::TextFormat format = Qt::AutoText;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        format = box->textFormat();
        text = box->text();
        box->accept();
    });
    ShowMessageText("x<b>BOLD<i>ital.dat", mtWarning, mbOK);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(text, "x<b>BOLD<i>ital.dat");
}

// Help: the CHM when it is there, else the program's manual, else the warning;
// a file that is there but cannot be shown is named, whether the viewer
// fails at once or later.
TEST(MainWindowFiles, HelpOpensTheChmThenTheManual) {
    struct Case {
        const char* name;
        bool chm, manual, chmOpens, manualOpens, failsLater;
        const char* opened;  // the file that ends up open, nullptr: none
        const char* says;    // the start of the message, "" for none
    };
    const Case cases[] = {
        {"both", true, true, true, true, false, "KLV70CE.CHM", ""},
        {"manual only", false, true, true, true, false, "tarnel-manual.html", ""},
        {"no CHM viewer", true, true, false, true, false, "tarnel-manual.html", ""},
        {"neither", false, false, true, true, false, nullptr, "Not found Help File."},
        {"no viewer at all", false, true, true, false, false, nullptr, "Cannot show the help file \""},
        {"no browser behind the opener", false, true, true, true, true, "tarnel-manual.html",
         "Cannot show the help file \""},
    };
    for (const Case& c : cases) {
        UiRig rig;
        const QString help = QString::fromStdString(rig.Files.HelpDir());
        const QString manual = QString::fromStdString(rig.Dir.Path) + "tarnel-manual.html";
        if (c.chm) WriteBytes(rig.Files.HelpDir() + "KLV70CE.CHM", "chm");
        if (c.manual) WriteBytes(manual.toStdString(), "<html></html>");
        QString opened;
        OpenHelp(help, QLocale::English, {QString::fromStdString(rig.Dir.Path) + "missing.html", manual},
                 [&](const QString& path, const std::function<void(const QString&)>& failed) {
                     const bool chm = path.endsWith(".CHM");
                     if (chm ? !c.chmOpens : !c.manualOpens) return QString("no xdg-open");
                     opened = QFileInfo(path).fileName();
                     if (c.failsLater) failed("no method available");
                     return QString();
                 });
        EXPECT_EQ(opened, c.opened ? QString(c.opened) : QString()) << c.name;
        EXPECT_EQ(rig.LastMessage().left(int(std::strlen(c.says))), c.says) << c.name;
        if (c.says[0] == 'C') {
            EXPECT_TRUE(rig.LastMessage().contains(manual)) << c.name << ": the manual is named";
        }
        for (const ShownMessage& m : rig.Messages) EXPECT_EQ(m.Caption, "Tarnel") << c.name;
    }
    EXPECT_EQ(ManualPaths("/usr/bin/").value(1), "/usr/bin/../share/doc/tarnel/tarnel-manual.html");
    EXPECT_EQ(ManualPaths("/usr/bin/", QLocale::Japanese),
              QStringList({"/usr/bin/tarnel-manual-ja.html", "/usr/bin/../share/doc/tarnel/tarnel-manual-ja.html",
                           "/usr/bin/tarnel-manual.html", "/usr/bin/../share/doc/tarnel/tarnel-manual.html"}));

    // The desktop's opener itself: missing, and present with no browser
    // behind it (it ends with code 3 and its reason on standard error).
    UiRig rig;
    const QString manual = QString::fromStdString(rig.Dir.Path) + "tarnel-manual.html";
    WriteBytes(manual.toStdString(), "<html></html>");
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", rig.Dir.Path.c_str(), 1);
    OpenHelp(QString::fromStdString(rig.Files.HelpDir()), QLocale::English, {manual});
    EXPECT_TRUE(rig.LastMessage().startsWith("Cannot show the help file \"" + manual + "\": no program to open it"))
        << rig.LastMessage().toStdString();
    const std::string opener = rig.Dir.Path + "xdg-open";
    WriteBytes(opener, "#!/bin/sh\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
    ::chmod(opener.c_str(), 0755);
    rig.Messages.clear();
    OpenHelp(QString::fromStdString(rig.Files.HelpDir()), QLocale::English, {manual});
    for (int i = 0; i < 500 && rig.Messages.empty(); ++i) QTest::qWait(10);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(rig.LastMessage(), "Cannot show the help file \"" + manual + "\": xdg-open: no method available for opening '" +
                                     manual + "'. Please open it with a web browser.");
}

// The language the help and the windows take: gettext's order, and only the
// languages the program has (English, Japanese); the rest get English.
TEST(Language, DesktopLanguageReadAsGettextReadsIt) {
    struct Case {
        const char *language, *all, *messages, *lang;
        QLocale::Language expected;
    };
    const Case cases[] = {
        {"", "", "", "ja_JP.UTF-8", QLocale::Japanese},
        {"", "", "ja_JP.UTF-8", "en_US.UTF-8", QLocale::Japanese},
        {"", "en_US.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", QLocale::English},
        {"ja", "", "", "en_US.UTF-8", QLocale::Japanese},
        {"fr:ja:en", "", "", "de_DE.UTF-8", QLocale::Japanese},  // French missing, Japanese next
        {"en:ja", "", "", "ja_JP.UTF-8", QLocale::English},
        {"ja", "C.UTF-8", "", "", QLocale::English},  // under the C locale LANGUAGE does not count
        {"ja", "", "", "", QLocale::English},
        {"", "", "", "zh_CN.UTF-8", QLocale::English},
        {"", "", "", "ja_JP.eucJP@euro", QLocale::Japanese},
    };
    for (const Case& c : cases) {
        const auto env = [&](const char* name) {
            const std::string n = name;
            return QByteArray(n == "LANGUAGE" ? c.language : n == "LC_ALL" ? c.all : n == "LC_MESSAGES" ? c.messages
                              : n == "LANG"                                    ? c.lang
                                                                               : "");
        };
        EXPECT_EQ(DesktopLanguage(env), c.expected) << c.language << " " << c.all << " " << c.messages << " " << c.lang;
    }
}

// A filled-in text of the string table is shown translated with its values
// in the translation's places; a text of no table entry stays as it is.
TEST(Language, MessageBoxTranslatesStringTableTexts) {
    struct Swapped : QTranslator {
        QString translate(const char* context, const char* source, const char*, int) const override {
            if (QByteArray(context) != "Strings") return {};
            if (!std::strcmp(source, MessageText(MSG_OPEN_UNREADABLE))) return "[%r] <%s>";
            if (!std::strcmp(source, MessageText(MSG_BAD_BYTE))) return "%s / %s";
            if (!std::strcmp(source, MessageText(MSG_REBOOT))) return "reboot?";
            if (!std::strcmp(source, MessageText(MSG_NAK))) return "refused";
            return {};
        }
    } swapped;
    QCoreApplication::installTranslator(&swapped);
    EXPECT_EQ(TranslatedMessage("Cannot read the device file \"/tmp/a %r.dat\": Permission denied. The list is unchanged."),
              "[Permission denied] </tmp/a %r.dat>");
    EXPECT_EQ(TranslatedMessage("NAME holds a character that cannot be sent (0x07)."), "NAME / 0x07");
    EXPECT_EQ(TranslatedMessage(MessageText(MSG_REBOOT)), "reboot?") << "a text of two lines, whole";
    EXPECT_EQ(TranslatedMessage(QString(MessageText(MSG_NAK)) + "\nsomething else"), "refused\nsomething else");
    EXPECT_EQ(TranslatedMessage("Save changes to a.dat?"), "Save changes to a.dat?") << "not translated: as it is";
    UiRig rig;
    ShowMessageId(MSG_NAK, mtWarning, mbOK);
    EXPECT_EQ(rig.LastMessage(), "refused");
    QCoreApplication::removeTranslator(&swapped);
}
