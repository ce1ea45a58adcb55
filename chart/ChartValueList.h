#pragma once
// One dimension of a series' points: a growable list of doubles that keeps an order, caches
// its statistics and reports its capacity in steps of ValueCapacityStep.

#include <cstdint>
#include <string>

#include "LargeBuffer.h"

class TChartSeries;

enum TChartListOrder : std::uint8_t { loNone = 0, loAscending = 1, loDescending = 2 };

// The capacity a list reports grows by exactly this many entries each time it is full.
inline int ValueCapacityStep = 1000;

class TChartValueList {
public:
    // The list adds itself to the owner's value lists (when there is an owner).
    TChartValueList(TChartSeries* owner, std::string name);
    virtual ~TChartValueList();
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;

    // Copies the settings (order, date-time flag, value source), not the values.
    virtual void Assign(const TChartValueList& source);

    virtual int AddValue(double value);
    virtual void Empty();
    virtual void InsertAt(int index, double value);
    virtual void RemoveAt(int index);
    int AddPending();
    // Appends `count` values at the end, as that many appends would (capacity included),
    // without looking at the order: the caller has checked it.
    void AppendValues(const double* values, int count);

    double GetMax();
    double GetMin();
    double GetAbsSum();
    double GetSum();
    double GetSpan();

    double FirstEntry() const { return Values()[0]; }
    double LastEntry() const { return Values()[Count - 1]; }
    double ValueAt(int index) const { return Values()[index]; }
    const double* Values() const { return reinterpret_cast<const double*>(Store.Data()); }

    int Count = 0;
    double PendingValue = 0;
    TChartSeries* OwnerSeries = nullptr;

    // Makes room in memory for `entries` values in all, so that growing up to that many moves
    // nothing; the capacity the list reports is not changed by this.
    void ReserveStore(long long entries);

    // Entries the list can hold before it must grow; a multiple of ValueCapacityStep.
    int Capacity() const { return ReportedCapacity; }

    const std::string& Name() const { return ListName; }
    void SetName(const std::string& name) { ListName = name; }
    TChartListOrder Order() const { return ListOrder; }
    void SetOrder(TChartListOrder order) { ListOrder = order; }
    bool DateTime() const { return IsDateTime; }
    void SetDateTime(bool value);
    const std::string& ValueSource() const { return SourceName; }
    void SetValueSource(const std::string& value) { SourceName = value; }

    bool StatsStale = true;
    // Counts every change of the values, so that results derived from them can be kept.
    unsigned long long Revision = 0;
    double CachedMax = 0, CachedMin = 0, CachedSum = 0, CachedAbsSum = 0;

private:
    double* MutableValues() { return reinterpret_cast<double*>(Store.Data()); }
    void GrowIfFull(bool full);
    void RecomputeStats();
    void RefreshStats() {
        if (StatsStale)
            RecomputeStats();
    }

    // The memory behind the list grows geometrically, so appending stays amortised O(1),
    // while the capacity it reports follows the fixed step.
    TLargeBuffer Store;
    int ReportedCapacity = 0;

    std::string ListName;
    TChartListOrder ListOrder = loNone;
    bool IsDateTime = false;
    std::string SourceName;
};
