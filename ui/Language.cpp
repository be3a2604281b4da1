#include "ui/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

#include "rules/Strings.h"

namespace {
// The language part of a locale name: "ja" of "ja_JP.UTF-8".
QString LanguageOf(const QByteArray& name) {
    return QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0).section(
        QLatin1Char('_'), 0, 0);
}

QLocale::Language Known(const QString& language) {
    if (language == "ja") return QLocale::Japanese;
    if (language == "en") return QLocale::English;
    return QLocale::AnyLanguage;
}

const QRegularExpression kPlaceholder(QStringLiteral("%[sdnr]"));

// A string-table text as a pattern: each placeholder a group, the rest as it is.
QRegularExpression Pattern(const QString& text) {
    QStringList parts = text.split(kPlaceholder);
    for (QString& part : parts) part = QRegularExpression::escape(part);
    return QRegularExpression(QRegularExpression::anchoredPattern(parts.join(QStringLiteral("(.*)"))),
                              QRegularExpression::DotMatchesEverythingOption);
}

QString TranslateOne(const QString& text, const char* context, const std::vector<const char*>& sources) {
    for (const char* english : sources) {
        const QString source = QString::fromLatin1(english);
        const QString translated = QCoreApplication::translate(context, english);
        if (translated == source) continue;
        const QRegularExpressionMatch m = Pattern(source).match(text);
        if (!m.hasMatch()) continue;
        // Each placeholder of the translation takes the value the same
        // placeholder had in the source, the n-th "%s" that of the n-th.
        QStringList kinds;
        for (auto it = kPlaceholder.globalMatch(source); it.hasNext();) kinds << it.next().captured();
        QString out;
        qsizetype from = 0;
        QHash<QString, int> used;
        for (auto it = kPlaceholder.globalMatch(translated); it.hasNext();) {
            const QRegularExpressionMatch p = it.next();
            out += translated.mid(from, p.capturedStart() - from);
            const QString kind = p.captured();
            int seen = used[kind]++;
            int group = 0;
            for (int i = 0; i < kinds.size() && group == 0; ++i)
                if (kinds[i] == kind && seen-- == 0) group = i + 1;
            out += group > 0 ? m.captured(group) : kind;
            from = p.capturedEnd();
        }
        return out + translated.mid(from);
    }
    return text;
}
}  // namespace

QLocale::Language DesktopLanguage(const std::function<QByteArray(const char*)>& env) {
    QByteArray locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (locale = env(name); !locale.isEmpty()) break;
    // Under the C locale gettext passes LANGUAGE over, and so does the program.
    if (!locale.isEmpty() && locale != "C" && locale != "POSIX" && !locale.startsWith("C.")) {
        for (const QByteArray& entry : env("LANGUAGE").split(':'))
            if (const QLocale::Language l = Known(LanguageOf(entry)); l != QLocale::AnyLanguage) return l;
    }
    return Known(LanguageOf(locale)) == QLocale::Japanese ? QLocale::Japanese : QLocale::English;
}

void InstallTranslations(QLocale::Language language) {
    if (language != QLocale::Japanese) return;
    // Kept for the life of the program: the windows look their texts up in them.
    static QTranslator own, toolkit;
    if (own.load(QStringLiteral(":/i18n/tarnel_ja.qm"))) QCoreApplication::installTranslator(&own);
    if (toolkit.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkit);
}

QString TranslatedText(const QString& text, const char* context, const std::vector<const char*>& sources) {
    if (const QString whole = TranslateOne(text, context, sources); whole != text || !text.contains(QLatin1Char('\n')))
        return whole;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) line = TranslateOne(line, context, sources);
    return lines.join(QLatin1Char('\n'));
}

QString TranslatedReason(const QString& text) {
    // As rules/Conflicts and the table word them; a reason missing here is
    // shown in English, and the Japanese layout test names it.
    static const std::vector<const char*> reasons = {
        QT_TRANSLATE_NOOP("Reasons", "main address %s is also used by %s"),
        QT_TRANSLATE_NOOP("Reasons",
                          "main address %s is in none of this computer's subnets (only a router reaches it)"),
        QT_TRANSLATE_NOOP("Reasons", "gateway %s is not in its own subnet (mask %s)"),
        QT_TRANSLATE_NOOP("Reasons", "main address %s is a loopback address"),
        QT_TRANSLATE_NOOP("Reasons", "main address %s is this computer's own address"),
        QT_TRANSLATE_NOOP("Reasons", "main address %s is its subnet's network address"),
        QT_TRANSLATE_NOOP("Reasons", "main address %s is its subnet's broadcast address"),
        QT_TRANSLATE_NOOP("Reasons", "answers from two addresses: %s and %s"),
        QT_TRANSLATE_NOOP("Reasons", "answers with two serials: %s and %s"),
    };
    return TranslatedText(text, "Reasons", reasons);
}

QString TranslatedMessage(const QString& text) {
    std::vector<const char*> table;
    for (int id : MessageIds()) table.push_back(MessageText(id));
    return TranslatedText(text, "Strings", table);
}
