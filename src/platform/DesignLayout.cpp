#include "platform/DesignLayout.h"

#include "platform/Controls.h"
#include "platform/Screen.h"

#include <QProgressBar>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kDesignHeight = 9000;
constexpr int kDesignWidth = 12000;
// The smallest a user may make a window, in percent of its design size.
constexpr int kSmallestPercent = 75;
// The window manager's frame is known only once the window is shown: room is left for a title bar.
constexpr int kTitleBarRoom = 32;

int TwipsToPixels(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value) {
    return int(std::lrint(value));
}

struct ZoomRow {
    int screenHeight;
    int controlPercent;
    int formHeightPercent;
    int formWidthPercent;
};

constexpr ZoomRow kZoomRows[] = {
    {9000, 95, 95, 100},    {11520, 122, 122, 128}, {12960, 139, 139, 144},
    {14400, 152, 153, 160}, {15360, 163, 164, 160},
};

// Another height continues the table's trend: the controls at 95 % of the screen's share of the
// design height, the window as high as its controls and as wide as that share of the design
// width; but never beyond what the screen leaves to windows.
ZoomRow TrendRow(int screenTwips) {
    const double share = double(screenTwips) / kDesignHeight;
    const QSize available = Screen::AvailablePixels();
    const int heightRoom = int(100.0 * available.height() * kTwipsPerPixel / kDesignHeight);
    const int widthRoom = int(100.0 * available.width() * kTwipsPerPixel / kDesignWidth);
    const int formHeight = std::min(RoundHalfEven(95 * share), heightRoom);
    const int formWidth = std::min(RoundHalfEven(100 * share), widthRoom);
    return {screenTwips, std::min(formHeight, formWidth), formHeight, formWidth};
}

std::optional<ZoomRow> RowFor(int screenTwips) {
    for (const ZoomRow& row : kZoomRows)
        if (screenTwips == row.screenHeight)
            return row;
    const ZoomRow trend = TrendRow(screenTwips);
    if (trend.controlPercent <= 0)
        return std::nullopt;
    return trend;
}

// A design length in pixels at a percentage, by way of twips as the design gives them.
int ScaledPixels(int pixels, int percent) {
    return TwipsToPixels(double(pixels * kTwipsPerPixel) / 100.0 * percent);
}

QRect Scaled(const QRect& design, int percent) {
    return {ScaledPixels(design.x(), percent), ScaledPixels(design.y(), percent),
            ScaledPixels(design.width(), percent), ScaledPixels(design.height(), percent)};
}

bool HasFont(const QWidget* widget) {
    return !qobject_cast<const ImageBox*>(widget) && !qobject_cast<const QProgressBar*>(widget);
}

// Centred on the screen that shows it, where the window manager leaves it when it has no place
// of its own for it.
void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect placed(QPoint(0, 0), window.size() + QSize(0, kTitleBarRoom));
    placed.moveCenter(available.center());
    placed.moveTop(std::max(placed.top(), available.top()));
    window.move(placed.topLeft());
}

} // namespace

DesignLayout::DesignLayout(QWidget* client) : QLayout(client) {
    setContentsMargins(0, 0, 0, 0);
}

DesignLayout::~DesignLayout() {
    for (QLayoutItem* item : items_)
        delete item;
}

void DesignLayout::addControl(QWidget* control) {
    controls_.push_back({control, {}, {}, 0, false, false});
    if (control->parentWidget() == parentWidget())
        addWidget(control);
}

void DesignLayout::place(QWidget* control, const QRect& twips) {
    control->setGeometry(TwipsToPixels(twips.x()), TwipsToPixels(twips.y()),
                         TwipsToPixels(twips.width()), TwipsToPixels(twips.height()));
}

void DesignLayout::fill(QWidget* control) {
    for (Control& known : controls_)
        if (known.widget == control)
            known.fills = true;
}

int DesignLayout::loadForScreen() {
    if (!loaded_)
        takeDesign();
    loaded_ = true;
    QWidget& window = *form();
    percent_ = 100;
    QSize size(TwipsToPixels(kDesignWidth), TwipsToPixels(kDesignHeight));
    if (const std::optional<ZoomRow> row = RowFor(Screen::HeightTwips())) {
        percent_ = row->controlPercent;
        size = {TwipsToPixels(kDesignWidth / 100.0 * row->formWidthPercent),
                TwipsToPixels(kDesignHeight / 100.0 * row->formHeightPercent)};
    }
    window.resize(size);
    scaleControls(percent_, 0, std::nullopt);
    loadedPercent_ = percent_;
    loadedSize_ = window.size();
    // Placed once more by the window's own layout, which gives the client area its true size.
    placedFor_ = QSize();
    window.setMinimumSize(
        QSize(TwipsToPixels(kDesignWidth), TwipsToPixels(kDesignHeight)).boundedTo(loadedSize_) *
        kSmallestPercent / 100);
    // A window loaded again while on screen stays where the user put it.
    if (!window.isVisible())
        CentreOnScreen(window);
    return percent_;
}

int DesignLayout::scaledTwips(double designTwips) const {
    return RoundHalfEven(designTwips / 100.0 * percent_);
}

int DesignLayout::scaledPixels(double designTwips) const {
    return TwipsToPixels(scaledTwips(designTwips));
}

void DesignLayout::addItem(QLayoutItem* item) {
    items_.push_back(item);
}

QLayoutItem* DesignLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[std::size_t(index)] : nullptr;
}

QLayoutItem* DesignLayout::takeAt(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = items_[std::size_t(index)];
    items_.erase(items_.begin() + index);
    return item;
}

int DesignLayout::count() const {
    return int(items_.size());
}

QSize DesignLayout::sizeHint() const {
    return Scaled(designBounds(), percent_).size();
}

// The window's size is the screen's choice, and the user's: the controls ask for none.
QSize DesignLayout::minimumSize() const {
    return {0, 0};
}

void DesignLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    if (!loaded_ || rect.size() == placedFor_)
        return;
    placedFor_ = rect.size();
    const bool asLoaded = form()->size() == loadedSize_;
    percent_ = asLoaded ? loadedPercent_ : percentForSize(rect.size());
    const int shift =
        asLoaded ? 0 : (rect.width() - TwipsToPixels(kDesignWidth) * percent_ / 100) / 2;
    scaleControls(percent_, shift, rect);
    emit rescaled(percent_);
}

void DesignLayout::takeDesign() {
    for (Control& control : controls_) {
        if (!control.widget)
            continue;
        control.design = control.widget->geometry();
        control.font = control.widget->font();
        control.points = RoundHalfEven(control.font.pointSizeF());
        control.hasFont = HasFont(control.widget);
    }
}

void DesignLayout::scaleControls(int percent, int shift, const std::optional<QRect>& client) {
    for (const Control& control : controls_) {
        if (!control.widget)
            continue;
        if (control.fills) {
            if (client)
                control.widget->setGeometry(*client);
            continue;
        }
        QRect place = Scaled(control.design, percent);
        if (shift > 0 && control.widget->parentWidget() == parentWidget())
            place.translate(shift, 0);
        control.widget->setGeometry(place);
        const double points = control.points / 100.0 * percent;
        if (control.hasFont && points > 0) {
            QFont font = control.font;
            font.setPointSizeF(points);
            control.widget->setFont(font);
        }
    }
}

// The controls at the window's share of the design height, as far as its width and its client
// area let every control be seen whole.
int DesignLayout::percentForSize(const QSize& client) const {
    const QRect design = designBounds();
    const QSize size = form()->size();
    const double percents[] = {100.0 * size.height() * kTwipsPerPixel / kDesignHeight,
                               100.0 * size.width() * kTwipsPerPixel / kDesignWidth,
                               100.0 * client.height() / std::max(design.bottom() + 1, 1),
                               100.0 * client.width() / std::max(design.right() + 1, 1)};
    return std::max(int(*std::min_element(std::begin(percents), std::end(percents))), 1);
}

QRect DesignLayout::designBounds() const {
    QRect bounds;
    for (const Control& control : controls_)
        if (control.widget && !control.fills && control.widget->parentWidget() == parentWidget())
            bounds |= control.design;
    return bounds;
}

QWidget* DesignLayout::form() const {
    return parentWidget()->window();
}
