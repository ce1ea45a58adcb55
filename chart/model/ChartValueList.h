#pragma once
// One dimension of a series' points: a growable list of doubles that keeps an order, caches
// its statistics and reports its capacity in steps of ValueCapacityStep.
// Three things keep big lists cheap. A list whose values so far are exactly first, first + 1,
// first + 2, ... (a load's frame numbers) holds that rule and no memory, until a value breaks
// it. A list may view values held elsewhere (a file's samples) instead of a copy, until it is
// changed through its own operations. Every list that is not the rule keeps a summary of its
// blocks' lowest and highest values, so that the extremes of any range of indexes come in
// O(log n).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "chart/model/MinMaxSummary.h"
#include "chart/model/OutsideValues.h"
#include "memory/LargeBuffer.h"

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
    // Appends `count` values that continue the rule first, first + 1, ... (from `first` when
    // the list is empty), as that many appends would; the list must hold the rule.
    void AppendRule(double first, int count);
    // Replaces the values with a view of `values` (its Count() of them, read as they are
    // needed, never copied), as emptying and appending them would, with one change reported.
    // The list's own operations that change a value first make it hold a copy.
    void ViewOutside(std::shared_ptr<const TOutsideValues> values);
    // Whether the values are read from outside.
    bool ViewsOutside() const { return Outside != nullptr; }

    // Statistics of the values; computed on the first question after a change and kept.
    double GetMax() const;
    double GetMin() const;
    double GetAbsSum() const;
    double GetSum() const;
    double GetSpan() const;
    // Whether the statistics are known without a pass over the values.
    bool StatisticsKept() const { return !StatsStale; }

    int Count() const { return ValueCount; }
    double FirstEntry() const { return ValueAt(0); }
    double LastEntry() const { return ValueAt(ValueCount - 1); }
    double ValueAt(int index) const {
        if (RuleHeld)
            return RuleValue(index);
        return Outside ? Outside->At(index) : reinterpret_cast<const double*>(Store.Data())[index];
    }
    // The values as an array. A list that holds the rule or views values from outside is
    // given memory for them here (and keeps it): paths that run over millions of values read
    // ValueAt or View instead.
    const double* Values() const;

    // The values as the list holds them: an array, the rule that gives them, or the outside
    // values it views (straight as their array of integers where they are one, so that hot
    // loops pay no call per value).
    struct TView {
        const double* Array; // null while the rule is held or outside values are viewed
        double First;
        const TOutsideValues* Outside = nullptr;
        const std::int32_t* Ints = nullptr; // the outside values' integers, where they are
        double operator[](int index) const {
            if (Array)
                return Array[index];
            if (Ints)
                return Ints[index];
            return Outside ? Outside->At(index) : First + double(index);
        }
    };
    TView View() const {
        if (RuleHeld)
            return TView{nullptr, RuleFirst};
        return Outside ? TView{nullptr, 0, Outside.get(), Outside->IntArray()}
                       : TView{reinterpret_cast<const double*>(Store.Data()), 0};
    }
    // Whether the values are held as the rule first, first + 1, ... (no memory behind them).
    bool HoldsRule() const { return RuleHeld; }

    // The lowest and highest of the values at indexes first..last (first <= last < Count()),
    // in O(log n). Meaningless where HasNaN().
    std::pair<double, double> RangeMinMax(int first, int last) const;
    // Whether any value is NaN.
    bool HasNaN() const;

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
    double* MutableValues() {
        GiveUpRule();
        GiveUpOutside();
        return reinterpret_cast<double*>(Store.Data());
    }
    // Copies the outside values into memory and holds them from now on; a list that cannot
    // get the memory stays as it was.
    void GiveUpOutside() const;
    // Memory for the values as an array: the reserved, reported or counted entries, the most.
    void AllocateForHeldValues() const;
    // Brings the summary up to the values, wherever they are held.
    void UpdateSummary() const;
    double RuleValue(int index) const { return RuleFirst + double(index); }
    // Whether `value` may be stored as the rule's next value (its bits, so -0 is not 0).
    bool ContinuesRule(double value, int index) const;
    // Stores the rule's values in memory and holds values from now on.
    void GiveUpRule() const;
    void AllocateStore(long long entries) const;
    void GrowIfFull(bool full);
    void ValuesChanged() {
        StatsStale = true;
        SumsStale = true;
        ++ValueRevision;
    }
    void RefreshStats() const;
    void RefreshSums() const;

    // The memory behind the list grows geometrically, so appending stays amortised O(1),
    // while the capacity it reports follows the fixed step.
    mutable TLargeBuffer Store;
    // The rule first, first + 1, ... while it holds; memory asked for meanwhile is given when
    // it stops.
    mutable bool RuleHeld = true;
    double RuleFirst = 0;
    mutable long long ReservedEntries = 0;
    // The values viewed from outside, while they are; the store is then unused.
    mutable std::shared_ptr<const TOutsideValues> Outside;
    // Lowest and highest values of blocks, brought up to date as a question needs it.
    mutable TMinMaxSummary Summary;
    int ValueCount = 0;
    int ReportedCapacity = 0;
    unsigned long long ValueRevision = 0;

    // The statistics are a cache of the values: a question refreshes them, the values stay.
    mutable bool StatsStale = true;
    mutable bool SumsStale = true;
    mutable double CachedMax = 0, CachedMin = 0, CachedSum = 0, CachedAbsSum = 0;

    std::string ListName;
    TChartListOrder ListOrder = loNone;
    bool IsDateTime = false;
    std::string SourceName;
};
