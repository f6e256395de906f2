#include "shell/FormZoomed.h"

#include "platform/ControlProperties.h"
#include "platform/Form.h"
#include "platform/Screen.h"
#include "platform/Twips.h"

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

constexpr Property kBox[] = {Property::Top, Property::Left, Property::Height, Property::Width,
                             Property::FontSize};
constexpr Property kEnds[] = {Property::Y1, Property::X1, Property::Y2, Property::X2};

std::vector<qint32>* SavedArrays[] = {&FormZoomed::SavedTop, &FormZoomed::SavedLeft,
                                      &FormZoomed::SavedHeight, &FormZoomed::SavedWidth,
                                      &FormZoomed::SavedFontSize};

} // namespace

namespace FormZoomed {

void SaveLayout(Form& form) {
    ControlIndex = 0;
    DesignFormHeight = qint32(RoundHalfEven(form.Height()));
    DesignFormWidth = qint32(RoundHalfEven(form.Width()));
    for (QObject* control : form.Controls()) {
        CurrentControl = control;
        for (std::vector<qint32>* saved : SavedArrays)
            saved->resize(std::size_t(ControlIndex) + 1, 0);
        const std::size_t i = std::size_t(ControlIndex);
        bool lacksProperty = false;
        for (int p = 0; p < 5; ++p) {
            double value = 0;
            if (ReadProperty(control, kBox[p], value))
                (*SavedArrays[p])[i] = qint32(RoundHalfEven(value));
            else
                lacksProperty = true;
        }
        // A line control has end points instead of a box.
        if (lacksProperty)
            for (int p = 0; p < 4; ++p) {
                double value = 0;
                if (ReadProperty(control, kEnds[p], value))
                    (*SavedArrays[p])[i] = qint32(RoundHalfEven(value));
            }
        ++ControlIndex;
    }
}

void ApplyZoom(Form& form) {
    ControlIndex = 0;
    ScreenHeight = Screen::HeightTwips();
    ScalePercent = 0;
    for (const ZoomRow& row : kZoomRows)
        if (DesignFormHeight == 9000 && ScreenHeight == row.screenHeight) {
            ScalePercent = row.controlPercent;
            form.SetHeight(DesignFormHeight / 100.0 * row.formHeightPercent);
            form.SetWidth(DesignFormWidth / 100.0 * row.formWidthPercent);
        }
    if (ScalePercent == 0) {
        ScalePercent = 100;
        form.SetHeight(DesignFormHeight);
        form.SetWidth(DesignFormWidth);
    }
    for (QObject* control : form.Controls()) {
        CurrentControl = control;
        const std::size_t i = std::size_t(ControlIndex);
        if (i >= SavedTop.size())
            break;
        bool lacksProperty = false;
        for (int p = 0; p < 5; ++p)
            if (!WriteProperty(control, kBox[p], (*SavedArrays[p])[i] / 100.0 * ScalePercent))
                lacksProperty = true;
        if (lacksProperty)
            for (int p = 0; p < 4; ++p)
                WriteProperty(control, kEnds[p], (*SavedArrays[p])[i] / 100.0 * ScalePercent);
        ++ControlIndex;
    }
}

void LoadProtocol(Form& form) {
    form.SetHeight(9000);
    form.SetWidth(12000);
    SaveLayout(form);
    ApplyZoom(form);
}

qint32 Scaled(double designTwips) {
    return qint32(RoundHalfEven(designTwips / 100.0 * ScalePercent));
}

} // namespace FormZoomed
