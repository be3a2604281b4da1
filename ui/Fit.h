// Sizes taken from the font rather than from fixed pixels, so that a window
// shows what it holds at any font size and screen density.
#pragma once

#include <QDialog>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

// Makes the edit as wide as the widest text it has to show, e.g.
// "255.255.255.255" for an address, frame and cursor included.
void FitEdit(QLineEdit* edit, const QString& widest);
// A length given in pixels at 96 dpi and a 12-pixel font, grown with the font
// the widget actually has.
int Scaled(const QWidget* widget, int pixels);
// Opens or closes an edit; a closed one takes the window's background, so that
// it plainly differs from an open one in a dark palette as in a light one.
void OpenEdit(QLineEdit* edit, bool open);
// The body above, OK and Cancel below it on the right, and a note, if any,
// between them; the dialog takes the size its contents need and keeps it.
void LayOutDialog(QDialog* dialog, QLayout* body, QPushButton* ok, QPushButton* cancel, QWidget* note = nullptr);
