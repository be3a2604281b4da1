#include "ui/Msgbox.h"

#include <QApplication>
#include <QMessageBox>

#include "rules/Strings.h"
#include "ui/Language.h"

std::function<int(const QString&, int, int, const QString&)> MessageBoxHook;

namespace {
struct ButtonMap {
    int Bit;
    QMessageBox::StandardButton Button;
    int Result;
};
const ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbSave, QMessageBox::Save, mrSave},
    {mbDiscard, QMessageBox::Discard, mrDiscard},
};

int Show(const QString& text, int type, int buttons, const QString& caption) {
    if (MessageBoxHook) return MessageBoxHook(text, type, buttons, caption);
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(type == mtWarning       ? QMessageBox::Warning
                : type == mtError       ? QMessageBox::Critical
                : type == mtInformation ? QMessageBox::Information
                                        : QMessageBox::Question);
    QMessageBox::StandardButtons set;
    for (const ButtonMap& b : kButtons)
        if (buttons & b.Bit) set |= b.Button;
    box.setStandardButtons(set == QMessageBox::NoButton ? QMessageBox::Ok : set);
    const int pressed = box.exec();
    for (const ButtonMap& b : kButtons)
        if (pressed == b.Button) return b.Result;
    return mrCancel;
}
}  // namespace

int ShowMessageText(const QString& text, int type, int buttons) {
    return Show(TranslatedMessage(text), type, buttons, TranslatedMessage(QString::fromLatin1(MessageText(MSG_TITLE))));
}

int ShowMessageId(int id, int type, int buttons) {
    return ShowMessageText(QString::fromLatin1(MessageText(id)), type, buttons);
}
