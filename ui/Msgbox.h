// The program's message boxes: modal, captioned with the application title.
#pragma once

#include <QString>
#include <functional>

enum MsgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };
// Button set bits, in the order Yes, No, OK, Cancel, Abort, Retry, Ignore; then
// Save and Discard for the question before unsaved changes are lost.
constexpr int mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64;
constexpr int mbSave = 1 << 11, mbDiscard = 1 << 12;
// Results: the button pressed.
constexpr int mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;
constexpr int mrSave = 12, mrDiscard = 13;

// Texts are shown as plain text: a file name or a device text that looks like
// markup is shown as it is, not rendered.
int ShowMessageId(int id, int type, int buttons);
int ShowMessageText(const QString& text, int type, int buttons);

// Set by tests to answer boxes without showing them: gets the text, the type,
// the buttons and the caption, returns the button pressed.
extern std::function<int(const QString&, int, int, const QString&)> MessageBoxHook;
