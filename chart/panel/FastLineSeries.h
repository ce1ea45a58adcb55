#pragma once
// The fast line: one polyline through the visible points, skipping a point that lands on the
// pixel the line already stands on.

#include "CustomLineSeries.h"

class TPolylineWriter;

class TFastLineSeries : public TCustomLineSeries {
  public:
    TFastLineSeries() { TreatNullsValue = tnIgnore; }

    // The pen follows the series colour, automatic colours included: the fast line is drawn
    // with its pen.
    void SetSeriesColor(TColor color) override;
    // A whole pen brings its colour to the series.
    void SetLinePen(const TPlotPen& pen) override;

    bool DrawAllPoints() const { return DrawAllPointsValue; }
    void SetDrawAllPoints(bool value) {
        if (ChangeValue(DrawAllPointsValue, value))
            RequestRepaint();
    }
    TDrawAllPointsStyle DrawAllPointsStyle() const { return DrawAllPointsStyleValue; }
    void SetDrawAllPointsStyle(TDrawAllPointsStyle value) {
        if (ChangeValue(DrawAllPointsStyleValue, value))
            RequestRepaint();
    }
    bool AutoRepaint = true;

    void HorizMargins(int& left, int& right) const override;
    void VertMargins(int& top, int& bottom) const override;
    void DrawPoints(const TSeriesDrawContext& context) override;
    void DrawAddedPoint(const TSeriesDrawContext& context, int index) override;
    bool WatchesEachAdd() const override { return TChartSeries::WatchesEachAdd() || !AutoRepaint; }
    void PointAdded(TChartSeries* sender, int index) override;

  private:
    struct TPass;
    TPass StartPass(const TSeriesDrawContext& context, TPolylineWriter& writer, int from) const;
    void DrawPoint(TPass& pass, int index) const;
    void LineToPoint(TPass& pass, int index, int x, int y) const;
    bool MayHaveNulls() const { return PointColors.has_value() || SeriesColor() == clNone; }

    bool DrawAllPointsValue = true;
    TDrawAllPointsStyle DrawAllPointsStyleValue = daFirst;
};
