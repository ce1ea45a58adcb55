#include "chart/model/ChartSeries.h"

#include <algorithm>

#include "chart/model/ValueRuns.h"

TChartSeries::TChartSeries() {
    AddValueList(XValues);
    AddValueList(YValues);
    XValues.SetOrder(loAscending);
    YValues.SetOrder(loNone);
}

TChartSeries::~TChartSeries() {
    EmptyStorage();
    // Lists that outlive the series no longer report to it.
    for (TChartValueList* list : Lists) {
        list->OnChange = nullptr;
        list->OnDestroy = nullptr;
    }
}

void TChartSeries::AddValueList(TChartValueList& list) {
    Lists.push_back(&list);
    list.OnChange = [this] { RequestRepaint(); };
    list.OnDestroy = [this](TChartValueList& gone) { std::erase(Lists, &gone); };
}

int TChartSeries::AddPointXY(double x, double y, const std::string& label, TColor color) {
    XValues.PendingValue = x;
    YValues.PendingValue = y;
    if (OnBeforeAdd && !OnBeforeAdd(this))
        return -1;
    const int index = XValues.AddPending();
    InsertOwnValues(index, label, color);
    if (SuspendCount == 0)
        PointAdded(this, index);
    return index;
}

bool TChartSeries::CanAppendInBulk(const double* x, int count) const {
    if (WatchesEachAdd() || Lists.size() != 2 || PointColors || !PointLabels.empty() ||
        XValues.Order() != loAscending)
        return false;
    const double last = XValues.Count() > 0 ? XValues.LastEntry() : x[0];
    if (!(x[0] >= last))
        return false;
    return NonDecreasing(x, count);
}

void TChartSeries::AddPointsXY(const double* x, const double* y, int count) {
    if (count <= 0)
        return;
    if (!CanAppendInBulk(x, count)) {
        for (int i = 0; i < count; ++i)
            AddPointXY(x[i], y[i]);
        return;
    }
    XValues.PendingValue = x[count - 1];
    YValues.PendingValue = y[count - 1];
    XValues.AppendValues(x, count);
    try {
        YValues.AppendValues(y, count);
    } catch (...) {
        XValues.DropLast(count); // no list may be left longer than another
        throw;
    }
    if (SuspendCount == 0)
        PointAdded(this, XValues.Count() - 1);
}

void TChartSeries::ViewValues(std::shared_ptr<const TOutsideValues> ys) {
    ClearPoints();
    const int count = ys ? ys->Count() : 0;
    if (count <= 0)
        return;
    if (!CanViewValues()) {
        // Adds that someone watches, or lists beyond X and Y, go one at a time.
        for (int i = 0; i < count; ++i)
            AddPointXY(double(i) + 1, ys->At(i));
        return;
    }
    XValues.PendingValue = count;
    YValues.PendingValue = ys->At(count - 1);
    XValues.AppendRule(1, count);
    YValues.ViewOutside(std::move(ys));
    if (SuspendCount == 0)
        PointAdded(this, XValues.Count() - 1);
}

void TChartSeries::ReservePoints(int count) {
    for (TChartValueList* list : Lists)
        list->ReserveStore(static_cast<long long>(list->Count()) + count);
}

// Everything but X for the point at `index`. Should memory run out part-way, the lists that
// already took the point give it back, so that no list is left longer than another.
void TChartSeries::InsertOwnValues(int index, const std::string& label, TColor color) {
    std::size_t listsDone = 1; // XValues holds the point already
    try {
        for (; listsDone < Lists.size(); ++listsDone)
            Lists[listsDone]->InsertAt(index, Lists[listsDone]->PendingValue);
        if (PointColors) {
            PointColors->insert(PointColors->begin() + index, color);
        } else if (color != clDefault) {
            std::vector<TColor> colors(static_cast<std::size_t>(XValues.Count() - 1), clDefault);
            colors.insert(colors.begin() + index, color);
            PointColors = std::move(colors);
        }
        if (!label.empty() || !PointLabels.empty()) {
            if (PointLabels.size() < static_cast<std::size_t>(index))
                PointLabels.resize(static_cast<std::size_t>(index));
            PointLabels.insert(PointLabels.begin() + index, label);
        }
    } catch (...) {
        if (PointColors && PointColors->size() > static_cast<std::size_t>(XValues.Count() - 1))
            PointColors->erase(PointColors->begin() + index);
        while (listsDone-- > 0)
            Lists[listsDone]->RemoveAt(index);
        throw;
    }
}

void TChartSeries::EmptyStorage() {
    for (TChartValueList* list : Lists)
        list->Empty();
    PointColors.reset();
    PointLabels.clear();
    PointLabels.shrink_to_fit();
}

void TChartSeries::ClearPoints() {
    LastFrom = -1;
    LastTo = -1;
    EmptyStorage();
    if (OnClearValues)
        OnClearValues(this);
    NotifyDependents(scClear, 0);
    if (IsActive)
        RequestRepaint();
}

TColor TChartSeries::PointColor(int index) const {
    if (PointColors && static_cast<std::size_t>(index) < PointColors->size() &&
        (*PointColors)[index] != clDefault)
        return (*PointColors)[index];
    return SeriesColor();
}

void TChartSeries::PointAdded(TChartSeries* sender, int index) {
    if (OnAfterAdd)
        OnAfterAdd(sender, index);
    NotifyDependents(scAdd, index);
    if (IsActive)
        RequestRepaint();
}

void TChartSeries::NotifyDependents(TSeriesChange, int) {}

void TChartSeries::ResumeNotify() {
    if (SuspendCount <= 0)
        return;
    if (--SuspendCount == 0) {
        NotifyDependents(scRefresh, 0);
        RequestRepaint();
    }
}

void TChartSeries::SetSeriesColor(TColor color) {
    if (OwnColor == clDefault && color == AutoColor)
        return;
    OwnColor = color;
    AutoColor = OwnColor;
    RequestRepaint();
}

void TChartSeries::AssignAutoColor(TColor color) {
    AutoColor = color;
    SetSeriesColor(color);
}

// The points to draw: on ascending X, those between the plot's left and right edges, plus the
// first point at or beyond the right edge. On ascending X a binary search finds the same
// indexes as a scan from the start, without a cost for the points before the view.
void TChartSeries::ComputeVisibleRange(TSeriesDrawContext& context) {
    LastX = context.X;
    LastY = context.Y;
    FindVisibleRange(context);
    LastFrom = context.From;
    LastTo = context.To;
}

void TChartSeries::FindVisibleRange(TSeriesDrawContext& context) const {
    int& from = context.From;
    int& to = context.To;
    from = -1;
    to = -1;
    const int count = PointCount();
    if (count == 0)
        return;
    const int last = count - 1;
    if (!LimitToView || XValues.Order() == loNone) {
        from = 0;
        to = last;
        return;
    }
    const TAxisMapping& axis = context.X;
    const TRect& r = context.ChartRect;
    const double low = axis.ValueAtPixel(axis.Inverted ? r.Right + axis.MinimumOffset
                                                       : r.Left + axis.MinimumOffset);
    const double high = axis.ValueAtPixel(axis.Inverted ? r.Left - axis.MaximumOffset
                                                        : r.Right - axis.MaximumOffset);
    const TChartValueList::TView x = XValues.View();
    // The first index in [begin, count) whose value is not below `value`.
    const auto lowerBound = [&](int begin, double value) {
        int end = count;
        while (begin < end) {
            const int middle = begin + (end - begin) / 2;
            if (x[middle] < value)
                begin = middle + 1;
            else
                end = middle;
        }
        return begin;
    };
    if (XValues.Order() == loAscending) {
        from = lowerBound(0, low);
        if (from == count) {
            from = -1;
            return;
        }
        if (!(x[last] > high)) {
            to = last;
        } else {
            to = lowerBound(from, high);
            if (to > last)
                to = last;
            if (!KeepExitPoint)
                while (to > 0 && x[to] > high)
                    --to;
        }
        return;
    }
    // Any other order: the scans from the start.
    int i = 0;
    while (i < count && x[i] < low)
        ++i;
    if (i == count)
        return;
    from = i;
    if (!(x[last] > high)) {
        to = last;
        return;
    }
    int j = from;
    while (j < last && x[j] < high)
        ++j;
    to = j;
    if (!KeepExitPoint)
        while (to > 0 && x[to] > high)
            --to;
}
