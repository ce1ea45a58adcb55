#pragma once
// The two series kinds of the program: the fast line (one polyline through the points) and
// the line series (one segment per point, with markers and level scans).

#include "ChartSeries.h"

class TCustomLineSeries : public TChartSeries {};

class TFastLineSeries : public TCustomLineSeries {
public:
    TTreatNulls TreatNulls() const override { return tnIgnore; }
};

class TCustomSeries : public TCustomLineSeries {
public:
    // The vertical range is scanned afresh on every query, skipping null points.
    double GetMinY() override { return ScanLevels(false); }
    double GetMaxY() override { return ScanLevels(true); }
    virtual double ScanLevels(bool maximum);
};

class TLineSeries : public TCustomSeries {};
