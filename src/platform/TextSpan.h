#pragma once

#include <QtGlobal>

// A stretch of a text, in UTF-16 units.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const TextSpan&) const = default;
};
