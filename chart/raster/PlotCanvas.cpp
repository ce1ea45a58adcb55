#include "chart/raster/PlotCanvas.h"

#include <algorithm>
#include <cstdlib>

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

namespace {

QFont ToQFont(const TPlotFont& font) {
    QFont qfont(QString::fromStdString(font.Name));
    qfont.setPixelSize(font.PixelSize());
    qfont.setBold(font.Style & fsBold);
    qfont.setItalic(font.Style & fsItalic);
    qfont.setUnderline(font.Style & fsUnderline);
    qfont.setStrikeOut(font.Style & fsStrikeOut);
    // The picture's text is hinted the same way on every screen. Left to its default, Qt drops
    // hinting as soon as any screen is scaled (a device pixel ratio other than 1), which would
    // change the glyphs and their widths, and so the layout, of a picture that is only shown
    // magnified there. Light (vertical only) hinting is the desktop's usual default.
    qfont.setHintingPreference(QFont::PreferVerticalHinting);
    return qfont;
}

} // namespace

TPlotCanvas3D::TPlotCanvas3D() : SystemColors(QGuiApplication::palette()) {}

void TPlotCanvas3D::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (Picture.width() != width || Picture.height() != height) {
        Picture = QImage(width, height, QImage::Format_RGB32);
        Picture.fill(Qt::black);
    }
    Clip = {0, 0, width, height};
    SavedClips.clear();
}

TColor TPlotCanvas3D::Resolve(TColor color) const {
    if (!IsSystemColor(color))
        return color & 0xFFFFFF;
    QPalette::ColorRole role = QPalette::Button;
    switch (color) {
    case clBtnHighlight:
        role = QPalette::Light;
        break;
    case clBtnShadow:
        role = QPalette::Dark;
        break;
    case clWindowText:
        role = QPalette::WindowText;
        break;
    default:
        role = QPalette::Button;
    }
    const QColor c = SystemColors.color(QPalette::Active, role);
    return RGBColor(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()));
}

QRgb TPlotCanvas3D::ToRgb(TColor color) const {
    const TColor c = Resolve(color);
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// One writer for every span: copy or not-xor, chosen once per span.
void TPlotCanvas3D::Span(int y, int x0, int x1, QRgb rgb) {
    if (y < Clip.Top || y >= Clip.Bottom)
        return;
    x0 = std::max(x0, Clip.Left);
    x1 = std::min(x1, Clip.Right);
    if (x0 >= x1)
        return;
    auto* row = reinterpret_cast<QRgb*>(Picture.scanLine(y));
    if (Pen.Mode == pmNotXor) {
        const QRgb mask = rgb & 0xFFFFFF;
        for (int x = x0; x < x1; ++x)
            row[x] = 0xFF000000u | (~(row[x] ^ mask) & 0xFFFFFF);
    } else {
        std::fill(row + x0, row + x1, rgb);
    }
}

void TPlotCanvas3D::Plot(int x, int y, QRgb rgb) {
    if (Pen.Width <= 1) {
        Span(y, x, x + 1, rgb);
        return;
    }
    // A wide pen paints a square of its width around each point of the line.
    const int from = -(Pen.Width / 2);
    for (int dy = 0; dy < Pen.Width; ++dy)
        Span(y + from + dy, x + from, x + from + Pen.Width, rgb);
}

void TPlotCanvas3D::FillSolid(const TRect& rect, TColor color) {
    const QRgb rgb = ToRgb(color);
    const int top = std::max(rect.Top, Clip.Top), bottom = std::min(rect.Bottom, Clip.Bottom);
    for (int y = top; y < bottom; ++y)
        Span(y, rect.Left, rect.Right, rgb);
}

void TPlotCanvas3D::FillBands(const std::vector<TGradientBand>& bands) {
    for (const TGradientBand& band : bands)
        FillSolid(band.Rect, band.Color);
}

std::vector<TGradientBand> TPlotCanvas3D::GradientBandsOf(const TRect& rect) const {
    return GradientBands(Gradient, rect, [this](TColor color) { return Resolve(color); });
}

void TPlotCanvas3D::FillRect(const TRect& rect) {
    if (Brush.Style == bsClear)
        return;
    if (Gradient.Visible())
        FillBands(GradientBandsOf(rect));
    else
        FillSolid(rect, Brush.Color);
}

void TPlotCanvas3D::Rectangle(const TRect& rect) {
    if (rect.IsEmpty())
        return;
    const bool outlined = Pen.Draws();
    if (Brush.Style != bsClear) {
        if (Gradient.Visible())
            FillBands(GradientBandsOf(rect));
        else if (outlined)
            FillSolid({rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, Brush.Color);
        else // without an outline the fill takes its place, one pixel short at right and bottom
            FillSolid({rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1}, Brush.Color);
    }
    if (outlined) {
        const int r = rect.Right - 1, b = rect.Bottom - 1;
        Polyline(
            {{rect.Left, rect.Top}, {r, rect.Top}, {r, b}, {rect.Left, b}, {rect.Left, rect.Top}});
    }
}

// Bresenham's line from (x0, y0) towards (x1, y1), the end point left out.
void TPlotCanvas3D::ThinLine(int x0, int y0, int x1, int y1, QRgb rgb) {
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool dotted = Pen.Style == psDot;
    if (!dotted && Pen.Width <= 1 && Pen.Mode == pmCopy) {
        if (dy == 0) { // a row: one span
            if (sx > 0)
                Span(y0, x0, x1, rgb);
            else
                Span(y0, x1 + 1, x0 + 1, rgb);
            return;
        }
        if (dx == 0) { // a column: clip once, then write straight down the rows
            if (x0 < Clip.Left || x0 >= Clip.Right)
                return;
            int top = sy > 0 ? y0 : y1 + 1, bottom = sy > 0 ? y1 : y0 + 1;
            top = std::max(top, Clip.Top);
            bottom = std::min(bottom, Clip.Bottom);
            for (int y = top; y < bottom; ++y)
                reinterpret_cast<QRgb*>(Picture.scanLine(y))[x0] = rgb;
            return;
        }
    }
    const int steps = std::max(dx, dy);
    int x = x0, y = y0;
    int error = (dx > dy ? dx : -dy) / 2;
    for (int i = 0; i < steps; ++i) {
        if (!dotted || (DotPhase++ & 1) == 0)
            Plot(x, y, rgb);
        const int e = error;
        if (e > -dx) {
            error -= dy;
            x += sx;
        }
        if (e < dy) {
            error += dx;
            y += sy;
        }
    }
}

void TPlotCanvas3D::LineTo(int x, int y) {
    if (Pen.Draws())
        ThinLine(PenPos.X, PenPos.Y, x, y, ToRgb(Pen.Color));
    PenPos = {x, y};
}

void TPlotCanvas3D::Polyline(const std::vector<TPoint>& points) {
    if (points.empty())
        return;
    DotPhase = 0;
    MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
}

void TPlotCanvas3D::TextOut(int x, int y, const std::string& text) {
    const QString qtext = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFont font = ToQFont(Font);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(qtext), height = metrics.height();
    if (TextAlign == taCenter)
        x -= width / 2;
    else if (TextAlign == taRightJustify)
        x -= width;
    QPainter painter(&Picture);
    painter.setClipRect(QRect(Clip.Left, Clip.Top, Clip.Width(), Clip.Height()));
    if (!TransparentText)
        painter.fillRect(QRect(x, y, width, height), QColor::fromRgb(ToRgb(BackColor)));
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ToRgb(Font.Color)));
    painter.drawText(QRect(x, y, width, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     qtext);
}

int TextWidthIn(const TPlotFont& font, const std::string& text) {
    return QFontMetrics(ToQFont(font))
        .horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

int TextHeightIn(const TPlotFont& font) {
    return QFontMetrics(ToQFont(font)).height();
}

int TPlotCanvas3D::TextWidth(const std::string& text) const {
    return TextWidthIn(Font, text);
}

int TPlotCanvas3D::TextHeight(const std::string&) const {
    return TextHeightIn(Font);
}

void TPlotCanvas3D::ClipRectangle(const TRect& rect) {
    SavedClips.push_back(Clip);
    Clip = Clip.Intersected(rect);
}

void TPlotCanvas3D::UnClipRectangle() {
    if (SavedClips.empty())
        return;
    Clip = SavedClips.back();
    SavedClips.pop_back();
}

void TPlotCanvas3D::ResetState() {
    Pen = TPlotPen{};
    Brush = TPlotBrush{};
    Font = TPlotFont{};
    Font.Name = "";
    TPlotGradient defaults;
    Gradient.Assign(defaults);
    BackColor = clWhite;
    TransparentText = true;
    TextAlign = taLeftJustify;
}
