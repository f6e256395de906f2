#pragma once

#include <QString>

// A number as captions show it: a blank where a minus sign would stand, then the digits.
inline QString NumberText(qint64 number) {
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}
