#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Outside any namespace: the resource's init function is a global symbol.
// The resources live in a static library, so nothing else would pull them in.
static void LoadResources() {
    static bool loaded = false;
    if (loaded) return;
    Q_INIT_RESOURCE(icons);
    loaded = true;
}

namespace {
// Drawn here rather than by Qt's SVG image plugin, which a desktop need not
// have installed.
QIcon BuiltInIcon(const QString& builtIn) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addPixmap(BuiltInPixmap(builtIn, size));
    return icon;
}
}  // namespace

QPixmap BuiltInPixmap(const QString& builtIn, int size) {
    LoadResources();
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/icons/icons/%1.svg").arg(builtIn));
    QPainter painter(&pixmap);
    svg.render(&painter);
    return pixmap;
}

QIcon ThemedIcon(const QString& themeName, const QString& builtIn) {
    if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    return BuiltInIcon(builtIn);
}

QIcon ProgramIcon() { return ThemedIcon(QStringLiteral("tarnel"), QStringLiteral("tarnel")); }
