#pragma once
// One axis's mapping between values and pixels, as its last layout fixed it, with the inverse
// beside it. A plain value: the panel hands copies down to whatever draws against the axis.

struct TAxisMapping {
    bool Horizontal = true;
    bool Inverted = false;
    double ScaleMin = 0, ScaleMax = 0, ScaleRange = 0;
    bool RangeIsZero = true;
    double PixelsPerUnit = 0;
    int FirstPixel = 0, LastPixel = 0, PixelLength = 0, MidPixel = 0;
    // The insets in pixels the layout kept inside the plot at the low and high values.
    int MinimumOffset = 0, MaximumOffset = 0;

    // Value to pixel: rounded half to even and clamped to -32767..32767; NaN, which an
    // infinite or undefined scale gives, lands on -32767.
    int PixelOfValue(double value) const {
        if (RangeIsZero)
            return MidPixel;
        const double t = (value - ScaleMin) * PixelsPerUnit;
        double p;
        if (Horizontal)
            p = Inverted ? LastPixel - t : FirstPixel + t;
        else
            p = Inverted ? FirstPixel + t : LastPixel - t;
        if (p > 32767)
            return 32767;
        if (!(p >= -32767))
            return -32767;
        // Adding and taking away 1.5 * 2^52 rounds to the nearest integer, ties to even,
        // for any |p| below 2^51.
        constexpr double shift = 6755399441055744.0;
        const double shifted = p + shift; // not folded away: no fast-math here
        return int(shifted - shift);
    }

    // Pixel to value, along the same scale; 0 while the axis has no length.
    double ValueAtPixel(int pixel) const {
        if (PixelLength < 1)
            return 0;
        const double a =
            double(Inverted ? LastPixel - pixel : pixel - FirstPixel) * ScaleRange / PixelLength;
        return Horizontal ? ScaleMin + a : ScaleMax - a;
    }
};
