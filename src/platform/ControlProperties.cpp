#include "platform/ControlProperties.h"

#include "platform/Controls.h"
#include "platform/Twips.h"

#include <QProgressBar>
#include <QWidget>

namespace {

bool HasFont(const QWidget* widget) {
    return !qobject_cast<const ImageBox*>(widget) && !qobject_cast<const QProgressBar*>(widget);
}

double* EndPoint(LineControl* line, Property property) {
    switch (property) {
    case Property::X1:
        return &line->X1;
    case Property::Y1:
        return &line->Y1;
    case Property::X2:
        return &line->X2;
    case Property::Y2:
        return &line->Y2;
    default:
        return nullptr;
    }
}

} // namespace

bool ReadProperty(const QObject* control, Property property, double& value) {
    if (auto* line = qobject_cast<LineControl*>(const_cast<QObject*>(control))) {
        const double* point = EndPoint(line, property);
        if (point)
            value = *point;
        return point != nullptr;
    }
    const auto* widget = qobject_cast<const QWidget*>(control);
    if (!widget)
        return false;
    switch (property) {
    case Property::Top:
        value = PixelsToTwips(widget->y());
        return true;
    case Property::Left:
        value = PixelsToTwips(widget->x());
        return true;
    case Property::Height:
        value = PixelsToTwips(widget->height());
        return true;
    case Property::Width:
        value = PixelsToTwips(widget->width());
        return true;
    case Property::FontSize:
        if (!HasFont(widget))
            return false;
        value = widget->font().pointSizeF();
        return true;
    default:
        return false;
    }
}

bool WriteProperty(QObject* control, Property property, double value) {
    if (auto* line = qobject_cast<LineControl*>(control)) {
        double* point = EndPoint(line, property);
        if (!point)
            return false;
        *point = value;
        line->Refresh();
        return true;
    }
    auto* widget = qobject_cast<QWidget*>(control);
    if (!widget)
        return false;
    const int pixels = TwipsToPixels(value);
    switch (property) {
    case Property::Top:
        widget->move(widget->x(), pixels);
        return true;
    case Property::Left:
        widget->move(pixels, widget->y());
        return true;
    case Property::Height:
        widget->resize(widget->width(), pixels);
        return true;
    case Property::Width:
        widget->resize(pixels, widget->height());
        return true;
    case Property::FontSize: {
        if (!HasFont(widget) || value <= 0)
            return false;
        QFont font = widget->font();
        font.setPointSizeF(value);
        widget->setFont(font);
        return true;
    }
    default:
        return false;
    }
}
