#pragma once

#include <QtGlobal>
#include <vector>

class Form;
class QObject;

// Scales a window laid out for 9000 x 12000 twips to the screen height: the
// window by its own percentages, every control (and its font) by one percentage.
namespace FormZoomed {

// The module's variables, in one struct so that a fresh start is one assignment.
struct ZoomState {
    qint32 DesignFormHeight = 0;
    qint32 DesignFormWidth = 0;
    std::vector<qint32> SavedTop;
    std::vector<qint32> SavedLeft;
    std::vector<qint32> SavedHeight;
    std::vector<qint32> SavedWidth;
    std::vector<qint32> SavedFontSize;
    qint32 ScreenHeight = 0;
    QObject* CurrentControl = nullptr;
    qint16 ControlIndex = 0;
    qint32 ScalePercent = 0;
};
inline ZoomState Zoom;

void SaveLayout(Form& form);
void ApplyZoom(Form& form);

// The start of every scaled window's load: design size, then both passes; the window is then
// centred on its screen, and scaled again whenever the user changes its size.
void LoadProtocol(Form& form);

// The percentage for a window of its present size, by the rule of the screens: the controls at
// the window's share of the design height, as far as its width and its client area let every
// control be seen whole.
qint32 PercentForSize(const Form& form);
// Where the width that the controls leave goes: to the right, as the load leaves it, or shared
// on both sides.
enum class Spare { AtRight, Shared };
// Scales the controls from the design by that percentage, within the window as it is.
void Rescale(Form& form, qint32 percent, Spare spare);

// A design size in twips at the chosen percentage, rounded halves to even.
qint32 Scaled(double designTwips);

} // namespace FormZoomed
