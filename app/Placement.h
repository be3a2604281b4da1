// The main window's size and place on the screen, kept between runs.
#pragma once

#include <QSize>
#include <QWidget>
#include <string>

// The first run opens at the drawn size, centred; later runs where the last
// one ended.
void RestorePlace(QWidget* window, const std::string& settingsPath, QSize drawn);
void SavePlace(const QWidget* window, const std::string& settingsPath);
