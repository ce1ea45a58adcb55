#pragma once
// What both line kinds share: the pen, stairs, and the switch between the merged and the plain
// drawing path.

#include "ChartSeries.h"
#include "PlotPen.h"

enum TDrawAllPointsStyle { daFirst, daMinMax };

class TCustomLineSeries : public TChartSeries {
  public:
    // The pen the line is drawn with.
    virtual TPlotPen LinePen() const { return Pen; }
    // Copies a whole pen.
    virtual void SetLinePen(const TPlotPen& pen);
    // Changes the pen's colour alone (as reading stored settings does).
    virtual void SetLinePenColor(TColor color);

    bool Stairs() const { return StairsValue; }
    void SetStairs(bool value) {
        if (ChangeValue(StairsValue, value))
            RequestRepaint();
    }
    bool InvertedStairs() const { return InvertedStairsValue; }
    void SetInvertedStairs(bool value) {
        if (ChangeValue(InvertedStairsValue, value))
            RequestRepaint();
    }
    // Off: every segment is drawn as it comes, never merged per pixel column (the plain path,
    // kept to prove the merged one paints the same pixels).
    bool MergeColumns() const { return MergeColumnsValue; }
    void SetMergeColumns(bool value) {
        if (ChangeValue(MergeColumnsValue, value))
            RequestRepaint();
    }
    // Off: every point is mapped and drawn; on, a dense path is drawn column by column from
    // the value lists' summaries (the same pixels, at the cost of the plot's width).
    bool DrawByColumns() const { return DrawByColumnsValue; }
    void SetDrawByColumns(bool value) {
        if (ChangeValue(DrawByColumnsValue, value))
            RequestRepaint();
    }

  protected:
    // Sets the canvas up for a line pass (the line's pen, no fill, text over what is there).
    void PrepareCanvas(TPlotCanvas3D& canvas) const;

    TPlotPen Pen;

  private:
    bool StairsValue = false;
    bool InvertedStairsValue = false;
    bool MergeColumnsValue = true;
    bool DrawByColumnsValue = true;
};
