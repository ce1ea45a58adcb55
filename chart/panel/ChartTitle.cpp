#include "ChartTitle.h"

#include <algorithm>

#include "CanvasStateGuard.h"
#include "PlotCanvas.h"

TChartTitle::TChartTitle(std::function<void()> onChange, bool isFoot) : AtBottom(isFoot) {
    TPlotFont font;
    font.Color = isFoot ? clRed : clBlue;
    font.Style = isFoot ? fsItalic : 0;
    FontValue = font;
    OnChange = std::move(onChange);
}

bool TChartTitle::Draw(TPlotCanvas3D& canvas, TRect& chartRect) {
    const std::vector<std::string>& lines = Text();
    if (!Visible() || lines.empty())
        return false;
    const bool placed = !CustomPosition();
    int fw = Frame().Visible && Frame().Color != clDefault ? Frame().Width : 0;
    if (Bevel() != bvNone)
        fw = BevelWidth();

    if (placed) {
        ShapeBounds = chartRect;
        if (!AtBottom)
            ShapeBounds.Top += fw;
    } else {
        ShapeBounds = {Left(), Top(), Left(), Top()};
    }
    const TCanvasStateGuard keep(canvas);
    canvas.Font = Font();
    const int h = canvas.TextHeight("W"), wW = canvas.TextWidth("W");
    const int n = int(lines.size());
    if (!AtBottom || !placed)
        ShapeBounds.Bottom = ShapeBounds.Top + n * h;
    else
        ShapeBounds.Top = ShapeBounds.Bottom - n * h;
    if (placed) {
        ShapeBounds.Left -= fw;
        ShapeBounds.Top -= fw;
        ShapeBounds.Right += fw;
        ShapeBounds.Bottom += fw;
    }
    if (AdjustFrame()) {
        int widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, canvas.TextWidth(line));
        const int a = widest + wW + fw;
        if (Alignment() == taLeftJustify) {
            ShapeBounds.Right = ShapeBounds.Left + a;
        } else if (Alignment() == taRightJustify) {
            ShapeBounds.Left = ShapeBounds.Right - a;
        } else {
            if (!placed)
                ShapeBounds.Right = ShapeBounds.Left + a;
            const int m = (ShapeBounds.Left + ShapeBounds.Right) / 2;
            ShapeBounds.Left = m - a / 2;
            ShapeBounds.Right = m + a / 2;
        }
    }
    if (!Transparent()) {
        canvas.Pen = Frame();
        canvas.Brush = {Color(), bsSolid};
        canvas.Rectangle(ShapeBounds);
    }
    canvas.TransparentText = true;
    canvas.TextAlign = taLeftJustify;
    for (int i = 0; i < n; ++i) {
        const int top = !AtBottom || !placed ? ShapeBounds.Top + fw + i * h
                                             : ShapeBounds.Bottom - h - (fw + (n - 1 - i) * h);
        const int width = canvas.TextWidth(lines[i]);
        int left;
        if (Alignment() == taLeftJustify)
            left = ShapeBounds.Left + wW / 2;
        else if (Alignment() == taRightJustify)
            left = ShapeBounds.Right - width - wW / 2;
        else
            left = (ShapeBounds.Left + ShapeBounds.Right) / 2 - width / 2;
        canvas.TextOut(left, top, lines[i]);
    }
    if (placed) {
        const int m = VertMargin() + fw;
        if (!AtBottom)
            chartRect.Top = ShapeBounds.Bottom + m;
        else
            chartRect.Bottom = ShapeBounds.Bottom - m - n * h;
    }
    return true;
}
