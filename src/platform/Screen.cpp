#include "platform/Screen.h"

#include "platform/Twips.h"

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
    return screen ? int(PixelsToTwips(screen->geometry().height())) : 0;
}

QSize Primary::AvailablePixels() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

} // namespace Screen
