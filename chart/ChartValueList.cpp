#include "ChartValueList.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "ChartSeries.h"

TChartValueList::TChartValueList(TChartSeries* owner, std::string name)
    : OwnerSeries(owner), ListName(std::move(name)) {
    if (OwnerSeries != nullptr)
        OwnerSeries->ValueLists.push_back(this);
}

TChartValueList::~TChartValueList() {
    if (OwnerSeries != nullptr)
        std::erase(OwnerSeries->ValueLists, this);
}

void TChartValueList::Assign(const TChartValueList& source) {
    ListOrder = source.ListOrder;
    IsDateTime = source.IsDateTime;
    SourceName = source.SourceName;
}

void TChartValueList::SetDateTime(bool value) {
    if (value == IsDateTime)
        return;
    IsDateTime = value;
    if (OwnerSeries != nullptr)
        OwnerSeries->RequestRepaint();
}

// Makes the memory behind the list hold at least `entries` values, growing geometrically.
void TChartValueList::ReserveStore(long long entries) {
    if (entries > INT32_MAX)
        throw std::bad_alloc();
    const std::size_t needBytes = static_cast<std::size_t>(entries) * sizeof(double);
    if (needBytes <= Store.Size())
        return;
    try {
        Store.Resize(std::max(needBytes, Store.Size() * 2));
    } catch (const std::bad_alloc&) {
        Store.Resize(needBytes); // the exact need may still fit; throws if not
    }
}

void TChartValueList::GrowIfFull(bool full) {
    if (!full)
        return;
    const long long wanted = static_cast<long long>(ReportedCapacity) + ValueCapacityStep;
    ReserveStore(wanted);
    ReportedCapacity = static_cast<int>(wanted);
}

void TChartValueList::AppendValues(const double* values, int count) {
    if (count <= 0)
        return;
    const long long newCount = static_cast<long long>(Count) + count;
    long long capacity = ReportedCapacity;
    if (capacity < newCount) {
        const long long steps = (newCount - capacity + ValueCapacityStep - 1) / ValueCapacityStep;
        capacity += steps * ValueCapacityStep;
    }
    ReserveStore(capacity);
    ReportedCapacity = static_cast<int>(capacity);
    std::memcpy(MutableValues() + Count, values, sizeof(double) * static_cast<std::size_t>(count));
    Count = static_cast<int>(newCount);
    StatsStale = true;
    ++Revision;
}

int TChartValueList::AddValue(double value) {
    PendingValue = value;
    return AddPending();
}

int TChartValueList::AddPending() {
    const double v = PendingValue;
    bool appends = ListOrder == loNone || Count == 0 ||
                   (ListOrder == loAscending && v >= LastEntry()) ||
                   (ListOrder == loDescending && v <= LastEntry());
    if (appends) {
        GrowIfFull(ReportedCapacity < Count + 1);
        MutableValues()[Count] = v;
        StatsStale = true;
        ++Revision;
        return Count++;
    }
    // A value out of order: scan back from the end so equal values keep their arrival order.
    const double* values = Values();
    int i = Count - 1;
    if (ListOrder == loAscending)
        while (i >= 0 && values[i] > v)
            --i;
    else
        while (i >= 0 && values[i] < v)
            --i;
    const int index = i + 1;
    GrowIfFull(ReportedCapacity < Count + 1);
    double* stored = MutableValues();
    std::memmove(stored + index + 1, stored + index, sizeof(double) * (Count - index));
    stored[index] = v;
    ++Count;
    StatsStale = true;
    ++Revision;
    return index;
}

void TChartValueList::Empty() {
    Count = 0;
    Store.Release();
    ReportedCapacity = 0;
    StatsStale = true;
    ++Revision;
}

void TChartValueList::InsertAt(int index, double value) {
    GrowIfFull(ReportedCapacity <= Count);
    double* stored = MutableValues();
    if (Count - index > 0)
        std::memmove(stored + index + 1, stored + index, sizeof(double) * (Count - index));
    stored[index] = value;
    ++Count;
    StatsStale = true;
    ++Revision;
}

void TChartValueList::RemoveAt(int index) {
    double* stored = MutableValues();
    std::memmove(stored + index, stored + index + 1, sizeof(double) * (Count - index - 1));
    --Count;
    StatsStale = true;
    ++Revision;
}

void TChartValueList::RecomputeStats() {
    if (ReportedCapacity < Count)
        Count = ReportedCapacity;
    if (Count <= 0) {
        CachedMin = CachedMax = CachedSum = CachedAbsSum = 0;
    } else {
        const double* values = Values();
        double minimum = values[0], maximum = values[0];
        double sum = values[0], absSum = std::fabs(values[0]);
        for (int i = 1; i < Count; ++i) {
            const double x = values[i];
            if (x < minimum)
                minimum = x;
            else if (x > maximum)
                maximum = x;
            sum += x;
            absSum += std::fabs(x);
        }
        CachedMin = minimum;
        CachedMax = maximum;
        CachedSum = sum;
        CachedAbsSum = absSum;
    }
    StatsStale = false;
}

double TChartValueList::GetMax() {
    RefreshStats();
    return CachedMax;
}

double TChartValueList::GetMin() {
    RefreshStats();
    return CachedMin;
}

double TChartValueList::GetAbsSum() {
    RefreshStats();
    return CachedAbsSum;
}

double TChartValueList::GetSum() {
    RefreshStats();
    return CachedSum;
}

double TChartValueList::GetSpan() {
    RefreshStats();
    return CachedMax - CachedMin;
}
