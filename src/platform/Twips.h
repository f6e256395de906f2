#pragma once

#include <cmath>

// Sizes and positions are kept in twips, 15 to a pixel.
inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}
inline double PixelsToTwips(int pixels) {
    return double(pixels) * kTwipsPerPixel;
}

// Rounds to the nearest integer, halves to the even neighbour.
inline long RoundHalfEven(double value) {
    return std::lrint(value);
}
