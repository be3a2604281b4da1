// The language the windows speak: Japanese on a Japanese desktop, English
// (the texts as written) everywhere else.  The command line is not translated.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <functional>
#include <vector>

// Read as gettext reads it: LANGUAGE (its first entry the program has a
// translation for, English included) unless the locale is C or POSIX, then
// LC_ALL, LC_MESSAGES, LANG.  Gives QLocale::Japanese or QLocale::English.
QLocale::Language DesktopLanguage(const std::function<QByteArray(const char*)>& env = qgetenv);

// For Japanese, the program's own translation and Qt's for its standard
// dialogs; for English nothing.  Call before any window is made.
void InstallTranslations(QLocale::Language language);

// A text made from one of the English sources, whole or filled in (a file
// name for "%s", a count for "%n"), in the window's language, the values in
// the translation's places; any other text as it is.  Lines of a text are
// matched one by one when the whole does not match.
QString TranslatedText(const QString& text, const char* context, const std::vector<const char*>& sources);
// The same for the texts of the string table.
QString TranslatedMessage(const QString& text);
// The same for why a device is flagged or in doubt, as the checks word it.
QString TranslatedReason(const QString& text);
