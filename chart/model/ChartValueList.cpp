#include "ChartValueList.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

TChartValueList::TChartValueList(std::string name) : ListName(std::move(name)) {}

TChartValueList::~TChartValueList() {
    if (OnDestroy)
        OnDestroy(*this);
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
    if (OnChange)
        OnChange();
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
    const long long newCount = static_cast<long long>(ValueCount) + count;
    long long capacity = ReportedCapacity;
    if (capacity < newCount) {
        const long long steps = (newCount - capacity + ValueCapacityStep - 1) / ValueCapacityStep;
        capacity += steps * ValueCapacityStep;
    }
    ReserveStore(capacity);
    ReportedCapacity = static_cast<int>(capacity);
    std::memcpy(MutableValues() + ValueCount, values,
                sizeof(double) * static_cast<std::size_t>(count));
    ValueCount = static_cast<int>(newCount);
    ValuesChanged();
}

void TChartValueList::DropLast(int count) {
    ValueCount -= std::clamp(count, 0, ValueCount);
    ValuesChanged();
}

int TChartValueList::AddValue(double value) {
    PendingValue = value;
    return AddPending();
}

int TChartValueList::AddPending() {
    const double v = PendingValue;
    bool appends = ListOrder == loNone || ValueCount == 0 ||
                   (ListOrder == loAscending && v >= LastEntry()) ||
                   (ListOrder == loDescending && v <= LastEntry());
    if (appends) {
        GrowIfFull(ReportedCapacity < ValueCount + 1);
        MutableValues()[ValueCount] = v;
        ValuesChanged();
        return ValueCount++;
    }
    // A value out of order: scan back from the end so equal values keep their arrival order.
    const double* values = Values();
    int i = ValueCount - 1;
    if (ListOrder == loAscending)
        while (i >= 0 && values[i] > v)
            --i;
    else
        while (i >= 0 && values[i] < v)
            --i;
    const int index = i + 1;
    GrowIfFull(ReportedCapacity < ValueCount + 1);
    double* stored = MutableValues();
    std::memmove(stored + index + 1, stored + index, sizeof(double) * (ValueCount - index));
    stored[index] = v;
    ++ValueCount;
    ValuesChanged();
    return index;
}

void TChartValueList::Empty() {
    ValueCount = 0;
    Store.Release();
    ReportedCapacity = 0;
    ValuesChanged();
}

void TChartValueList::InsertAt(int index, double value) {
    GrowIfFull(ReportedCapacity <= ValueCount);
    double* stored = MutableValues();
    if (ValueCount - index > 0)
        std::memmove(stored + index + 1, stored + index, sizeof(double) * (ValueCount - index));
    stored[index] = value;
    ++ValueCount;
    ValuesChanged();
}

void TChartValueList::RemoveAt(int index) {
    double* stored = MutableValues();
    std::memmove(stored + index, stored + index + 1, sizeof(double) * (ValueCount - index - 1));
    --ValueCount;
    ValuesChanged();
}

void TChartValueList::RefreshStats() const {
    if (!StatsStale)
        return;
    if (ValueCount <= 0) {
        CachedMin = CachedMax = CachedSum = CachedAbsSum = 0;
    } else {
        const double* values = Values();
        double minimum = values[0], maximum = values[0];
        double sum = values[0], absSum = std::fabs(values[0]);
        for (int i = 1; i < ValueCount; ++i) {
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

double TChartValueList::GetMax() const {
    RefreshStats();
    return CachedMax;
}

double TChartValueList::GetMin() const {
    RefreshStats();
    return CachedMin;
}

double TChartValueList::GetAbsSum() const {
    RefreshStats();
    return CachedAbsSum;
}

double TChartValueList::GetSum() const {
    RefreshStats();
    return CachedSum;
}

double TChartValueList::GetSpan() const {
    RefreshStats();
    return CachedMax - CachedMin;
}
