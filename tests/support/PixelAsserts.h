#pragma once
// Pixel checks that name the first differing pixel and both colours.

#include <gtest/gtest.h>

#include <QImage>

#include "chart/raster/Colors.h"

inline TColor PixelAt(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGBColor(std::uint8_t(qRed(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qBlue(rgb)));
}

inline ::testing::AssertionResult SameImages(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "first difference at (" << x << ", " << y << "): " << std::hex
                       << PixelAt(a, x, y) << " against " << PixelAt(b, x, y);
    return ::testing::AssertionSuccess();
}

// The pixels of `color` in the image, as a count.
inline int CountColor(const QImage& image, TColor color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += PixelAt(image, x, y) == color;
    return count;
}
