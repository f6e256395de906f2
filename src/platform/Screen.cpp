#include "platform/Screen.h"

#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

struct TestScreen {
    int heightTwips;
    QSize available;
};

std::optional<TestScreen>& TestValue() {
    static std::optional<TestScreen> screen;
    return screen;
}

} // namespace

namespace Screen {

int HeightTwips() {
    if (TestValue())
        return TestValue()->heightTwips;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? int(PixelsToTwips(screen->geometry().height())) : 0;
}

QSize AvailablePixels() {
    if (TestValue())
        return TestValue()->available;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

void SetHeightForTests(std::optional<int> twips, QSize availablePixels) {
    if (!twips) {
        TestValue().reset();
        return;
    }
    if (!availablePixels.isValid()) {
        const int pixels = TwipsToPixels(*twips);
        availablePixels = QSize(pixels * 16 / 9, pixels);
    }
    TestValue() = TestScreen{*twips, availablePixels};
}

} // namespace Screen
