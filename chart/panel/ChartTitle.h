#pragma once
// The four text blocks of a chart: Title and SubTitle above the plot, Foot and SubFoot below.

#include <functional>
#include <string>
#include <vector>

#include "PlotPen.h"
#include "PlotRect.h"
#include "Property.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPlotCanvas3D;

class TChartTitle {
  public:
    // A foot title sits below the plot and by default writes in red italics.
    TChartTitle(std::function<void()> onChange, bool isFoot);
    virtual ~TChartTitle() = default;

    bool IsFoot() const { return AtBottom; }

    PLOT_PROPERTY(bool, Visible, true)
    PLOT_PROPERTY(std::vector<std::string>, Text, {})
    PLOT_PROPERTY(TPlotFont, Font, TPlotFont{})
    PLOT_PROPERTY(TAlignment, Alignment, taCenter)
    PLOT_PROPERTY(bool, AdjustFrame, true)
    PLOT_PROPERTY(int, VertMargin, 5)
    PLOT_PROPERTY(bool, Transparent, true)
    PLOT_PROPERTY(TPlotPen, Frame, TPlotPen{})
    PLOT_PROPERTY(TPanelBevel, Bevel, bvNone)
    PLOT_PROPERTY(int, BevelWidth, 2)
    PLOT_PROPERTY(TColor, Color, clWhite)
    PLOT_PROPERTY(bool, CustomPosition, false)
    PLOT_PROPERTY(int, Left, 0)
    PLOT_PROPERTY(int, Top, 0)

    // Where the shape was placed in the last paint.
    TRect ShapeBounds;

    // Draws the title; one placed by the panel moves the matching edge of chartRect.
    // Returns false when it drew nothing and took no space.
    bool Draw(TPlotCanvas3D& canvas, TRect& chartRect);

    std::function<void()> OnChange;

  private:
    void Changed() {
        if (OnChange)
            OnChange();
    }
    bool AtBottom;
};
