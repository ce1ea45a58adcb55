#pragma once
// The two series kinds of the program: the fast line (one polyline through the points) and
// the line series (one segment per point, with a hidden point marker).

#include "ChartSeries.h"
#include "PlotPen.h"

class TPolylineWriter;

enum TDrawAllPointsStyle { daFirst, daMinMax };

class TCustomLineSeries : public TChartSeries {
public:
    const TPlotPen& LinePen() const { return Pen; }
    // Copies a whole pen.
    virtual void SetLinePen(const TPlotPen& pen);
    // Changes the pen's colour alone (as reading stored settings does).
    void SetLinePenColor(TColor color);

    bool Stairs = false;
    bool InvertedStairs = false;
    // Off: every segment is drawn as it comes, never merged per pixel column (the plain path,
    // kept to prove the merged one paints the same pixels).
    bool MergeColumns = true;

protected:
    TPlotPen Pen;
};

class TFastLineSeries : public TCustomLineSeries {
public:
    TFastLineSeries() { TreatNullsValue = tnIgnore; }

    // The pen follows the series colour, automatic colours included: the fast line is drawn
    // with its pen.
    void SetSeriesColor(TColor color) override;
    // A whole pen brings its colour to the series.
    void SetLinePen(const TPlotPen& pen) override;

    bool DrawAllPoints = true;
    TDrawAllPointsStyle DrawAllPointsStyle = daFirst;
    bool AutoRepaint = true;

    void HorizMargins(int& left, int& right) override;
    void VertMargins(int& top, int& bottom) override;
    void DrawPoints(TPlotCanvas3D& canvas) override;
    void DrawPoint(int index);
    bool WatchesEachAdd() const override { return TChartSeries::WatchesEachAdd() || !AutoRepaint; }
    void PointAdded(TChartSeries* sender, int index) override;

    int PenX = 0, PenY = 0;
    int ColumnMinY = 0, ColumnMaxY = 0;

private:
    void StartPass(TPolylineWriter& writer, int from);
    void LineToPoint(int index, int x, int y);
    bool MayHaveNulls() const { return PointColors.has_value() || SeriesColor() == clNone; }
    // Set for the length of one pass.
    TPolylineWriter* Writer = nullptr;
    const TChartAxis* PassX = nullptr;
    const TChartAxis* PassY = nullptr;
    bool PassMayHaveNulls = true;
};

class TCustomSeries : public TCustomLineSeries {
public:
    // The vertical range is scanned afresh on every query, skipping null points.
    double GetMinY() override { return ScanLevels(false); }
    double GetMaxY() override { return ScanLevels(true); }
    virtual double ScanLevels(bool maximum);

    bool ColorEachLine = true;
    // The point marker: hidden here; only its size matters, for the visible range.
    bool PointerVisible = false;
    int PointerHorizSize = 4, PointerVertSize = 4;

    bool MarkerInPlot(int index) const;
    void ComputeVisibleRange() override;
    void DrawPoints(TPlotCanvas3D& canvas) override;
    void DrawPoint(int index);
    int EdgeLevel(int index) const;

    int LastX = 0, LastY = 0;
    TColor LastColor = clDefault;

private:
    void DrawSegment(int x, int y, TColor color);
    void DrawEdgeSegment(int index, int x, int y);
    void DrawRestPlainly(int from);

    // The last scan's results, kept while nothing they depend on has changed: a paint asks
    // for both ends, and a paint that only zooms should not scan every point again.
    struct TLevelScan {
        unsigned long long Revision = ~0ull;
        TColor Color = clDefault;
        TTreatNulls Nulls = tnDontPaint;
        double Minimum = 0, Maximum = 0;
    };
    TLevelScan LevelCache;
    TPolylineWriter* Writer = nullptr;
    TPlotCanvas3D* PassCanvas = nullptr;
};

class TLineSeries : public TCustomSeries {};
