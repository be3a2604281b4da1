// The program's message boxes: modal, captioned with the application title.
#pragma once

#include <QString>
#include <functional>

enum MsgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };
// Button set bits, in the order Yes, No, OK, Cancel, Abort, Retry, Ignore.
constexpr int mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64;
// Results: the button pressed.
constexpr int mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;

int ShowMessageId(int id, int type, int buttons);
int ShowMessageText(const QString& text, int type, int buttons);
// A warning under the toolkit's own caption rather than the program's.
int ShowPlainWarning(const QString& text);

// Set by tests to answer boxes without showing them: gets the text, the type,
// the buttons and the caption, returns the button pressed.
extern std::function<int(const QString&, int, int, const QString&)> MessageBoxHook;
