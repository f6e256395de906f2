#include "shell/FormZoomed.h"

#include "platform/ControlProperties.h"
#include "platform/Form.h"
#include "platform/Screen.h"
#include "platform/Twips.h"

#include <QScreen>
#include <algorithm>
#include <iterator>
#include <optional>

namespace {

struct ZoomRow {
    qint32 screenHeight;
    qint32 controlPercent;
    qint32 formHeightPercent;
    qint32 formWidthPercent;
};

constexpr ZoomRow kZoomRows[] = {
    {9000, 95, 95, 100},    {11520, 122, 122, 128}, {12960, 139, 139, 144},
    {14400, 152, 153, 160}, {15360, 163, 164, 160},
};

constexpr qint32 kDesignHeight = 9000;
constexpr qint32 kDesignWidth = 12000;

// Another height continues the table's trend: the controls at 95 % of the screen's share of the
// design height, the window as high as its controls and as wide as that share of the design
// width; but never beyond what the screen leaves to windows.
ZoomRow TrendRow(qint32 screenTwips) {
    const double share = double(screenTwips) / kDesignHeight;
    const QSize available = Screen::AvailablePixels();
    const qint32 heightRoom = qint32(100 * PixelsToTwips(available.height()) / kDesignHeight);
    const qint32 widthRoom = qint32(100 * PixelsToTwips(available.width()) / kDesignWidth);
    const qint32 formHeight = std::min(qint32(RoundHalfEven(95 * share)), heightRoom);
    const qint32 formWidth = std::min(qint32(RoundHalfEven(100 * share)), widthRoom);
    return {screenTwips, std::min(formHeight, formWidth), formHeight, formWidth};
}

std::optional<ZoomRow> RowFor(qint32 designHeight, qint32 screenTwips) {
    if (designHeight != kDesignHeight)
        return std::nullopt;
    for (const ZoomRow& row : kZoomRows)
        if (screenTwips == row.screenHeight)
            return row;
    const ZoomRow trend = TrendRow(screenTwips);
    if (trend.controlPercent <= 0)
        return std::nullopt;
    return trend;
}

// The smallest a user may make a window, in percent of its design size.
constexpr qint32 kSmallestPercent = 75;

constexpr Property kBox[] = {Property::Top, Property::Left, Property::Height, Property::Width,
                             Property::FontSize};
constexpr Property kEnds[] = {Property::Y1, Property::X1, Property::Y2, Property::X2};

using FormZoomed::Zoom;

// In the order of kBox.
std::vector<qint32> FormZoomed::ZoomState::*const kSaved[] = {
    &FormZoomed::ZoomState::SavedTop, &FormZoomed::ZoomState::SavedLeft,
    &FormZoomed::ZoomState::SavedHeight, &FormZoomed::ZoomState::SavedWidth,
    &FormZoomed::ZoomState::SavedFontSize};

std::vector<qint32>& Saved(int p) {
    return Zoom.*kSaved[p];
}

void ScaleControls(Form& form) {
    Zoom.ControlIndex = 0;
    for (QObject* control : form.Controls()) {
        Zoom.CurrentControl = control;
        const std::size_t i = std::size_t(Zoom.ControlIndex);
        if (i >= Zoom.SavedTop.size())
            break;
        bool lacksProperty = false;
        for (int p = 0; p < 5; ++p)
            if (!WriteProperty(control, kBox[p], Saved(p)[i] / 100.0 * Zoom.ScalePercent))
                lacksProperty = true;
        if (lacksProperty)
            for (int p = 0; p < 4; ++p)
                WriteProperty(control, kEnds[p], Saved(p)[i] / 100.0 * Zoom.ScalePercent);
        ++Zoom.ControlIndex;
    }
}

// The window manager's frame is known only once the window is shown: room is left for a title bar.
constexpr int kTitleBarRoom = 32;

// Centred on the screen that shows it, where the window manager leaves it when it has no place
// of its own for it.
void CentreOnScreen(Form& form) {
    const QScreen* screen = form.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect placed(QPoint(0, 0), form.size() + QSize(0, kTitleBarRoom));
    placed.moveCenter(available.center());
    placed.moveTop(std::max(placed.top(), available.top()));
    form.move(placed.topLeft());
}

} // namespace

namespace FormZoomed {

void SaveLayout(Form& form) {
    Zoom.ControlIndex = 0;
    Zoom.DesignFormHeight = qint32(RoundHalfEven(form.Height()));
    Zoom.DesignFormWidth = qint32(RoundHalfEven(form.Width()));
    for (QObject* control : form.Controls()) {
        Zoom.CurrentControl = control;
        for (int p = 0; p < 5; ++p)
            Saved(p).resize(std::size_t(Zoom.ControlIndex) + 1, 0);
        const std::size_t i = std::size_t(Zoom.ControlIndex);
        bool lacksProperty = false;
        for (int p = 0; p < 5; ++p) {
            double value = 0;
            if (ReadProperty(control, kBox[p], value))
                Saved(p)[i] = qint32(RoundHalfEven(value));
            else
                lacksProperty = true;
        }
        // A line control has end points instead of a box.
        if (lacksProperty)
            for (int p = 0; p < 4; ++p) {
                double value = 0;
                if (ReadProperty(control, kEnds[p], value))
                    Saved(p)[i] = qint32(RoundHalfEven(value));
            }
        ++Zoom.ControlIndex;
    }
}

void ApplyZoom(Form& form) {
    Zoom.ControlIndex = 0;
    Zoom.ScreenHeight = Screen::HeightTwips();
    Zoom.ScalePercent = 0;
    if (const std::optional<ZoomRow> row = RowFor(Zoom.DesignFormHeight, Zoom.ScreenHeight)) {
        Zoom.ScalePercent = row->controlPercent;
        form.SetHeight(Zoom.DesignFormHeight / 100.0 * row->formHeightPercent);
        form.SetWidth(Zoom.DesignFormWidth / 100.0 * row->formWidthPercent);
    } else {
        Zoom.ScalePercent = 100;
        form.SetHeight(Zoom.DesignFormHeight);
        form.SetWidth(Zoom.DesignFormWidth);
    }
    ScaleControls(form);
}

void LoadProtocol(Form& form) {
    form.BackToDesignLayout();
    form.SetHeight(kDesignHeight);
    form.SetWidth(kDesignWidth);
    SaveLayout(form);
    ApplyZoom(form);
    const QSize loaded = form.size();
    const qint32 loadedPercent = Zoom.ScalePercent;
    form.setMinimumSize(
        QSize(TwipsToPixels(kDesignWidth), TwipsToPixels(kDesignHeight)).boundedTo(loaded) *
        kSmallestPercent / 100);
    // Back at the size of the load, the window is as the load made it.
    form.OnResized([&form, loaded, loadedPercent] {
        if (form.size() == loaded)
            Rescale(form, loadedPercent, Spare::AtRight);
        else
            Rescale(form, PercentForSize(form), Spare::Shared);
    });
    // A window loaded again while on screen stays where the user put it.
    if (!form.isVisible())
        CentreOnScreen(form);
}

qint32 PercentForSize(const Form& form) {
    const QRect design = form.DesignBounds();
    const QSize client = form.ClientArea();
    const double percents[] = {100.0 * form.Height() / kDesignHeight,
                               100.0 * form.Width() / kDesignWidth,
                               // No control is cut off.
                               100.0 * client.height() / std::max(design.bottom() + 1, 1),
                               100.0 * client.width() / std::max(design.right() + 1, 1)};
    return std::max(qint32(*std::min_element(std::begin(percents), std::end(percents))), 1);
}

void Rescale(Form& form, qint32 percent, Spare spare) {
    form.BackToDesignLayout();
    SaveLayout(form);
    Zoom.ScalePercent = percent;
    ScaleControls(form);
    const int shift =
        spare == Spare::Shared
            ? (form.ClientArea().width() - TwipsToPixels(kDesignWidth) * percent / 100) / 2
            : 0;
    if (shift > 0)
        for (QObject* control : form.Controls())
            if (auto* widget = qobject_cast<QWidget*>(control);
                widget && widget->parentWidget() == form.Client())
                widget->move(widget->x() + shift, widget->y());
    form.ScaleChanged();
}

qint32 Scaled(double designTwips) {
    return qint32(RoundHalfEven(designTwips / 100.0 * Zoom.ScalePercent));
}

} // namespace FormZoomed
