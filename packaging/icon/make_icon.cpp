// make_icon: draws the application icon, a waveform on a rounded square, once as SVG text and
// once per size as a PNG picture, into a folder laid out like the hicolor icon theme:
//   OUTDIR/scalable/apps/NAME.svg and OUTDIR/SIZExSIZE/apps/NAME.png for each SIZE.
// Both come from one description of the shape, so the scalable icon and the pictures match.
// Usage: make_icon OUTDIR NAME SIZE...

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

namespace {

// The shape, on a canvas of 256 x 256 units.
struct TIconShape {
    static constexpr double Canvas = 256;
    QRectF Square{16, 16, 224, 224};
    double CornerRadius = 48;
    QColor SquareColour{0x1e, 0x3a, 0x5f};
    QPointF AxisFrom{44, 128}, AxisTo{212, 128};
    double AxisWidth = 4;
    QColor AxisColour{0x4f, 0x7c, 0xac};
    QPolygonF Wave; // a burst of three periods that swells and fades inside the square
    double WaveWidth = 14;
    QColor WaveColour{0x7f, 0xe3, 0xc4};
};

TIconShape MakeShape() {
    constexpr double pi = 3.14159265358979323846;
    constexpr int points = 64;
    TIconShape shape;
    for (int i = 0; i <= points; ++i) {
        const double t = double(i) / points;
        const double envelope = std::sin(pi * t);
        shape.Wave << QPointF(shape.AxisFrom.x() + t * (shape.AxisTo.x() - shape.AxisFrom.x()),
                              128 - 76 * envelope * std::sin(2 * pi * 3 * t));
    }
    return shape;
}

QString Number(double value) {
    return QString::number(value, 'f', 2);
}

QString Svg(const TIconShape& shape) {
    QString points;
    for (const QPointF& p : shape.Wave)
        points += (points.isEmpty() ? "" : " ") + Number(p.x()) + "," + Number(p.y());
    const QRectF& r = shape.Square;
    return QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                   "viewBox=\"0 0 %1 %1\">\n")
               .arg(Number(TIconShape::Canvas)) +
           QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" ry=\"%5\" "
                   "fill=\"%6\"/>\n")
               .arg(Number(r.x()), Number(r.y()), Number(r.width()), Number(r.height()),
                    Number(shape.CornerRadius), shape.SquareColour.name()) +
           QString("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
                   "stroke-width=\"%6\" stroke-linecap=\"round\"/>\n")
               .arg(Number(shape.AxisFrom.x()), Number(shape.AxisFrom.y()),
                    Number(shape.AxisTo.x()), Number(shape.AxisTo.y()), shape.AxisColour.name(),
                    Number(shape.AxisWidth)) +
           QString("  <polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                   "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n")
               .arg(points, shape.WaveColour.name(), Number(shape.WaveWidth)) +
           "</svg>\n";
}

QImage Picture(const TIconShape& shape, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / TIconShape::Canvas, size / TIconShape::Canvas);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shape.SquareColour);
    painter.drawRoundedRect(shape.Square, shape.CornerRadius, shape.CornerRadius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(shape.AxisColour, shape.AxisWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(shape.AxisFrom, shape.AxisTo);
    painter.setPen(
        QPen(shape.WaveColour, shape.WaveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(shape.Wave);
    painter.end();
    return image;
}

bool MakeFolder(const QString& path) {
    if (QDir().mkpath(path))
        return true;
    std::fprintf(stderr, "make_icon: cannot create %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icon OUTDIR NAME SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const TIconShape shape = MakeShape();

    const QString scalable = folder + "/scalable/apps";
    if (!MakeFolder(scalable))
        return 1;
    QFile svg(scalable + "/" + name + ".svg");
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(Svg(shape).toUtf8()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }

    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 4096) {
            std::fprintf(stderr, "make_icon: bad size %s\n", argv[i]);
            return 2;
        }
        const QString sized = QString("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = sized + "/" + name + ".png";
        if (!MakeFolder(sized))
            return 1;
        if (!Picture(shape, size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
