#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace Screen {

int HeightTwips() {
    return Primary::Current().HeightTwips();
}

QSize AvailablePixels() {
    return Primary::Current().AvailablePixels();
}

int Primary::HeightTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // 15 twips to a pixel.
    return screen ? screen->geometry().height() * 15 : 0;
}

QSize Primary::AvailablePixels() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

} // namespace Screen
