#pragma once

#include "platform/Replaceable.h"

#include <QDateTime>

namespace Clock {

// Today's date and the time of day.
QDateTime Now();

// What Now reads: the system's clock, unless a test put its own in its place.
class Source : public Replaceable<Source> {
public:
    virtual ~Source() = default;
    virtual QDateTime Now();
};

} // namespace Clock
