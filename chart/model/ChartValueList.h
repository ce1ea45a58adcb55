#pragma once
// One dimension of a series' points: a growable list of doubles that keeps an order, caches
// its statistics and reports its capacity in steps of ValueCapacityStep.

#include <cstdint>
#include <functional>
#include <string>

#include "LargeBuffer.h"

enum TChartListOrder : std::uint8_t { loNone = 0, loAscending = 1, loDescending = 2 };

// The capacity a list reports grows by exactly this many entries each time it is full.
inline int ValueCapacityStep = 1000;

class TChartValueList {
  public:
    explicit TChartValueList(std::string name);
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
    // Gives back the last `count` values (an append that must be undone).
    void DropLast(int count);

    // Statistics of the values; computed on the first question after a change and kept.
    double GetMax() const;
    double GetMin() const;
    double GetAbsSum() const;
    double GetSum() const;
    double GetSpan() const;
    // Whether the statistics are known without a pass over the values.
    bool StatisticsKept() const { return !StatsStale; }

    int Count() const { return ValueCount; }
    double FirstEntry() const { return Values()[0]; }
    double LastEntry() const { return Values()[ValueCount - 1]; }
    double ValueAt(int index) const { return Values()[index]; }
    const double* Values() const { return reinterpret_cast<const double*>(Store.Data()); }

    // The value the next AddPending stores.
    double PendingValue = 0;

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

    // Counts every change of the values, so that results derived from them can be kept.
    unsigned long long Revision() const { return ValueRevision; }

    // The owner's handlers: a change of the look, and the list going away.
    std::function<void()> OnChange;
    std::function<void(TChartValueList&)> OnDestroy;

  private:
    double* MutableValues() { return reinterpret_cast<double*>(Store.Data()); }
    void GrowIfFull(bool full);
    void ValuesChanged() {
        StatsStale = true;
        ++ValueRevision;
    }
    void RefreshStats() const;

    // The memory behind the list grows geometrically, so appending stays amortised O(1),
    // while the capacity it reports follows the fixed step.
    TLargeBuffer Store;
    int ValueCount = 0;
    int ReportedCapacity = 0;
    unsigned long long ValueRevision = 0;

    // The statistics are a cache of the values: a question refreshes them, the values stay.
    mutable bool StatsStale = true;
    mutable double CachedMax = 0, CachedMin = 0, CachedSum = 0, CachedAbsSum = 0;

    std::string ListName;
    TChartListOrder ListOrder = loNone;
    bool IsDateTime = false;
    std::string SourceName;
};
