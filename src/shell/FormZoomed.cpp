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

using FormZoomed::DesignLayout;

void ScaleControls(Form& form, const DesignLayout& layout, qint32 percent) {
    const std::vector<QObject*>& controls = form.Controls();
    const std::size_t count = std::min(controls.size(), layout.controls.size());
    for (std::size_t i = 0; i < count; ++i) {
        const DesignLayout::Saved& saved = layout.controls[i];
        bool lacksProperty = false;
        for (std::size_t p = 0; p < saved.size(); ++p)
            if (!WriteProperty(controls[i], kBox[p], saved[p] / 100.0 * percent))
                lacksProperty = true;
        if (lacksProperty)
            for (std::size_t p = 0; p < std::size(kEnds); ++p)
                WriteProperty(controls[i], kEnds[p], saved[p] / 100.0 * percent);
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

DesignLayout SaveLayout(const Form& form) {
    DesignLayout layout;
    layout.formHeight = qint32(RoundHalfEven(form.Height()));
    layout.formWidth = qint32(RoundHalfEven(form.Width()));
    for (const QObject* control : form.Controls()) {
        DesignLayout::Saved& saved = layout.controls.emplace_back();
        bool lacksProperty = false;
        for (std::size_t p = 0; p < saved.size(); ++p) {
            double value = 0;
            if (ReadProperty(control, kBox[p], value))
                saved[p] = qint32(RoundHalfEven(value));
            else
                lacksProperty = true;
        }
        // A line control has end points instead of a box.
        if (lacksProperty)
            for (std::size_t p = 0; p < std::size(kEnds); ++p) {
                double value = 0;
                if (ReadProperty(control, kEnds[p], value))
                    saved[p] = qint32(RoundHalfEven(value));
            }
    }
    return layout;
}

qint32 ApplyZoom(Form& form, const DesignLayout& layout) {
    qint32 percent = 100;
    if (const std::optional<ZoomRow> row = RowFor(layout.formHeight, Screen::HeightTwips())) {
        percent = row->controlPercent;
        form.SetHeight(layout.formHeight / 100.0 * row->formHeightPercent);
        form.SetWidth(layout.formWidth / 100.0 * row->formWidthPercent);
    } else {
        form.SetHeight(layout.formHeight);
        form.SetWidth(layout.formWidth);
    }
    ScaleControls(form, layout, percent);
    return percent;
}

qint32 LoadProtocol(Form& form, const std::function<void(qint32)>& rescaled) {
    form.BackToDesignLayout();
    form.SetHeight(kDesignHeight);
    form.SetWidth(kDesignWidth);
    const qint32 loadedPercent = ApplyZoom(form, SaveLayout(form));
    const QSize loaded = form.size();
    form.setMinimumSize(
        QSize(TwipsToPixels(kDesignWidth), TwipsToPixels(kDesignHeight)).boundedTo(loaded) *
        kSmallestPercent / 100);
    // Back at the size of the load, the window is as the load made it.
    form.OnResized([&form, loaded, loadedPercent, rescaled] {
        const bool asLoaded = form.size() == loaded;
        const qint32 percent = asLoaded ? loadedPercent : PercentForSize(form);
        Rescale(form, percent, asLoaded ? Spare::AtRight : Spare::Shared);
        if (rescaled)
            rescaled(percent);
    });
    // A window loaded again while on screen stays where the user put it.
    if (!form.isVisible())
        CentreOnScreen(form);
    return loadedPercent;
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
    ScaleControls(form, SaveLayout(form), percent);
    const int shift =
        spare == Spare::Shared
            ? (form.ClientArea().width() - TwipsToPixels(kDesignWidth) * percent / 100) / 2
            : 0;
    if (shift > 0)
        for (QObject* control : form.Controls())
            if (auto* widget = qobject_cast<QWidget*>(control);
                widget && widget->parentWidget() == form.Client())
                widget->move(widget->x() + shift, widget->y());
}

qint32 Scaled(double designTwips, qint32 percent) {
    return qint32(RoundHalfEven(designTwips / 100.0 * percent));
}

} // namespace FormZoomed
