// The device list as a document: the current file, whether the list has
// changed since it was opened or saved, and the commands that open, save and
// export it.  The document keeps its window's caption.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "files/File.h"
#include "link/Table.h"

class TDocument {
public:
    TDocument(TmTable& table, TmFile& files, QWidget* window);

    // Each true when it did what it was asked.
    bool Open();
    bool SaveCurrent();
    bool SaveAs();
    // Writes the list as the CSV of tarnel-cli plan.
    void ExportCsv();
    // True when the list may go: it has no unsaved change, or the user saved it
    // or let it go.  Search and All Delete do not come here: the list stays to save.
    bool AskToSaveChanges();
    void MarkModified();

    // How file dialogs are run; tests put their own here.
    std::function<QString(const QString& dir)> AskOpenPath;
    std::function<QString(const QString& dir)> AskSavePath;
    std::function<QString(const QString& dir)> AskCsvPath;
    // Run once an opened file has replaced the list.
    std::function<void()> ListReplaced;

    int FileNamed = 0;
    QString FilePath;

private:
    bool SaveTo(const QString& path);
    void SetFileCaption(bool modified);

    TmTable& Table;
    TmFile& Files;
    QWidget* Window;
    bool Modified = false;     // the caption's "*"
    size_t LeftOutOnOpen = 0;  // devices of the current file the list could not hold
};
