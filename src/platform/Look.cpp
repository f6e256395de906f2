#include "platform/Look.h"

#include <QPalette>
#include <QWidget>

void SetColors(QWidget* widget, const QColor& text, const QColor& back) {
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetBackground(QWidget* widget, const QColor& back) {
    QPalette palette = widget->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QFont Face(const char* family, double points, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
