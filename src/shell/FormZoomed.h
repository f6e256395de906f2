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

// The start of every scaled window's load: design size, then both passes.
void LoadProtocol(Form& form);

// A design size in twips at the chosen percentage, rounded halves to even.
qint32 Scaled(double designTwips);

} // namespace FormZoomed
