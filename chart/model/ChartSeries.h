#pragma once
// A series: its points as parallel value lists (X, Y and any further dimension), optional
// per-point colours and labels, the notifications that every add and clear sends, and the
// drawing interface the panel calls with a draw context.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AxisMapping.h"
#include "ChartValueList.h"
#include "Colors.h"
#include "CustomChartSeries.h"
#include "SeriesDrawContext.h"

class TChartSeries;

using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* sender)>;
using TSeriesOnAfterAdd = std::function<void(TChartSeries* sender, int valueIndex)>;
using TNotifyEvent = std::function<void(TChartSeries* sender)>;

// Sparse labels: empty until a labelled point arrives, never longer than the point count.
using TLabelsList = std::vector<std::string>;

enum TTreatNulls : std::uint8_t { tnDontPaint = 0, tnSkip = 1, tnIgnore = 2 };

// What a series tells the series fed from it.
enum TSeriesChange { scAdd, scClear, scRefresh };

class TChartSeries : public TCustomChartSeries {
  public:
    TChartSeries();
    ~TChartSeries() override;
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    // X first, Y second, then any further dimension.
    const std::vector<TChartValueList*>& ValueLists() const { return Lists; }
    TChartValueList XValues{"X"};
    TChartValueList YValues{"Y"};
    static constexpr bool ValuesVertical = true;
    // A further dimension: the list takes part in every add, clear and failure undo, and
    // leaves the series by itself when it goes away first.
    void AddValueList(TChartValueList& list);

    std::optional<std::vector<TColor>> PointColors; // absent until a point has its own colour
    TLabelsList PointLabels;

    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesOnAfterAdd OnAfterAdd;
    TNotifyEvent OnClearValues;
    // Set by the owning panel: draws point `index` at once onto the chart's picture (for a
    // series that paints each add itself rather than asking for a repaint).
    std::function<void(TChartSeries& sender, int index)> OnPaintAddedPoint;

    // Adds one point where its X belongs; returns its index, or -1 when OnBeforeAdd vetoed it.
    virtual int AddPointXY(double x, double y, const std::string& label = {},
                           TColor color = clDefault);
    // The same as AddPointXY(x[i], y[i]) for i = 0..count-1 in order, with no label and the
    // series colour. Rising X on a series that nothing watches point by point is appended in
    // bulk, with one repaint request, which is all those adds would amount to.
    void AddPointsXY(const double* x, const double* y, int count);
    // Shows `ys` as the points (1, ys[0]), (2, ys[1]), ...: X holds the rule, Y views the
    // values where they are. To an observer it is a clear followed by that many adds of
    // rising X in bulk (counts, values, statistics, one repaint request). A series whose adds
    // are watched one by one, or that has more than X and Y, takes the adds one by one.
    void ViewValues(std::shared_ptr<const TOutsideValues> ys);
    // Whether ViewValues views the values where they are, rather than taking them one add at
    // a time: nothing watches the adds one by one, and the series has X and Y alone.
    bool CanViewValues() const {
        return !WatchesEachAdd() && Lists.size() == 2 && XValues.Order() == loAscending;
    }
    // Makes room in memory for `count` more points in every list, when their number is known
    // in advance.
    void ReservePoints(int count);
    virtual void ClearPoints();
    virtual int PointCount() const { return XValues.Count(); }

    virtual double GetMinX() const { return XValues.GetMin(); }
    virtual double GetMaxX() const { return XValues.GetMax(); }
    virtual double GetMinY() const { return YValues.GetMin(); }
    virtual double GetMaxY() const { return YValues.GetMax(); }

    virtual TColor PointColor(int index) const;
    bool IsNullPoint(int index) const { return PointColor(index) == clNone; }
    TTreatNulls TreatNulls() const { return TreatNullsValue; }
    void SetTreatNulls(TTreatNulls value) {
        if (ChangeValue(TreatNullsValue, value))
            RequestRepaint();
    }

    // The axes the series is drawn against (the bottom and left axes unless set otherwise).
    int HorizAxis = 0; // akBottom
    int VertAxis = 2;  // akLeft
    // Where the last paint placed point `index`, and the values under a pixel in that paint.
    int PixelX(int index) const { return LastX.PixelOfValue(XValues.ValueAt(index)); }
    int PixelY(int index) const { return LastY.PixelOfValue(YValues.ValueAt(index)); }
    double XValueAtPixel(int pixel) const { return LastX.ValueAtPixel(pixel); }
    double YValueAtPixel(int pixel) const { return LastY.ValueAtPixel(pixel); }
    const TAxisMapping& LastHorizMapping() const { return LastX; }
    const TAxisMapping& LastVertMapping() const { return LastY; }
    virtual bool TakesPartInZoom() const { return true; }

    // Drawing: the panel asks for the visible range in the context, then draws the points of
    // that range (the context's From and To).
    bool LimitToView = true;
    bool KeepExitPoint = true;
    void ComputeVisibleRange(TSeriesDrawContext& context);
    virtual void DrawPoints(const TSeriesDrawContext& context) { (void)context; }
    // Draws point `index` alone, joined to the point before it.
    virtual void DrawAddedPoint(const TSeriesDrawContext& context, int index) {
        (void)context;
        (void)index;
    }
    std::function<void(TChartSeries*)> BeforeDrawValues, AfterDrawValues;
    // The visible range of the last paint; -1 when none.
    int VisibleFrom() const { return LastFrom; }
    int VisibleTo() const { return LastTo; }

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
    // The range in the context's mappings; widened by kinds whose points have a size.
    virtual void FindVisibleRange(TSeriesDrawContext& context) const;

    TTreatNulls TreatNullsValue = tnDontPaint;

  private:
    void InsertOwnValues(int index, const std::string& label, TColor color);
    bool CanAppendInBulk(const double* x, int count) const;
    void EmptyStorage();

    std::vector<TChartValueList*> Lists;
    int SuspendCount = 0;
    TAxisMapping LastX, LastY;
    int LastFrom = -1, LastTo = -1;
};
