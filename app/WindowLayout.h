#pragma once
// Where the window's parts go for a window size: the control column, the handle that widens
// it, and the two plots. Two layouts: the fixed one (a column of fixed width, an upper plot
// of fixed height, the lower plot taking the rest) and one that shares a large window (a
// column as wide as the user drags it, two plots of equal height).

#include <optional>

#include <QRect>
#include <QSize>
#include <QString>

enum TWindowLayout { wlFixed, wlShare };

// "parts" (the fixed layout: the window's parts at their fixed sizes) or "share" (the
// --layout option's words); none for any other.
std::optional<TWindowLayout> WindowLayoutNamed(const QString& name);

// The fixed layout's numbers: the window's client size, the column's width and the upper
// plot's height.
inline constexpr QSize FixedClientSize(1372, 587);
inline constexpr int FixedColumnWidth = 233;
inline constexpr int FixedUpperPlotHeight = 296;
// The column's width in a shared window until the user drags it.
inline constexpr int DefaultSharedColumnWidth = 320;
// The width of the handle between the column and the plots when the window is shared.
inline constexpr int ColumnHandleWidth = 6;
// The plots keep at least this width when the column is dragged wider.
inline constexpr int LeastPlotsWidth = 320;

struct TWindowRects {
    QRect Column;       // the scroll area that holds the column panel, in the window
    QSize ColumnPanel;  // the column panel in it; taller than the window, it scrolls
    QRect ColumnHandle; // the handle that widens the column; empty in the fixed layout
    QRect Plots;        // the panel of the plots, in the window
    QRect UpperPlot;    // in the plots' panel
    QRect LowerPlot;
};

// The column's width when the window is shared: `wanted`, kept between the fixed width and
// what leaves the plots their least width (the fixed width where the window is too narrow).
int SharedColumnWidth(int wanted, int windowWidth);

// Where the window's parts go in a window whose client area is `client`. `columnWidth` is the
// column's width when shared; `scrollBarWidth` is added to the column where it has to scroll (a
// window shorter than the fixed one).
TWindowRects WindowRects(QSize client, TWindowLayout layout, int columnWidth, int scrollBarWidth);
