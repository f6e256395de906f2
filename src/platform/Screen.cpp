#include "platform/Screen.h"

#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
std::optional<int>& TestHeight() {
    static std::optional<int> height;
    return height;
}
} // namespace

namespace Screen {

int HeightTwips() {
    if (TestHeight())
        return *TestHeight();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? int(PixelsToTwips(screen->geometry().height())) : 0;
}

void SetHeightForTests(std::optional<int> twips) {
    TestHeight() = twips;
}

} // namespace Screen
