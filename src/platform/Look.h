#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// Colours and fonts of the windows. The faces are named as designed; the system's font
// substitution maps them to their metric twins.
inline QColor Rgb(int red, int green, int blue) {
    return QColor(red, green, blue);
}

namespace Colors {
inline const QColor LightBlue = Rgb(128, 128, 255);
inline const QColor Blue = Rgb(0, 0, 255);
inline const QColor Navy = Rgb(0, 0, 128);
inline const QColor Yellow = Rgb(255, 255, 0);
inline const QColor LightYellow = Rgb(255, 255, 192);
inline const QColor Green = Rgb(0, 255, 0);
inline const QColor Red = Rgb(255, 0, 0);
inline const QColor White = Rgb(255, 255, 255);
inline const QColor Black = Rgb(0, 0, 0);
} // namespace Colors

void SetColors(QWidget* widget, const QColor& text, const QColor& back);
void SetBackground(QWidget* widget, const QColor& back);
QFont Face(const char* family, double points, bool bold = false);
