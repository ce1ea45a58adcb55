#pragma once
// Rectangles in signed 32-bit pixels: right and bottom are one past the last column and row.

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect&) const = default;

    TRect Intersected(const TRect& other) const {
        TRect r{Left > other.Left ? Left : other.Left, Top > other.Top ? Top : other.Top,
                Right < other.Right ? Right : other.Right,
                Bottom < other.Bottom ? Bottom : other.Bottom};
        if (r.IsEmpty())
            r = {r.Left, r.Top, r.Left, r.Top};
        return r;
    }
};

// For readable test failures.
template <class TStream> TStream& operator<<(TStream& out, const TRect& r) {
    out << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
    return out;
}

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};
