#pragma once

#include <QtGlobal>
#include <array>
#include <functional>
#include <vector>

class Form;

// Scales a window laid out for 9000 x 12000 twips to the screen height: the
// window by its own percentages, every control (and its font) by one percentage.
namespace FormZoomed {

// What SaveLayout records of a window: its size, and for each control in the window's order its
// Top, Left, Height, Width and FontSize (a line: Y1, X1, Y2, X2), rounded; what it lacks is 0.
struct DesignLayout {
    using Saved = std::array<qint32, 5>;
    qint32 formHeight = 0;
    qint32 formWidth = 0;
    std::vector<Saved> controls;
};

DesignLayout SaveLayout(const Form& form);
// Scales the window and its controls to the screen; answers the controls' percentage.
qint32 ApplyZoom(Form& form, const DesignLayout& layout);

// The start of every scaled window's load: design size, then both passes; the window is then
// centred on its screen, and scaled again whenever the user changes its size, after which
// `rescaled` hears the new percentage. Answers the percentage of the load.
qint32 LoadProtocol(Form& form, const std::function<void(qint32)>& rescaled = {});

// The percentage for a window of its present size, by the rule of the screens: the controls at
// the window's share of the design height, as far as its width and its client area let every
// control be seen whole.
qint32 PercentForSize(const Form& form);
// Where the width that the controls leave goes: to the right, as the load leaves it, or shared
// on both sides.
enum class Spare { AtRight, Shared };
// Scales the controls from the design by that percentage, within the window as it is.
void Rescale(Form& form, qint32 percent, Spare spare);

// A design size in twips at a percentage, rounded halves to even.
qint32 Scaled(double designTwips, qint32 percent);

} // namespace FormZoomed
