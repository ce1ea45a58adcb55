#include "chart/model/ChartValueList.h"

#include <algorithm>
#include <bit>
#include <tuple>

#include "chart/model/ValueRuns.h"
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

const double* TChartValueList::Values() const {
    GiveUpRule();
    GiveUpOutside();
    return reinterpret_cast<const double*>(Store.Data());
}

void TChartValueList::AllocateForHeldValues() const {
    const long long entries = std::max<long long>({ReservedEntries, ReportedCapacity, ValueCount});
    if (entries > 0)
        AllocateStore(entries);
}

void TChartValueList::GiveUpOutside() const {
    if (!Outside)
        return;
    AllocateForHeldValues();
    Outside->Read(0, ValueCount, reinterpret_cast<double*>(Store.Data()));
    Outside.reset();
    Summary.Clear();
}

void TChartValueList::UpdateSummary() const {
    if (Outside)
        Summary.UpdateFrom(*Outside, ValueCount);
    else
        Summary.Update(reinterpret_cast<const double*>(Store.Data()), ValueCount);
}

void TChartValueList::AppendRule(double first, int count) {
    if (count <= 0 || !RuleHeld)
        return;
    if (ValueCount == 0)
        RuleFirst = first;
    const long long newCount = static_cast<long long>(ValueCount) + count;
    long long capacity = ReportedCapacity;
    if (capacity < newCount)
        capacity +=
            (newCount - capacity + ValueCapacityStep - 1) / ValueCapacityStep * ValueCapacityStep;
    ReserveStore(capacity);
    ReportedCapacity = static_cast<int>(capacity);
    ValueCount = static_cast<int>(newCount);
    ValuesChanged();
}

void TChartValueList::ViewOutside(std::shared_ptr<const TOutsideValues> values) {
    const int count = values ? values->Count() : 0;
    ValueCount = 0;
    Store.Release();
    RuleHeld = false;
    ReservedEntries = 0;
    Summary.Clear();
    Outside = std::move(values);
    // The capacity a list reports after that many appends.
    ReportedCapacity = (count + ValueCapacityStep - 1) / ValueCapacityStep * ValueCapacityStep;
    ValueCount = count;
    ValuesChanged();
}

bool TChartValueList::ContinuesRule(double value, int index) const {
    const double expected = (index == 0 ? value : RuleFirst) + double(index);
    // NaN never equals itself, and first + 0 turns -0 into +0: neither can be the rule's.
    return value == value &&
           std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(expected);
}

// Makes the memory behind the list hold at least `entries` values, growing geometrically.
void TChartValueList::AllocateStore(long long entries) const {
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
    Summary.Reserve(static_cast<long long>(Store.Size() / sizeof(double)));
}

void TChartValueList::ReserveStore(long long entries) {
    if (RuleHeld) {
        if (entries > INT32_MAX)
            throw std::bad_alloc();
        ReservedEntries = std::max(ReservedEntries, entries); // given if the rule stops
        return;
    }
    AllocateStore(entries);
}

void TChartValueList::GiveUpRule() const {
    if (!RuleHeld)
        return;
    AllocateForHeldValues();
    auto* stored = reinterpret_cast<double*>(Store.Data());
    for (int i = 0; i < ValueCount; ++i)
        stored[i] = RuleValue(i);
    RuleHeld = false;
    Summary.Clear();
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
    if (RuleHeld) {
        if (ValueCount == 0)
            RuleFirst = values[0];
        // The whole block against the rule at once; only a block that breaks it is looked at
        // value by value.
        const bool follows =
            RuleFirst == RuleFirst && FollowsRule(values, count, RuleFirst, ValueCount);
        int k = follows ? count : 0;
        while (k < count && ContinuesRule(values[k], ValueCount + k))
            ++k;
        if (k == count) {
            ReportedCapacity = static_cast<int>(capacity);
            ValueCount = static_cast<int>(newCount);
            ValuesChanged();
            return;
        }
        ValueCount += k; // the values up to the one that breaks the rule follow it
        try {
            GiveUpRule();
        } catch (...) {
            ValueCount -= k; // no memory for the array: the list is as it was
            throw;
        }
        values += k;
        count -= k;
        AllocateStore(capacity);
    }
    ReportedCapacity = static_cast<int>(capacity);
    std::memcpy(MutableValues() + ValueCount, values,
                sizeof(double) * static_cast<std::size_t>(count));
    ValueCount = static_cast<int>(newCount);
    ValuesChanged();
    // Summarised here, while the new values are at hand: a load's blocks need no second pass.
    Summary.Update(reinterpret_cast<const double*>(Store.Data()), ValueCount);
}

void TChartValueList::DropLast(int count) {
    ValueCount -= std::clamp(count, 0, ValueCount);
    Summary.Forget(ValueCount);
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
        if (RuleHeld && ContinuesRule(v, ValueCount)) {
            if (ValueCount == 0)
                RuleFirst = v;
        } else {
            MutableValues()[ValueCount] = v;
        }
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
    Summary.Forget(index);
    ValuesChanged();
    return index;
}

void TChartValueList::Empty() {
    ValueCount = 0;
    Outside.reset();
    Store.Release();
    ReportedCapacity = 0;
    RuleHeld = true;
    ReservedEntries = 0;
    Summary.Clear();
    ValuesChanged();
}

void TChartValueList::InsertAt(int index, double value) {
    GrowIfFull(ReportedCapacity <= ValueCount);
    double* stored = MutableValues();
    if (ValueCount - index > 0)
        std::memmove(stored + index + 1, stored + index, sizeof(double) * (ValueCount - index));
    stored[index] = value;
    ++ValueCount;
    Summary.Forget(index);
    ValuesChanged();
}

void TChartValueList::RemoveAt(int index) {
    if (RuleHeld && index == ValueCount - 1) {
        --ValueCount; // the rest still follows the rule
        ValuesChanged();
        return;
    }
    double* stored = MutableValues();
    std::memmove(stored + index, stored + index + 1, sizeof(double) * (ValueCount - index - 1));
    --ValueCount;
    Summary.Forget(index);
    ValuesChanged();
}

std::pair<double, double> TChartValueList::RangeMinMax(int first, int last) const {
    if (RuleHeld)
        return {RuleValue(first), RuleValue(last)};
    UpdateSummary();
    if (Outside)
        return Summary.Range(View(), first, last);
    return Summary.Range(reinterpret_cast<const double*>(Store.Data()), first, last);
}

bool TChartValueList::HasNaN() const {
    if (RuleHeld)
        return false;
    UpdateSummary();
    return Summary.HasNaN();
}

// The lowest and highest value are those of a pass from the first value to the last that
// takes a value only when it is strictly beyond: the first of equal extremes. The summary and
// the rule give the same; a list with NaN takes the pass itself.
void TChartValueList::RefreshStats() const {
    if (!StatsStale)
        return;
    if (ValueCount <= 0) {
        CachedMin = CachedMax = 0;
    } else if (!HasNaN()) {
        std::tie(CachedMin, CachedMax) = RangeMinMax(0, ValueCount - 1);
    } else {
        const TView values = View();
        double minimum = values[0], maximum = values[0];
        for (int i = 1; i < ValueCount; ++i) {
            const double x = values[i];
            if (x < minimum)
                minimum = x;
            else if (x > maximum)
                maximum = x;
        }
        CachedMin = minimum;
        CachedMax = maximum;
    }
    StatsStale = false;
}

// The sums take a pass over the values; only a question for them pays it.
void TChartValueList::RefreshSums() const {
    if (!SumsStale)
        return;
    double sum = 0, absSum = 0;
    if (ValueCount > 0) {
        const TView values = View();
        sum = values[0];
        absSum = std::fabs(values[0]);
        for (int i = 1; i < ValueCount; ++i) {
            const double x = values[i];
            sum += x;
            absSum += std::fabs(x);
        }
    }
    CachedSum = sum;
    CachedAbsSum = absSum;
    SumsStale = false;
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
    RefreshSums();
    return CachedAbsSum;
}

double TChartValueList::GetSum() const {
    RefreshSums();
    return CachedSum;
}

double TChartValueList::GetSpan() const {
    RefreshStats();
    return CachedMax - CachedMin;
}
