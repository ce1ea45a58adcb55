// Time on the horizontal axes: the label rule's steps and texts as a table, the go-to box's
// texts as another, and an axis with the rule drawing exactly the labels the rule gives.

#include <gtest/gtest.h>

#include <cstdint>

#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "chart/panel/TimeLabelRule.h"

namespace {

// Every character ten pixels wide.
int Width(const std::string& text) {
    return int(text.size()) * 10;
}

std::vector<std::string> Labels(const TTimeLabelRule& rule, double fromSeconds, double toSeconds,
                                int pixels) {
    std::vector<std::string> texts;
    for (double x : rule.Ticks(rule.FrameAt(fromSeconds), rule.FrameAt(toSeconds), pixels, Width))
        texts.push_back(rule.Text(x));
    return texts;
}

TEST(TimeLabelRule, StepsAndTextsAreChosenForTime) {
    struct TCase {
        TTimeFormat Format;
        std::uint32_t Rate;
        double From, To;
        int Pixels;
        std::vector<std::string> Expected;
    };
    const TCase cases[] = {
        // Tenths where they fit, and never 0.30000000000000004.
        {tfSeconds, 44100, 0, 0.5, 400, {"0.0", "0.1", "0.2", "0.3", "0.4", "0.5"}},
        {tfSeconds, 48000, 0.25, 1.1, 300, {"0.4", "0.6", "0.8", "1.0"}},
        // Whole seconds, then fifteen, then minutes.
        {tfSeconds, 8000, 0, 10, 300, {"0", "2", "4", "6", "8", "10"}},
        {tfClock, 44100, 0, 90, 400, {"0:00", "0:15", "0:30", "0:45", "1:00", "1:15", "1:30"}},
        {tfClock, 44100, 3590, 3610, 300, {"59:50", "1:00:00", "1:00:10"}},
        {tfClock, 1000, 83, 84, 500, {"1:23.0", "1:23.2", "1:23.4", "1:23.6", "1:23.8", "1:24.0"}},
        // Milliseconds when zoomed in far.
        {tfSeconds, 48000, 1, 1.004, 400, {"1.000", "1.001", "1.002", "1.003", "1.004"}},
        // Timecode frames, then whole seconds.
        {tfTimecode, 48000, 0, 0.2, 600, {"00:00:00:00", "00:00:00:02", "00:00:00:04"}},
        {tfTimecode,
         48000,
         0,
         4,
         600,
         {"00:00:00:00", "00:00:01:00", "00:00:02:00", "00:00:03:00", "00:00:04:00"}},
    };
    for (const TCase& c : cases) {
        const TTimeLabelRule rule(c.Format, c.Rate, 0, 25);
        EXPECT_EQ(Labels(rule, c.From, c.To, c.Pixels), c.Expected)
            << c.From << ".." << c.To << " in " << c.Pixels << " pixels";
    }
}

TEST(TimeLabelRule, ATimeOfDayCountsFromTheTimeReference) {
    const TTimeLabelRule rule(tfClock, 48000, 36000.5); // 10:00:00.5 at frame 1
    EXPECT_EQ(Labels(rule, 36000.5, 36002.5, 300),
              (std::vector<std::string>{"10:00:01", "10:00:02"}));
    EXPECT_EQ(rule.FrameAt(36001), 24001);
}

// A time's text at the edges of what it takes: more decimals than a microsecond has give six,
// the most negative time is written, not overflowed.
TEST(TimeLabelRule, TextsAtTheEdges) {
    const TTimeLabelRule seconds(tfSeconds, 48000);
    EXPECT_EQ(seconds.TextOfMicros(1'234'567, 9), "1.234567");
    EXPECT_EQ(seconds.TextOfMicros(-1'500'000, -2), "-2");
    EXPECT_EQ(seconds.TextOfMicros(INT64_MIN, 6), "-9223372036854.775808");
}

// An axis with a time rule prints the rule's labels; without one, its own numbers as ever.
TEST(TimeLabelRule, TheAxisDrawsTheRulesLabels) {
    TChart chart;
    chart.resize(600, 200);
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    for (int i = 1; i <= 44101; ++i)
        series->AddPointXY(i, i % 100);
    chart.Draw();
    std::vector<std::string> before;
    for (const auto& label : chart.BottomAxis().Layout().PendingLabels)
        before.push_back(label.Text);
    chart.BottomAxis().SetLabelRule(std::make_shared<TTimeLabelRule>(tfSeconds, 44100));
    chart.Draw();
    std::vector<std::string> texts;
    for (const auto& label : chart.BottomAxis().Layout().PendingLabels)
        texts.push_back(label.Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "0.0");
    EXPECT_EQ(texts.back(), "1.0");
    chart.BottomAxis().SetLabelRule(nullptr);
    chart.Draw();
    std::vector<std::string> after;
    for (const auto& label : chart.BottomAxis().Layout().PendingLabels)
        after.push_back(label.Text);
    EXPECT_EQ(after, before);
}

} // namespace
