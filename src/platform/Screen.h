#pragma once

#include "platform/Replaceable.h"

#include <QSize>

namespace Screen {

// The primary screen's logical height in twips: Qt's own high-DPI scaling is already in it.
int HeightTwips();
// What windows may take of the primary screen (without panels and task bars), in logical pixels.
QSize AvailablePixels();

// What the two read: the primary screen, unless a test put a screen of its own in its place.
class Primary : public Replaceable<Primary> {
public:
    virtual ~Primary() = default;
    virtual int HeightTwips();
    virtual QSize AvailablePixels();
};

} // namespace Screen
