#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <stdexcept>
#include <vector>

#include <QApplication>

#include <unistd.h>

#include "chart/interaction/Chart.h"
#include "chart/model/OutsideIntValues.h"
#include "chart/model/ValueRuns.h"
#include "chart/panel/LineSeries.h"
#include "tests/support/ChildProcess.h"

namespace {

TEST(ChartValueList, OrderedAddsGoWhereTheOrderPutsThem) {
    struct TCase {
        TChartListOrder Order;
        std::vector<double> Adds;
        std::vector<int> Indexes;
        std::vector<double> Result;
    };
    const TCase cases[] = {
        {loAscending, {1, 3, 2, 2}, {0, 1, 1, 2}, {1, 2, 2, 3}},
        {loAscending, {5, 6, 1}, {0, 1, 0}, {1, 5, 6}},
        {loDescending, {5, 1, 3, 3}, {0, 1, 1, 2}, {5, 3, 3, 1}},
        {loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}},
    };
    for (const TCase& c : cases) {
        TChartValueList list("X");
        list.SetOrder(c.Order);
        std::vector<int> indexes;
        for (double v : c.Adds)
            indexes.push_back(list.AddValue(v));
        EXPECT_EQ(indexes, c.Indexes);
        EXPECT_EQ(std::vector<double>(list.Values(), list.Values() + list.Count()), c.Result);
    }
}

TEST(ChartValueList, CapacityStepsByAThousandAndEmptyReleasesIt) {
    TChartValueList list("Y");
    EXPECT_EQ(list.Capacity(), 0);
    list.AddValue(1);
    EXPECT_EQ(list.Capacity(), 1000);
    for (int i = 1; i < 1000; ++i)
        list.AddValue(i);
    EXPECT_EQ(list.Capacity(), 1000);
    list.AddValue(0);
    EXPECT_EQ(list.Capacity(), 2000);
    list.InsertAt(0, -1);
    EXPECT_EQ(list.Count(), 1002);
    EXPECT_EQ(list.FirstEntry(), -1);
    EXPECT_EQ(list.ValueAt(1), 1);
    list.Empty();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(ChartValueList, StatisticsAreCachedUntilTheNextChange) {
    TChartValueList list("Y");
    EXPECT_EQ(list.GetMin(), 0);
    EXPECT_EQ(list.GetMax(), 0);
    list.AddValue(-5);
    EXPECT_EQ(list.GetMin(), -5);
    EXPECT_EQ(list.GetMax(), -5);
    EXPECT_EQ(list.GetAbsSum(), 5);
    for (double v : {3.0, -7.0, 2.0})
        list.AddValue(v);
    EXPECT_FALSE(list.StatisticsKept());
    EXPECT_EQ(list.GetMin(), -7);
    EXPECT_EQ(list.GetMax(), 3);
    EXPECT_EQ(list.GetSpan(), 10);
    EXPECT_EQ(list.GetAbsSum(), 17);
    EXPECT_EQ(list.GetSum(), -7);
    EXPECT_TRUE(list.StatisticsKept());
    list.RemoveAt(2); // the -7
    EXPECT_EQ(list.GetMin(), -5);
}

// The extremes of any range, from the summary, equal a plain scan after any mix of block and
// single adds, inserts, removals and clears; the statistics agree with a scan too.
TEST(ChartValueList, RangeExtremesMatchAPlainScan) {
    std::mt19937 random(3);
    const auto below = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
    TChartValueList list("Y");
    std::vector<double> plain;
    for (int round = 0; round < 400; ++round) {
        switch (below(10)) {
        case 0:
        case 1:
        case 2: {
            std::vector<double> block(std::size_t(below(3000)));
            // Wide values, or a narrow run at zero where +0 and -0 (equal) are the extremes.
            const bool narrow = below(3) == 0;
            for (double& v : block)
                v = below(narrow ? 4 : 50) == 0 ? -0.0 : narrow ? below(3) - 2 : below(2001) - 1000;
            list.AppendValues(block.data(), int(block.size()));
            plain.insert(plain.end(), block.begin(), block.end());
            break;
        }
        case 3:
        case 4: {
            const double v = below(4001) - 2000;
            list.AddValue(v);
            plain.push_back(v);
            break;
        }
        case 5:
        case 6: {
            const int at = below(int(plain.size()) + 1);
            const double v = below(5001) - 2500;
            list.InsertAt(at, v);
            plain.insert(plain.begin() + at, v);
            break;
        }
        case 7:
        case 8:
            if (!plain.empty()) {
                const int at = below(int(plain.size()));
                list.RemoveAt(at);
                plain.erase(plain.begin() + at);
            }
            break;
        default:
            if (below(10) == 0) {
                list.Empty();
                plain.clear();
            }
        }
        ASSERT_EQ(list.Count(), int(plain.size()));
        for (int q = 0; q < 10 && !plain.empty(); ++q) {
            int a = below(int(plain.size())), b = below(int(plain.size()));
            if (a > b)
                std::swap(a, b);
            const auto [low, high] = list.RangeMinMax(a, b);
            // The first of equal extremes, bit for bit, as a pass in index order finds it.
            EXPECT_EQ(std::bit_cast<std::uint64_t>(low),
                      std::bit_cast<std::uint64_t>(
                          *std::min_element(plain.begin() + a, plain.begin() + b + 1)));
            EXPECT_EQ(std::bit_cast<std::uint64_t>(high),
                      std::bit_cast<std::uint64_t>(
                          *std::max_element(plain.begin() + a, plain.begin() + b + 1)));
        }
        if (!plain.empty()) {
            EXPECT_EQ(list.GetMin(), *std::min_element(plain.begin(), plain.end()));
            EXPECT_EQ(list.GetMax(), *std::max_element(plain.begin(), plain.end()));
        }
    }
}

// A list of 1, 2, 3, ... holds the rule and no memory; once a value breaks it, it answers
// every question exactly as a list that always held its values.
TEST(ChartValueList, ARuleListAnswersAsAPlainList) {
    TChartValueList rule("X"), plain("X");
    plain.AddValue(std::nan("")); // a value no rule holds: this list keeps an array
    plain.RemoveAt(0);
    std::vector<double> block(2500);
    for (int i = 0; i < 2500; ++i)
        block[std::size_t(i)] = i + 1;
    const auto compare = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_EQ(rule.Count(), plain.Count());
        EXPECT_EQ(rule.Capacity(), plain.Capacity());
        for (int i = 0; i < rule.Count(); ++i)
            ASSERT_EQ(std::bit_cast<std::uint64_t>(rule.ValueAt(i)),
                      std::bit_cast<std::uint64_t>(plain.ValueAt(i)));
        if (rule.Count() > 0) {
            EXPECT_EQ(rule.GetMin(), plain.GetMin());
            EXPECT_EQ(rule.GetMax(), plain.GetMax());
            EXPECT_EQ(rule.GetSum(), plain.GetSum());
            EXPECT_EQ(rule.GetAbsSum(), plain.GetAbsSum());
            EXPECT_EQ(rule.RangeMinMax(3, rule.Count() - 1),
                      plain.RangeMinMax(3, plain.Count() - 1));
        }
    };
    for (TChartValueList* list : {&rule, &plain}) {
        list->ReserveStore(100000);
        list->AppendValues(block.data(), 2500);
        list->AddValue(2501);
        list->RemoveAt(2500);
    }
    EXPECT_TRUE(rule.HoldsRule());
    compare("holding the rule");
    for (TChartValueList* list : {&rule, &plain}) {
        const double next[] = {2501, 2502, -0.0, 7};
        list->AppendValues(next, 4); // -0 is not 2503: the rule breaks mid-block
    }
    EXPECT_FALSE(rule.HoldsRule());
    compare("after the rule broke");
    EXPECT_TRUE(std::signbit(rule.ValueAt(2502)));
    rule.Empty();
    EXPECT_TRUE(rule.HoldsRule());
    rule.AddValue(-0.0); // a first value that the rule could not give back
    EXPECT_FALSE(rule.HoldsRule());
    EXPECT_TRUE(std::signbit(rule.ValueAt(0)));
}

// The block questions, with the break at every place (odd and even, where two are read at
// once) and at the ends.
TEST(ValueRuns, OrderAndRuleBreaksAnywhere) {
    for (int n = 1; n <= 9; ++n) {
        std::vector<double> frames;
        for (int k = 0; k < n; ++k)
            frames.push_back(5 + k);
        EXPECT_TRUE(NonDecreasing(frames.data(), n));
        EXPECT_TRUE(FollowsRule(frames.data(), n, 5, 0));
        EXPECT_TRUE(FollowsRule(frames.data() + 1, n - 1, 5, 1)) << "a block that starts later";
        for (int at = 0; at < n; ++at) {
            SCOPED_TRACE(std::to_string(n) + " values, broken at " + std::to_string(at));
            std::vector<double> broken = frames;
            broken[std::size_t(at)] = at == 0 ? 4.5 : broken[std::size_t(at) - 1] - 0.5;
            EXPECT_EQ(NonDecreasing(broken.data(), n), at == 0);
            EXPECT_FALSE(FollowsRule(broken.data(), n, 5, 0));
            broken[std::size_t(at)] = std::nan("");
            EXPECT_EQ(NonDecreasing(broken.data(), n), n == 1);
            EXPECT_FALSE(FollowsRule(broken.data(), n, 5, 0));
        }
    }
    const double zeros[] = {0.0, 1.0};
    const double negativeZero[] = {-0.0, 1.0};
    EXPECT_TRUE(FollowsRule(zeros, 2, 0.0, 0));
    EXPECT_FALSE(FollowsRule(negativeZero, 2, 0.0, 0)) << "-0 is not the rule's 0";
    EXPECT_TRUE(NonDecreasing(negativeZero, 2));
}

// A rule list whose array cannot be had when the rule breaks is left as it was.
TEST(ChartValueList, ARuleThatCannotBeStoredLeavesTheListAsItWas) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#else
    EXPECT_EQ(RunInChild([] {
                  TChartValueList list("X");
                  const double first[] = {1, 2};
                  list.AppendValues(first, 2);
                  list.ReserveStore(200'000'000); // 1.6 GB once the rule stops: more than the cap
                  if (!CapAddressSpaceAbove(rlim_t(256) << 20))
                      return 3;
                  const double next[] = {3, 4, 6};
                  try {
                      list.AppendValues(next, 3);
                      return 1;
                  } catch (const std::bad_alloc&) {
                  }
                  return list.Count() == 2 && list.HoldsRule() && list.LastEntry() == 2 ? 0 : 2;
              }),
              0);
#endif
}

// A viewing list whose copy cannot be had when it is edited is left as it was: still viewing,
// the same values and extremes.
TEST(ChartValueList, AViewThatCannotBeCopiedLeavesTheListAsItWas) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#else
    struct TEdit {
        const char* Name;
        std::function<void(TChartValueList&)> Apply;
    };
    const double more[] = {9, 10};
    const TEdit edits[] = {
        {"insert", [](TChartValueList& list) { list.InsertAt(3, 7); }},
        {"remove", [](TChartValueList& list) { list.RemoveAt(3); }},
        {"append", [](TChartValueList& list) { list.AddValue(7); }},
        {"append a block", [&](TChartValueList& list) { list.AppendValues(more, 2); }},
        {"the values as an array", [](TChartValueList& list) { (void)list.Values(); }},
    };
    for (const TEdit& edit : edits) {
        SCOPED_TRACE(edit.Name);
        EXPECT_EQ(RunInChild([&] {
                      // 160 MB of integers viewed; their copy as doubles (320 MB) is more
                      // than the cap leaves.
                      std::vector<std::int32_t> ints(40'000'000);
                      for (std::size_t i = 0; i < ints.size(); ++i)
                          ints[i] = std::int32_t(i % 1001) - 500;
                      TChartValueList list("Y");
                      list.ViewOutside(
                          std::make_shared<TOutsideIntValues>(ints.data(), int(ints.size())));
                      const auto extremes = list.RangeMinMax(0, list.Count() - 1);
                      if (!CapAddressSpaceAbove(rlim_t(256) << 20))
                          return 3;
                      try {
                          edit.Apply(list);
                          return 1;
                      } catch (const std::bad_alloc&) {
                      }
                      const bool same = list.ViewsOutside() && list.Count() == int(ints.size()) &&
                                        list.ValueAt(3) == -497 &&
                                        list.RangeMinMax(0, list.Count() - 1) == extremes &&
                                        list.GetMin() == -500 && list.GetMax() == 500;
                      return same ? 0 : 2;
                  }),
                  0);
    }
#endif
}

TEST(ChartValueList, AssignCopiesSettingsNotValues) {
    TChartValueList a("A"), b("B");
    a.SetOrder(loDescending);
    a.SetValueSource("field");
    a.AddValue(4);
    b.Assign(a);
    EXPECT_EQ(b.Order(), loDescending);
    EXPECT_EQ(b.ValueSource(), "field");
    EXPECT_EQ(b.Count(), 0);
    EXPECT_EQ(b.Name(), "B");
}

TEST(ChartSeries, NewSeriesHasTwoListsInOrder) {
    TFastLineSeries series;
    ASSERT_EQ(series.ValueLists().size(), 2u);
    EXPECT_EQ(series.ValueLists()[0], &series.XValues);
    EXPECT_EQ(series.XValues.Name(), "X");
    EXPECT_EQ(series.XValues.Order(), loAscending);
    EXPECT_EQ(series.YValues.Name(), "Y");
    EXPECT_EQ(series.YValues.Order(), loNone);
    EXPECT_EQ(series.VisibleFrom(), -1);
    EXPECT_EQ(series.PointCount(), 0);
}

TEST(ChartSeries, AddKeepsPointsInXOrderWithTheirLevels) {
    TLineSeries series;
    EXPECT_EQ(series.AddPointXY(1, 10), 0);
    EXPECT_EQ(series.AddPointXY(3, 30), 1);
    EXPECT_EQ(series.AddPointXY(2, 20), 1);
    EXPECT_EQ(series.AddPointXY(2, 21), 2);
    EXPECT_EQ(series.PointCount(), 4);
    const std::vector<double> ys(series.YValues.Values(), series.YValues.Values() + 4);
    EXPECT_EQ(ys, (std::vector<double>{10, 20, 21, 30}));
    EXPECT_EQ(series.GetMinX(), 1);
    EXPECT_EQ(series.GetMaxX(), 3);
    EXPECT_EQ(series.GetMinY(), 10);
    EXPECT_EQ(series.GetMaxY(), 30);
}

TEST(ChartSeries, ColoursAndLabelsAppearOnlyWhenAPointHasOne) {
    TFastLineSeries series;
    series.AutoColor = 0x123456;
    series.AddPointXY(1, 1);
    series.AddPointXY(2, 2, "", clDefault);
    EXPECT_FALSE(series.PointColors);
    EXPECT_TRUE(series.PointLabels.empty());

    series.AddPointXY(3, 3, "three", 0x0000FF);
    ASSERT_TRUE(series.PointColors);
    EXPECT_EQ(*series.PointColors, (std::vector<TColor>{clDefault, clDefault, 0x0000FF}));
    EXPECT_EQ(series.PointLabels, (TLabelsList{"", "", "three"}));
    EXPECT_EQ(series.PointColor(0), 0x123456u);
    EXPECT_EQ(series.PointColor(2), 0x0000FFu);

    series.AddPointXY(0, 0); // goes first: colours and labels shift with it
    EXPECT_EQ(*series.PointColors,
              (std::vector<TColor>{clDefault, clDefault, clDefault, 0x0000FF}));
    EXPECT_EQ(series.PointLabels, (TLabelsList{"", "", "", "three"}));

    series.ClearPoints();
    EXPECT_EQ(series.PointCount(), 0);
    EXPECT_FALSE(series.PointColors);
    EXPECT_TRUE(series.PointLabels.empty());
    EXPECT_EQ(series.YValues.Count(), 0);
    EXPECT_EQ(series.VisibleFrom(), -1);
    EXPECT_EQ(series.VisibleTo(), -1);
}

TEST(ChartSeries, VetoedAddStoresNothing) {
    TFastLineSeries series;
    int afterAdds = 0;
    series.OnBeforeAdd = [](TChartSeries*) { return false; };
    series.OnAfterAdd = [&](TChartSeries*, int) { ++afterAdds; };
    EXPECT_EQ(series.AddPointXY(5, 6), -1);
    EXPECT_EQ(series.PointCount(), 0);
    EXPECT_EQ(series.XValues.PendingValue, 5);
    EXPECT_EQ(afterAdds, 0);
}

TEST(ChartSeries, LineSeriesLevelsSkipNullPoints) {
    TLineSeries series;
    series.AutoColor = 0x4466A3;
    series.AddPointXY(1, -9, "", clNone);
    series.AddPointXY(2, 5);
    series.AddPointXY(3, 7);
    EXPECT_EQ(series.GetMinY(), 5);
    EXPECT_EQ(series.GetMaxY(), 7);
    EXPECT_EQ(series.YValues.GetMin(), -9); // the cached statistic counts every point

    TLineSeries onlyNulls;
    onlyNulls.AddPointXY(1, 3, "", clNone);
    EXPECT_EQ(onlyNulls.GetMinY(), 0);
    EXPECT_EQ(onlyNulls.GetMaxY(), 0);
}

// A list that cannot grow: the series gives the point back everywhere it was taken.
class TFailingList : public TChartValueList {
  public:
    using TChartValueList::TChartValueList;
    void InsertAt(int index, double value) override {
        if (Fail)
            throw std::bad_alloc();
        TChartValueList::InsertAt(index, value);
    }
    bool Fail = false;
};

TEST(ChartSeries, FailedGrowthLeavesEveryListAtOneCount) {
    TFastLineSeries series;
    TFailingList extra("Z");
    series.AddValueList(extra);
    extra.PendingValue = 1;
    series.AddPointXY(1, 1);
    series.AddPointXY(3, 3, "label", 0xFF);
    extra.Fail = true;
    EXPECT_THROW(series.AddPointXY(2, 2, "x", 0xFF00), std::bad_alloc);
    EXPECT_EQ(series.XValues.Count(), 2);
    EXPECT_EQ(series.YValues.Count(), 2);
    EXPECT_EQ(extra.Count(), 2);
    EXPECT_EQ(series.PointColors->size(), 2u);
    EXPECT_EQ(series.PointLabels.size(), 2u);
    EXPECT_EQ(series.XValues.ValueAt(1), 3);
}

// Adding a block of points must leave the series exactly as the same single adds would:
// values, order, reported capacity, and the fallback for points that are not in order.
TEST(ChartSeries, BlockAddsEqualSingleAdds) {
    const std::vector<std::vector<double>> blocks[] = {
        {{1, 2, 3}, {4, 4, 5}},           // rising: appended in bulk
        {{5, 6}, {1, 7}},                 // the second block goes back: single adds
        {std::vector<double>(2500, 9.0)}, // equal X across capacity steps
    };
    for (const auto& xBlocks : blocks) {
        TLineSeries single, bulk;
        bulk.ReservePoints(10);
        for (const auto& xs : xBlocks) {
            std::vector<double> ys(xs.size());
            for (std::size_t i = 0; i < xs.size(); ++i) {
                ys[i] = double(single.PointCount()) * 10 + double(i);
                single.AddPointXY(xs[i], ys[i]);
            }
            bulk.AddPointsXY(xs.data(), ys.data(), int(xs.size()));
        }
        EXPECT_EQ(
            std::vector<double>(bulk.XValues.Values(), bulk.XValues.Values() + bulk.PointCount()),
            std::vector<double>(single.XValues.Values(),
                                single.XValues.Values() + single.PointCount()));
        EXPECT_EQ(
            std::vector<double>(bulk.YValues.Values(), bulk.YValues.Values() + bulk.PointCount()),
            std::vector<double>(single.YValues.Values(),
                                single.YValues.Values() + single.PointCount()));
        EXPECT_EQ(bulk.XValues.Capacity(), single.XValues.Capacity());
        EXPECT_EQ(bulk.YValues.Capacity(), single.YValues.Capacity());
        EXPECT_EQ(bulk.GetMaxY(), single.GetMaxY());
    }
}

TEST(ChartSeries, BlockAddsWithAnEventAttachedGoPointByPoint) {
    TFastLineSeries series;
    std::vector<int> seen;
    series.OnAfterAdd = [&](TChartSeries*, int index) { seen.push_back(index); };
    const double xs[] = {1, 2, 3}, ys[] = {4, 5, 6};
    series.AddPointsXY(xs, ys, 3);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
}

TEST(ChartSeries, AddsAndClearsOnlyMarkTheChartForOnePaint) {
    TChart chart;
    chart.resize(200, 100);
    auto* series = chart.AddSeries(std::make_unique<TFastLineSeries>());
    chart.show();
    QCoreApplication::processEvents();
    const int drawsBefore = chart.DrawCount();
    EXPECT_FALSE(chart.BufferDirty());

    series->ClearPoints();
    EXPECT_TRUE(chart.BufferDirty());
    for (int i = 1; i <= 10000; ++i)
        series->AddPointXY(i, i % 7);
    EXPECT_EQ(chart.DrawCount(), drawsBefore) << "adding never paints";
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.DrawCount(), drawsBefore + 1);
    EXPECT_FALSE(chart.BufferDirty());

    // While notifications are suspended nothing is marked; resuming marks once.
    series->SuspendNotify();
    series->AddPointXY(10001, 0);
    EXPECT_FALSE(chart.BufferDirty());
    series->ResumeNotify();
    EXPECT_TRUE(chart.BufferDirty());
}

} // namespace

namespace {

// Doubles held elsewhere, as a file's float samples are: NaN, -0 and all.
class TOutsideDoubles : public TOutsideValues {
  public:
    explicit TOutsideDoubles(std::vector<double> values) : Values(std::move(values)) {}
    int Count() const override { return int(Values.size()); }
    double At(int index) const override { return Values[std::size_t(index)]; }
    void Read(int first, int count, double* out) const override {
        std::copy_n(Values.begin() + first, count, out);
    }
    std::vector<double> Values;
};

// A list that views values held elsewhere answers every question as a list that holds
// them; an edit through the list makes it hold a copy, and it still answers the same.
TEST(ChartValueList, AViewingListAnswersAsAPlainList) {
    std::mt19937 random(5);
    std::vector<std::int32_t> ints(5'000'003); // past the count summarised on two threads
    for (std::int32_t& v : ints)
        v = std::int32_t(random() % 200001) - 100000;
    std::vector<double> doubles(70001);
    for (double& v : doubles)
        v = random() % 9 == 0 ? -0.0 : double(int(random() % 5) - 2);
    doubles[4000] = std::nan("");
    struct TCase {
        const char* Name;
        std::shared_ptr<const TOutsideValues> Values;
    };
    const TCase cases[] = {
        {"integers", std::make_shared<TOutsideIntValues>(ints.data(), int(ints.size()))},
        {"doubles with NaN and -0", std::make_shared<TOutsideDoubles>(doubles)},
        {"doubles without NaN", std::make_shared<TOutsideDoubles>(
                                    std::vector<double>(doubles.begin() + 4001, doubles.end()))},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int n = c.Values->Count();
        TChartValueList viewing("Y"), plain("Y");
        std::vector<double> held(static_cast<std::size_t>(n));
        c.Values->Read(0, n, held.data());
        plain.AppendValues(held.data(), n);
        viewing.ViewOutside(c.Values);
        EXPECT_TRUE(viewing.ViewsOutside());
        const auto compare = [&](const char* when) {
            SCOPED_TRACE(when);
            ASSERT_EQ(viewing.Count(), plain.Count());
            EXPECT_EQ(viewing.Capacity(), plain.Capacity());
            EXPECT_EQ(viewing.HasNaN(), plain.HasNaN());
            EXPECT_EQ(std::bit_cast<std::uint64_t>(viewing.GetMin()),
                      std::bit_cast<std::uint64_t>(plain.GetMin()));
            EXPECT_EQ(std::bit_cast<std::uint64_t>(viewing.GetMax()),
                      std::bit_cast<std::uint64_t>(plain.GetMax()));
            EXPECT_EQ(std::bit_cast<std::uint64_t>(viewing.GetSum()),
                      std::bit_cast<std::uint64_t>(plain.GetSum()));
            for (int i = 0; i < viewing.Count(); i += 997)
                ASSERT_EQ(std::bit_cast<std::uint64_t>(viewing.ValueAt(i)),
                          std::bit_cast<std::uint64_t>(plain.ValueAt(i)));
            if (plain.HasNaN())
                return; // range extremes mean nothing there
            for (int q = 0; q < 200; ++q) {
                int a = int(random() % unsigned(plain.Count())),
                    b = int(random() % unsigned(plain.Count()));
                if (a > b)
                    std::swap(a, b);
                const auto [low, high] = viewing.RangeMinMax(a, b);
                const auto [plainLow, plainHigh] = plain.RangeMinMax(a, b);
                ASSERT_EQ(std::bit_cast<std::uint64_t>(low),
                          std::bit_cast<std::uint64_t>(plainLow));
                ASSERT_EQ(std::bit_cast<std::uint64_t>(high),
                          std::bit_cast<std::uint64_t>(plainHigh));
            }
        };
        compare("viewing");
        for (TChartValueList* list : {&viewing, &plain}) {
            list->InsertAt(7, 123456);
            list->RemoveAt(n / 2);
            list->AddValue(-7);
        }
        EXPECT_FALSE(viewing.ViewsOutside()) << "an edit makes the list hold its values";
        compare("after edits");
        viewing.Empty();
        EXPECT_EQ(viewing.Count(), 0);
        EXPECT_FALSE(viewing.ViewsOutside());
    }
}

// A series that views outside values looks to its chart as a clear and that many rising adds
// in bulk: X from 1, one paint; a watched series takes them one by one.
TEST(ChartSeries, ViewingValuesLooksLikeAddingThem) {
    const std::vector<std::int32_t> ints = {5, -3, 8, 0};
    const auto values = std::make_shared<TOutsideIntValues>(ints.data(), 4);
    TChart chart;
    chart.resize(200, 100);
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    chart.show();
    QCoreApplication::processEvents();
    const int drawsBefore = chart.DrawCount();
    series->AddPointXY(1, 1);
    series->ViewValues(values);
    EXPECT_EQ(chart.DrawCount(), drawsBefore);
    ASSERT_EQ(series->PointCount(), 4);
    EXPECT_TRUE(series->XValues.HoldsRule());
    EXPECT_EQ(series->XValues.ValueAt(3), 4);
    EXPECT_EQ(series->YValues.ValueAt(1), -3);
    EXPECT_EQ(series->GetMinY(), -3);
    EXPECT_EQ(series->GetMaxY(), 8);
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.DrawCount(), drawsBefore + 1);

    TFastLineSeries watched;
    std::vector<int> seen;
    watched.OnAfterAdd = [&](TChartSeries*, int index) { seen.push_back(index); };
    watched.ViewValues(values);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(watched.YValues.ViewsOutside());
    EXPECT_EQ(watched.YValues.ValueAt(2), 8);
}

} // namespace
