#pragma once
// The panel's picture as the device pixels of a screen (or any paint device) whose device pixel
// ratio is not 1. Each device pixel shows the one picture pixel its centre falls on (nearest
// neighbour): at a whole ratio every picture pixel becomes an exact ratio x ratio block, at a
// fractional ratio a block of one of the two neighbouring whole sizes. No colour is mixed and,
// with a ratio of 1 or more, no picture pixel is lost, so one-pixel lines, dotted grids, the
// not-xor zoom band and the text stay what they are. The pointer maps back by the same rule, so
// the pixel under the pointer is the pixel shown there.
//
// A centre that falls exactly on the line between two pixels belongs to the left or upper one.
// Qt rounds a widget's edges to device pixels by that rule too, so the device pixels a panel
// owns are exactly those that show its picture: two panels side by side share none and leave
// none between them, whatever the ratio.

#include <QImage>
#include <QPoint>
#include <QPointF>

// Along one axis: the picture pixel under the centre of device pixel `device`, for a picture
// that starts at device coordinate `origin` with `ratio` device pixels to a picture pixel.
// Outside the picture it goes on counting (negative before it, its size and more after it).
int PicturePixel(int device, double origin, double ratio);

class TDevicePicture {
  public:
    // The device pixels that show `picture` on a device of `ratio` where the picture's top left
    // corner lies at `origin` (device coordinates), with one more pixel all round repeating the
    // picture's edge, so that however a device rounds the panel's edges every pixel it gives
    // the panel is covered. Made again only when the picture's pixels, the origin or the ratio
    // have changed since the last call.
    const QImage& Update(const QImage& picture, QPointF origin, double ratio);
    // Where the pixels of the last Update start, in device coordinates.
    QPoint TopLeft() const { return Corner; }

  private:
    QImage Pixels;
    qint64 PictureKey = 0;
    QPointF Origin;
    double Ratio = 0;
    QPoint Corner;
};
