#include "shell/Window.h"

#include "shell/FormZoomed.h"

void Window::scaleToScreen() {
    scalePercent_ = FormZoomed::LoadProtocol(*this, [this](qint32 percent) {
        scalePercent_ = percent;
        scaleChanged();
    });
}

qint32 Window::scaled(double designTwips) const {
    return FormZoomed::Scaled(designTwips, scalePercent_);
}
