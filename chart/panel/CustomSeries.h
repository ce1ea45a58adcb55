#pragma once
// The line series' drawing: one segment per point, brought in from the plot's left edge when
// the view starts after the first point, each segment in its point's colour.

#include "CustomLineSeries.h"

class TCustomSeries : public TCustomLineSeries {
  public:
    // A black pen follows the series colour.
    TPlotPen LinePen() const override;
    // A pen of any other colour wins over the series colour: the series takes it.
    void SetLinePen(const TPlotPen& pen) override;
    void SetLinePenColor(TColor color) override;

    // The vertical range is scanned afresh when the levels change, skipping null points.
    double GetMinY() const override { return ScanLevels(false); }
    double GetMaxY() const override { return ScanLevels(true); }
    virtual double ScanLevels(bool maximum) const;

    bool ColorEachLine() const { return ColorEachLineValue; }
    void SetColorEachLine(bool value) {
        if (ChangeValue(ColorEachLineValue, value))
            RequestRepaint();
    }
    // The point marker: hidden here; only its size matters, for the visible range.
    bool PointerVisible() const { return PointerVisibleValue; }
    void SetPointerVisible(bool value) {
        if (ChangeValue(PointerVisibleValue, value))
            RequestRepaint();
    }
    int PointerHorizSize() const { return PointerHorizSizeValue; }
    void SetPointerHorizSize(int value) {
        if (ChangeValue(PointerHorizSizeValue, value))
            RequestRepaint();
    }
    int PointerVertSize() const { return PointerVertSizeValue; }
    void SetPointerVertSize(int value) {
        if (ChangeValue(PointerVertSizeValue, value))
            RequestRepaint();
    }

    void DrawPoints(const TSeriesDrawContext& context) override;
    // The level at which the segment into point `index` crosses the column `edgePixel`, in
    // the last paint's mappings.
    int EdgeLevel(int index, int edgePixel) const;

  protected:
    void FindVisibleRange(TSeriesDrawContext& context) const override;

  private:
    struct TPass;
    bool MarkerInPlot(const TSeriesDrawContext& context, int index) const;
    int EdgeLevelIn(const TAxisMapping& mapX, const TAxisMapping& mapY, int index,
                    int edgePixel) const;
    TColor PointColorIn(const TPass& pass, int index) const;
    void DrawPoint(TPass& pass, int index) const;
    void DrawSegment(TPass& pass, int x, int y, TColor color) const;
    void DrawEdgeSegment(TPass& pass, int index, int x, int y) const;
    void DrawRestPlainly(TPass& pass, int from) const;

    // The last scan's results, kept while nothing they depend on has changed: a paint asks
    // for both ends, and a paint that only zooms should not scan every point again.
    struct TLevelScan {
        unsigned long long Revision = ~0ull;
        TColor Color = clDefault;
        TTreatNulls Nulls = tnDontPaint;
        double Minimum = 0, Maximum = 0;
    };
    mutable TLevelScan LevelCache;
    int PointerHorizSizeValue = 4, PointerVertSizeValue = 4;
    bool ColorEachLineValue = true;
    bool PointerVisibleValue = false;
};
