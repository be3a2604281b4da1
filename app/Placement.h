// The main window's size and place on the screen, kept between runs.
#pragma once

#include <QSize>
#include <QStringList>
#include <QWidget>
#include <string>

#include "app/Devicegrid.h"

// The first run opens at the drawn size, centred; later runs where the last
// one ended.
// The grid's shown columns are kept beside them.
void RestorePlace(QWidget* window, TDeviceGrid* grid, const std::string& settingsPath, QSize drawn);
void SavePlace(const QWidget* window, const TDeviceGrid* grid, const std::string& settingsPath);

// The grid's shown columns by wire key, kept in the same section; empty when
// none were kept.
QStringList ReadShownColumns(const std::string& settingsPath);
void SaveShownColumns(const std::string& settingsPath, const QStringList& keys);
