#include "app/Document.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "files/Devfile.h"
#include "files/Plancsv.h"
#include "rules/Strings.h"
#include "ui/Msgbox.h"

namespace {
const char* const kFilter = QT_TRANSLATE_NOOP("TDocument", "Device file(*.dat);;All files(*.*)");
const QString kTitle = QStringLiteral("Tarnel");

// A message about a file; the name goes in last, so one that holds "%r" or
// "%n" stays as it is.
QString FileMessage(int id, const QString& file, const QString& reason = {}, size_t count = 0) {
    return QString::fromLatin1(MessageText(id))
        .replace("%r", reason)
        .replace("%n", QString::number(count))
        .replace("%s", file);
}

QString Tr(const char* text) { return QCoreApplication::translate("TDocument", text); }

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString AskSaveName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
                    const char* suffix) {
    QFileDialog dialog(parent, title, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
}  // namespace

TDocument::TDocument(TmTable& table, TmFile& files, QWidget* window) : Table(table), Files(files), Window(window) {
    AskOpenPath = [this](const QString& dir) {
        return QFileDialog::getOpenFileName(Window, QString(), dir, Tr(kFilter));
    };
    AskSavePath = [this](const QString& dir) { return AskSaveName(Window, QString(), dir, Tr(kFilter), "dat"); };
    AskCsvPath = [this](const QString& dir) {
        return AskSaveName(Window, Tr(QT_TRANSLATE_NOOP("TDocument", "Export CSV")), dir,
                           Tr(QT_TRANSLATE_NOOP("TDocument", "CSV file(*.csv);;All files(*.*)")), "csv");
    };
}

void TDocument::SetFileCaption(bool modified) {
    Modified = modified;
    Window->setWindowTitle(QString("%1 - %2%3").arg(kTitle, QFileInfo(FilePath).fileName(), modified ? "*" : ""));
}

void TDocument::MarkModified() {
    if (FileNamed == 1) SetFileCaption(true);
}

// A file that cannot be read, or is no device file, is not opened: the list,
// the current file and the caption stay as they were.
bool TDocument::Open() {
    const QString path = AskToSaveChanges() ? AskOpenPath(QString::fromStdString(Files.DataDir())) : QString();
    if (path.isEmpty()) return false;
    const DeviceFileRead read = LoadDeviceFile(Table, LocalPath(path));
    if (read.Outcome != DeviceFileOutcome::Read) {
        const bool unreadable = read.Outcome == DeviceFileOutcome::CannotRead;
        ShowMessageText(FileMessage(unreadable ? MSG_OPEN_UNREADABLE : MSG_OPEN_FOREIGN, path,
                                    QString::fromStdString(read.Reason)),
                        mtWarning, mbOK);
        return false;
    }
    if (Table.ChangeMask() & CHG_DEVICE) Table.UpdateChangeMask(CHG_DEVICE, MaskUpdate::Clear);
    Table.TakeChanges();
    if (ListReplaced) ListReplaced();
    FilePath = path;
    FileNamed = 1;
    LeftOutOnOpen = read.LeftOut;
    SetFileCaption(false);
    if (read.LeftOut > 0) ShowMessageText(FileMessage(MSG_OPEN_LEFT_OUT, path, {}, read.LeftOut), mtWarning, mbOK);
    return true;
}

// A save that fails keeps the "*" and says which file was not written.  Over
// a file whose devices did not all fit in the list, it asks first.
bool TDocument::SaveTo(const QString& path) {
    if (LeftOutOnOpen > 0 && path == FilePath &&
        ShowMessageText(FileMessage(MSG_SAVE_FEWER, path, {}, LeftOutOnOpen), mtConfirmation, mbYes | mbNo) != mrYes)
        return false;
    const FileSave saved = SaveDeviceFile(Table, LocalPath(path));
    if (!saved.Saved) {
        ShowMessageText(FileMessage(MSG_SAVE_FAILED, path), mtWarning, mbOK);
        return false;
    }
    LeftOutOnOpen = 0;
    FilePath = path;
    FileNamed = 1;
    SetFileCaption(false);
    return true;
}

bool TDocument::SaveCurrent() { return FileNamed == 1 ? SaveTo(FilePath) : SaveAs(); }

bool TDocument::SaveAs() {
    const QString path = AskSavePath(QString::fromStdString(Files.DataDir()));
    return !path.isEmpty() && SaveTo(path);
}

void TDocument::ExportCsv() {
    const QString path = AskCsvPath(QString::fromStdString(Files.DataDir()));
    if (path.isEmpty()) return;
    const std::string csv = PlanCsv(Table.Rows());
    const FileSave saved = ReplaceFile(LocalPath(path), {reinterpret_cast<const uint8_t*>(csv.data()), csv.size()});
    if (!saved.Saved)
        ShowMessageText(Tr(QT_TRANSLATE_NOOP("TDocument", "Cannot export to \"%1\": %2."))
                            .arg(path, QString::fromStdString(saved.Reason)),
                        mtWarning, mbOK);
}

bool TDocument::AskToSaveChanges() {
    if (FileNamed != 1 || !Modified) return true;
    // Every message names a file the same way: its whole path, in quotes.
    switch (ShowMessageText(FileMessage(MSG_SAVE_CHANGES, "\"" + FilePath + "\""), mtConfirmation,
                            mbSave | mbDiscard | mbCancel)) {
        case mrSave: return SaveCurrent();
        case mrDiscard: return true;
        default: return false;
    }
}
