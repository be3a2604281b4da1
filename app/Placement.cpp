#include "app/Placement.h"

#include <QGuiApplication>
#include <QScreen>

#include "files/Inifile.h"
#include "files/Windowplace.h"

void RestorePlace(QWidget* window, TDeviceGrid* grid, const std::string& settingsPath, QSize drawn) {
    if (const QStringList kept = ReadShownColumns(settingsPath); !kept.isEmpty()) grid->SetShownKeys(kept);
    const std::optional<WindowPlace> place = ReadWindowPlace(settingsPath);
    // A place on a screen that is no longer there would hide the window.
    const bool onScreen = place && QGuiApplication::screenAt(QPoint(place->Left, place->Top)) != nullptr;
    if (!onScreen) {
        window->resize(drawn);
        if (const QScreen* s = window->screen()) window->move(s->availableGeometry().center() - window->rect().center());
        return;
    }
    window->setGeometry(place->Left, place->Top, place->Width, place->Height);
    if (place->Maximized) window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void SavePlace(const QWidget* window, const TDeviceGrid* grid, const std::string& settingsPath) {
    SaveShownColumns(settingsPath, grid->ShownKeys());
    // A maximised window keeps the size it will return to.
    const QRect normal = window->isMaximized() ? window->normalGeometry() : window->geometry();
    WriteWindowPlace(settingsPath, {normal.x(), normal.y(), normal.width(), normal.height(), window->isMaximized()});
}

QStringList ReadShownColumns(const std::string& settingsPath) {
    const std::optional<std::string> text = ReadIniValue(settingsPath, WINDOW_SECTION, "Columns");
    return text ? QString::fromStdString(*text).split(',', Qt::SkipEmptyParts) : QStringList();
}

void SaveShownColumns(const std::string& settingsPath, const QStringList& keys) {
    WriteIniValue(settingsPath, WINDOW_SECTION, "Columns", keys.join(',').toStdString());
}
