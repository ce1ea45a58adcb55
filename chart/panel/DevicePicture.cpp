#include "chart/panel/DevicePicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The device pixels along one axis that cover a picture of `size` pixels: from the first whose
// centre lies past `origin` to the last whose centre lies on or before its far edge, and one
// more at each end. Returns the first; `count` receives how many.
int DeviceSpan(double origin, int size, double ratio, int& count) {
    const int first = int(std::floor(origin - 0.5)) + 1;
    const int end = int(std::floor(origin + size * ratio - 0.5)) + 1;
    count = end - first + 2;
    return first - 1;
}

// For each device pixel of a span, the picture pixel it shows; the extra pixels at the ends,
// and any the rounding puts outside, repeat the picture's edge.
std::vector<int> PictureIndices(int first, int count, double origin, double ratio, int size) {
    std::vector<int> indices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        indices[std::size_t(i)] = std::clamp(PicturePixel(first + i, origin, ratio), 0, size - 1);
    return indices;
}

} // namespace

int PicturePixel(int device, double origin, double ratio) {
    // Pixel j covers the centres in (origin + j * ratio, origin + (j + 1) * ratio].
    return int(std::ceil((device + 0.5 - origin) / ratio)) - 1;
}

const QImage& TDevicePicture::Update(const QImage& image, QPointF origin, double ratio) {
    if (image.cacheKey() == PictureKey && origin == Origin && ratio == Ratio && !Pixels.isNull())
        return Pixels;
    PictureKey = image.cacheKey();
    Origin = origin;
    Ratio = ratio;
    const QImage picture =
        image.depth() == 32 ? image : image.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull()) {
        Pixels = QImage();
        return Pixels;
    }
    int width = 0, height = 0;
    Corner = {DeviceSpan(origin.x(), picture.width(), ratio, width),
              DeviceSpan(origin.y(), picture.height(), ratio, height)};
    const std::vector<int> columns =
        PictureIndices(Corner.x(), width, origin.x(), ratio, picture.width());
    const std::vector<int> rows =
        PictureIndices(Corner.y(), height, origin.y(), ratio, picture.height());
    if (Pixels.size() != QSize(width, height) || Pixels.format() != picture.format())
        Pixels = QImage(width, height, picture.format());
    // One pass, row by row: a device row repeating the one above it is a copy of that row.
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(Pixels.scanLine(y));
        if (y > 0 && rows[std::size_t(y)] == rows[std::size_t(y) - 1]) {
            std::copy_n(reinterpret_cast<const QRgb*>(Pixels.constScanLine(y - 1)), width, out);
            continue;
        }
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(rows[std::size_t(y)]));
        for (int x = 0; x < width; ++x)
            out[x] = in[columns[std::size_t(x)]];
    }
    return Pixels;
}
