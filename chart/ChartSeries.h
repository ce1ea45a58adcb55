#pragma once
// A series: its points as parallel value lists (X, Y and any further dimension), optional
// per-point colours and labels, and the notifications that every add and clear sends.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChartElement.h"
#include "ChartValueList.h"
#include "Colors.h"

class TChartSeries;
class TChartAxis;
class TPlotCanvas3D;

using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* sender)>;
using TSeriesOnAfterAdd = std::function<void(TChartSeries* sender, int valueIndex)>;
using TNotifyEvent = std::function<void(TChartSeries* sender)>;

// Sparse labels: empty until a labelled point arrives, never longer than the point count.
using TLabelsList = std::vector<std::string>;

enum TTreatNulls : std::uint8_t { tnDontPaint = 0, tnSkip = 1, tnIgnore = 2 };

// What a series tells the series fed from it.
enum TSeriesChange { scAdd, scClear, scRefresh };

class TCustomChartSeries : public TCustomChartElement {
public:
    // Extra room the series asks of its horizontal and vertical axes, in pixels.
    virtual void HorizMargins(int& left, int& right) { left = right = 0; }
    virtual void VertMargins(int& top, int& bottom) { top = bottom = 0; }
};

class TChartSeries : public TCustomChartSeries {
public:
    TChartSeries();
    ~TChartSeries() override;
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    std::vector<TChartValueList*> ValueLists; // X first, Y second, then any further dimension
    TChartValueList XValues{this, "X"};
    TChartValueList YValues{this, "Y"};
    static constexpr bool ValuesVertical = true;

    std::optional<std::vector<TColor>> PointColors; // absent until a point has its own colour
    TLabelsList PointLabels;
    int SuspendCount = 0;
    int VisibleFrom = -1;
    int VisibleTo = -1;

    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesOnAfterAdd OnAfterAdd;
    TNotifyEvent OnClearValues;

    // Adds one point where its X belongs; returns its index, or -1 when OnBeforeAdd vetoed it.
    virtual int AddPointXY(double x, double y, const std::string& label = {},
                           TColor color = clDefault);
    // The same as AddPointXY(x[i], y[i]) for i = 0..count-1 in order, with no label and the
    // series colour. Rising X on a series that nothing watches point by point is appended in
    // bulk, with one repaint request, which is all those adds would amount to.
    void AddPointsXY(const double* x, const double* y, int count);
    // Makes room in memory for `count` more points in every list, when their number is known
    // in advance.
    void ReservePoints(int count);
    virtual void ClearPoints();
    virtual int PointCount() const { return XValues.Count; }

    virtual double GetMinX() { return XValues.GetMin(); }
    virtual double GetMaxX() { return XValues.GetMax(); }
    virtual double GetMinY() { return YValues.GetMin(); }
    virtual double GetMaxY() { return YValues.GetMax(); }

    virtual TColor PointColor(int index) const;
    bool IsNullPoint(int index) const { return PointColor(index) == clNone; }
    TTreatNulls TreatNulls() const { return TreatNullsValue; }
    void SetTreatNulls(TTreatNulls value) {
        if (TreatNullsValue != value) {
            TreatNullsValue = value;
            RequestRepaint();
        }
    }

    // The axes the series is drawn against (the bottom and left axes unless set otherwise).
    int HorizAxis = 0; // akBottom
    int VertAxis = 2;  // akLeft
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;
    int PixelX(int index) const;
    int PixelY(int index) const;
    double XValueAtPixel(int pixel) const;
    double YValueAtPixel(int pixel) const;
    virtual bool TakesPartInZoom() const { return true; }

    // Drawing: the panel asks for the visible range, then for the points within it.
    bool LimitToView = true;
    bool KeepExitPoint = true;
    virtual void ComputeVisibleRange();
    virtual void DrawPoints(TPlotCanvas3D& canvas) { (void)canvas; }
    std::function<void(TChartSeries*)> BeforeDrawValues, AfterDrawValues;

    // Called after each add while notifications are not suspended.
    virtual void PointAdded(TChartSeries* sender, int index);
    // Tells series fed from this one; there are none in this program.
    virtual void NotifyDependents(TSeriesChange change, int index);

    // Whether each add must be handled on its own (an event is attached, or the series kind
    // reacts to every point).
    virtual bool WatchesEachAdd() const { return OnBeforeAdd || OnAfterAdd; }

    void SuspendNotify() { ++SuspendCount; }
    void ResumeNotify();

    // The colour the series is drawn in: its own one, or the automatic one while it has none.
    TColor SeriesColor() const { return OwnColor == clDefault ? AutoColor : OwnColor; }
    virtual void SetSeriesColor(TColor color);
    void AssignAutoColor(TColor color);
    TColor OwnColor = clDefault;
    TColor AutoColor = clDefault;

protected:
    TTreatNulls TreatNullsValue = tnDontPaint;

private:
    void InsertOwnValues(int index, const std::string& label, TColor color);
    bool CanAppendInBulk(const double* x, int count) const;
    void EmptyStorage();
};
