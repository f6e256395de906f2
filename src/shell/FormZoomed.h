#pragma once

#include <QtGlobal>
#include <vector>

class Form;
class QObject;

// Scales a window laid out for 9000 x 12000 twips to the screen height: the
// window by its own percentages, every control (and its font) by one percentage.
namespace FormZoomed {

inline qint32 DesignFormHeight = 0;
inline qint32 DesignFormWidth = 0;
inline std::vector<qint32> SavedTop;
inline std::vector<qint32> SavedLeft;
inline std::vector<qint32> SavedHeight;
inline std::vector<qint32> SavedWidth;
inline std::vector<qint32> SavedFontSize;
inline qint32 ScreenHeight = 0;
inline QObject* CurrentControl = nullptr;
inline qint16 ControlIndex = 0;
inline qint32 ScalePercent = 0;

void SaveLayout(Form& form);
void ApplyZoom(Form& form);

// The start of every scaled window's load: design size, then both passes.
void LoadProtocol(Form& form);

// A design size in twips at the chosen percentage, rounded halves to even.
qint32 Scaled(double designTwips);

} // namespace FormZoomed
