#pragma once
// The two series kinds of the program: the fast line (one polyline through the points) and
// the line series (one segment per point, with markers and level scans).

#include "ChartSeries.h"
#include "PlotPen.h"

class TCustomLineSeries : public TChartSeries {
public:
    const TPlotPen& LinePen() const { return Pen; }
    // Copies a whole pen.
    virtual void SetLinePen(const TPlotPen& pen);
    // Changes the pen's colour alone (as reading stored settings does).
    void SetLinePenColor(TColor color);

protected:
    TPlotPen Pen;
};

class TFastLineSeries : public TCustomLineSeries {
public:
    TTreatNulls TreatNulls() const override { return tnIgnore; }
    // The pen follows the series colour, automatic colours included: the fast line is drawn
    // with its pen.
    void SetSeriesColor(TColor color) override;
    // A whole pen brings its colour to the series.
    void SetLinePen(const TPlotPen& pen) override;
};

class TCustomSeries : public TCustomLineSeries {
public:
    // The vertical range is scanned afresh on every query, skipping null points.
    double GetMinY() override { return ScanLevels(false); }
    double GetMaxY() override { return ScanLevels(true); }
    virtual double ScanLevels(bool maximum);
};

class TLineSeries : public TCustomSeries {};
