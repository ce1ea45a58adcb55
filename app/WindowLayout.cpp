#include "app/WindowLayout.h"

#include <algorithm>

namespace {

// The raised bevel of the plots' panel, inside which the plots lie.
constexpr int PanelBevel = 1;

} // namespace

std::optional<TWindowLayout> WindowLayoutNamed(const QString& name) {
    if (name == QLatin1String("parts"))
        return wlFixed;
    if (name == QLatin1String("share"))
        return wlShare;
    return std::nullopt;
}

int SharedColumnWidth(int wanted, int windowWidth) {
    const int widest =
        std::max(FixedColumnWidth, windowWidth - ColumnHandleWidth - LeastPlotsWidth);
    return std::clamp(wanted, FixedColumnWidth, widest);
}

TWindowRects WindowRects(QSize client, TWindowLayout layout, int columnWidth, int scrollBarWidth) {
    const int w = client.width(), h = client.height();
    const bool share = layout == wlShare;
    // The column keeps the fixed height at least, and scrolls in a shorter window.
    const bool columnScrolls = h < FixedClientSize.height();
    const int panelWidth = share ? SharedColumnWidth(columnWidth, w) : FixedColumnWidth;
    const int columnWidthShown = panelWidth + (columnScrolls ? scrollBarWidth : 0);
    TWindowRects rects;
    rects.Column = QRect(0, 0, std::min(w, columnWidthShown), h);
    rects.ColumnPanel = QSize(panelWidth, std::max(h, FixedClientSize.height()));
    const int handleWidth = share ? ColumnHandleWidth : 0;
    if (share)
        rects.ColumnHandle = QRect(columnWidthShown, 0, handleWidth, h);
    const int plotsLeft = columnWidthShown + handleWidth;
    rects.Plots = QRect(plotsLeft, 0, std::max(0, w - plotsLeft), h);
    const int innerWidth = std::max(0, rects.Plots.width() - 2 * PanelBevel);
    const int innerHeight = std::max(0, rects.Plots.height() - 2 * PanelBevel);
    // Fixed: the upper plot keeps its height, the lower one takes the rest. Shared: halves,
    // the odd row to the lower plot.
    const int upperHeight = share ? innerHeight / 2 : std::min(FixedUpperPlotHeight, innerHeight);
    rects.UpperPlot = QRect(PanelBevel, PanelBevel, innerWidth, upperHeight);
    rects.LowerPlot =
        QRect(PanelBevel, PanelBevel + upperHeight, innerWidth, innerHeight - upperHeight);
    return rects;
}
