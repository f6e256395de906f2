#include "shell/Window.h"

#include "shell/FormZoomed.h"

#include "platform/Twips.h"

void Window::scaleToScreen() {
    scalePercent_ = FormZoomed::LoadProtocol(*this, [this](qint32 percent) {
        scalePercent_ = percent;
        scaleChanged();
    });
}

qint32 Window::scaled(double designTwips) const {
    return FormZoomed::Scaled(designTwips, scalePercent_);
}

int Window::scaledPixels(double designTwips) const {
    return TwipsToPixels(scaled(designTwips));
}
