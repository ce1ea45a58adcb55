#pragma once
// An axis of a chart: its value range (from the series or set by zoom and scroll), the one
// mapping between values and pixels, the label step, and its drawing (line, ticks, grid and
// value labels).

#include <climits>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "chart/model/AxisMapping.h"
#include "chart/panel/AxisLabelRule.h"
#include "chart/raster/PlotPen.h"
#include "chart/raster/PlotRect.h"
#include "chart/raster/Property.h"

class TPlotCanvas3D;

class AxisException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
enum TAxisKind { akBottom, akTop, akLeft, akRight, akDepth, akDepthTop };
// Every axis of a panel, in the order every per-axis loop follows.
constexpr TAxisKind AllAxes[] = {akBottom, akTop, akLeft, akRight, akDepth, akDepthTop};
constexpr std::size_t AxisCount = std::size(AllAxes);
// The axes on the plot's four sides: the ones the mouse presses on, zooms and pans.
constexpr TAxisKind SideAxes[] = {akBottom, akTop, akLeft, akRight};

// A label's lines: its text split at the line separator (character 13).
std::vector<std::string> SplitLabelLines(const std::string& text);

// The next value of the 1-2-5 series strictly above x. Infinity and NaN give 1; zero,
// negative and subnormal values give the smallest normal double, so a search never stands
// still.
double NextNiceStep(double x);

struct TPendingLabel {
    int Pixel;
    std::string Text;
    double Value;
};

// What the panel learns from its series for one axis during a layout and hands down.
struct TAxisFacts {
    bool Shown = false;
    // The smallest and largest value on the axis among the series that use it.
    double DataMinimum = 0, DataMaximum = 0;
    // The room (low end, high end) each active series on the axis asks for, in series order.
    std::vector<std::pair<int, int>> SeriesMargins;
    // The label style talAuto stands for.
    TAxisLabelStyle AutoLabelStyle = talNone;
    // The fewest points among the active series placed along the axis.
    int FewestPoints = INT_MAX;
};

// Where the last layout put the axis's parts, and what its last paint drew.
struct TAxisLayout {
    bool Shown = false;
    int LinePos = 0, LabelsPos = 0, TitlePos = 0;
    std::vector<int> TickPositions;
    std::vector<TPendingLabel> PendingLabels;
    std::vector<TPendingLabel> Items; // the labels drawn in the last paint
    int LabelsAsked = 0; // the room the labels asked for themselves, before LabelsMinimumSize
};

class TChartAxis {
  public:
    // `onChange` is the owner's change handler.
    TChartAxis(TAxisKind kind, std::function<void()> onChange);

    TAxisKind Kind() const { return AxisKind; }
    bool Horizontal() const { return IsHorizontal; }
    bool IsDepthAxis() const { return AxisKind == akDepth || AxisKind == akDepthTop; }
    // Away from the plot along the pixels: +1 to the right or down, -1 to the left or up.
    int Outward() const;
    const char* Identifier() const;

    // Scaling settings.
    bool Automatic() const { return AutomaticValue; }
    void SetAutomatic(bool value);
    bool AutomaticMinimum() const { return AutomaticMinimumValue; }
    void SetAutomaticMinimum(bool value);
    bool AutomaticMaximum() const { return AutomaticMaximumValue; }
    void SetAutomaticMaximum(bool value);
    double Minimum() const { return MinimumValue; }
    void SetMinimum(double value);
    double Maximum() const { return MaximumValue; }
    void SetMaximum(double value);
    double Increment() const { return IncrementValue; }
    void SetIncrement(double value);
    int MinimumOffset() const { return MinimumOffsetValue; }
    void SetMinimumOffset(int value);
    int MaximumOffset() const { return MaximumOffsetValue; }
    void SetMaximumOffset(int value);

    bool MinimumRound() const { return MinimumRoundValue; }
    void SetMinimumRound(bool value) {
        if (ChangeValue(MinimumRoundValue, value))
            Changed();
    }
    bool MaximumRound() const { return MaximumRoundValue; }
    void SetMaximumRound(bool value) {
        if (ChangeValue(MaximumRoundValue, value))
            Changed();
    }
    bool Inverted() const { return InvertedValue; }
    void SetInverted(bool value) {
        if (ChangeValue(InvertedValue, value))
            Changed();
    }
    double StartPosition() const { return StartPositionValue; }
    void SetStartPosition(double value) {
        if (ChangeValue(StartPositionValue, value))
            Changed();
    }
    double EndPosition() const { return EndPositionValue; }
    void SetEndPosition(double value) {
        if (ChangeValue(EndPositionValue, value))
            Changed();
    }
    int LabelsSeparation() const { return LabelsSeparationValue; }
    void SetLabelsSeparation(int value) {
        if (ChangeValue(LabelsSeparationValue, value))
            Changed();
    }
    bool RoundFirstLabel() const { return RoundFirstLabelValue; }
    void SetRoundFirstLabel(bool value) {
        if (ChangeValue(RoundFirstLabelValue, value))
            Changed();
    }
    bool LabelsAlternate() const { return LabelsAlternateValue; }
    void SetLabelsAlternate(bool value) {
        if (ChangeValue(LabelsAlternateValue, value))
            Changed();
    }
    int LabelsAngle() const { return LabelsAngleValue; }
    void SetLabelsAngle(int value) {
        if (ChangeValue(LabelsAngleValue, value))
            Changed();
    }
    bool LabelsMultiLine() const { return LabelsMultiLineValue; }
    void SetLabelsMultiLine(bool value) {
        if (ChangeValue(LabelsMultiLineValue, value))
            Changed();
    }
    bool Visible() const { return VisibleValue; }
    void SetVisible(bool value) {
        if (ChangeValue(VisibleValue, value))
            Changed();
    }

    // Drawing settings.
    const TPlotPen& AxisPen() const { return AxisPenValue; }
    void SetAxisPen(const TPlotPen& value) {
        if (ChangeValue(AxisPenValue, value))
            Changed();
    }
    const TPlotPen& Ticks() const { return TicksValue; }
    void SetTicks(const TPlotPen& value) {
        if (ChangeValue(TicksValue, value))
            Changed();
    }
    int TickLength() const { return TickLengthValue; }
    void SetTickLength(int value) {
        if (ChangeValue(TickLengthValue, value))
            Changed();
    }
    const TPlotPen& TicksInner() const { return TicksInnerValue; }
    void SetTicksInner(const TPlotPen& value) {
        if (ChangeValue(TicksInnerValue, value))
            Changed();
    }
    int TickInnerLength() const { return TickInnerLengthValue; }
    void SetTickInnerLength(int value) {
        if (ChangeValue(TickInnerLengthValue, value))
            Changed();
    }
    const TPlotPen& MinorTicks() const { return MinorTicksValue; }
    void SetMinorTicks(const TPlotPen& value) {
        if (ChangeValue(MinorTicksValue, value))
            Changed();
    }
    int MinorTickLength() const { return MinorTickLengthValue; }
    void SetMinorTickLength(int value) {
        if (ChangeValue(MinorTickLengthValue, value))
            Changed();
    }
    int MinorTickCount() const { return MinorTickCountValue; }
    void SetMinorTickCount(int value) {
        if (ChangeValue(MinorTickCountValue, value))
            Changed();
    }
    const TPlotPen& Grid() const { return GridValue; }
    void SetGrid(const TPlotPen& value) {
        if (ChangeValue(GridValue, value))
            Changed();
    }
    int GridDrawEvery() const { return GridDrawEveryValue; }
    void SetGridDrawEvery(int value) {
        if (ChangeValue(GridDrawEveryValue, value))
            Changed();
    }
    bool GridCentered() const { return GridCenteredValue; }
    void SetGridCentered(bool value) {
        if (ChangeValue(GridCenteredValue, value))
            Changed();
    }
    const TPlotPen& MinorGrid() const { return MinorGridValue; }
    void SetMinorGrid(const TPlotPen& value) {
        if (ChangeValue(MinorGridValue, value))
            Changed();
    }
    bool Labels() const { return LabelsValue; }
    void SetLabels(bool value) {
        if (ChangeValue(LabelsValue, value))
            Changed();
    }
    const TPlotFont& LabelsFont() const { return LabelsFontValue; }
    void SetLabelsFont(const TPlotFont& value) {
        if (ChangeValue(LabelsFontValue, value))
            Changed();
    }
    bool LabelsBehind() const { return LabelsBehindValue; }
    void SetLabelsBehind(bool value) {
        if (ChangeValue(LabelsBehindValue, value))
            Changed();
    }
    bool LabelsOnAxis() const { return LabelsOnAxisValue; }
    void SetLabelsOnAxis(bool value) {
        if (ChangeValue(LabelsOnAxisValue, value))
            Changed();
    }
    int LabelsSize() const { return LabelsSizeValue; }
    void SetLabelsSize(int value) {
        if (ChangeValue(LabelsSizeValue, value))
            Changed();
    }
    // The least room the labels take across the axis (0: what they need). Plots that move
    // together give their value axes one room, so that their plot areas start at one edge.
    int LabelsMinimumSize() const { return LabelsMinimumSizeValue; }
    void SetLabelsMinimumSize(int value) {
        if (ChangeValue(LabelsMinimumSizeValue, value))
            Changed();
    }
    TAxisLabelStyle LabelStyle() const { return LabelStyleValue; }
    void SetLabelStyle(TAxisLabelStyle value) {
        if (ChangeValue(LabelStyleValue, value))
            Changed();
    }
    bool TickOnLabelsOnly() const { return TickOnLabelsOnlyValue; }
    void SetTickOnLabelsOnly(bool value) {
        if (ChangeValue(TickOnLabelsOnlyValue, value))
            Changed();
    }
    int PositionPercent() const { return PositionPercentValue; }
    void SetPositionPercent(int value) {
        if (ChangeValue(PositionPercentValue, value))
            Changed();
    }
    const std::string& TitleCaption() const { return TitleCaptionValue; }
    void SetTitleCaption(const std::string& value) {
        if (ChangeValue(TitleCaptionValue, value))
            Changed();
    }
    const TPlotFont& TitleFont() const { return TitleFontValue; }
    void SetTitleFont(const TPlotFont& value) {
        if (ChangeValue(TitleFontValue, value))
            Changed();
    }

    // The last layout.
    const TAxisMapping& Mapping() const { return Map; }
    const TAxisLayout& Layout() const { return Laid; }
    const TAxisFacts& Facts() const { return Known; }
    int PixelOfValue(double value) const { return Map.PixelOfValue(value); }
    double ValueAtPixel(int pixel) const { return Map.ValueAtPixel(pixel); }

    // The steps of a layout, in order: the facts from the series, the range, the pixel
    // extent, the room for the axis's parts, and the extent again with the offsets.
    void TakeFacts(TAxisFacts facts);
    void UpdateRange();
    void UpdatePixelExtent(const TRect& chartRect);
    void ReserveAxisSpace(TRect& rect, bool takesRoom);
    void ApplyOffsets(const TRect& chartRect);

    // What the labels print, where a rule replaces the axis's own numbers and steps (none by
    // default). A change repaints.
    void SetLabelRule(std::shared_ptr<const TAxisLabelRule> rule);
    const TAxisLabelRule* LabelRule() const { return Rule.get(); }

    // Labels: their texts, the room they take, and the step between them.
    std::string LabelTextOf(double value) const;
    int LabelSpan(double value) const;
    int LabelsThatFit(int span) const;
    double StepForLabelCount(int count) const;
    double LabelStep() const;
    TAxisLabelStyle EffectiveLabelStyle() const;
    int LabelsExtent() const;
    // The room the labels need by themselves, whatever LabelsMinimumSize says.
    int OwnLabelsExtent() const;
    int WidestLabel() const;
    int TickBand() const;
    // The value labels and tick positions of the current layout, into Layout().
    void CollectValueLabels();
    std::vector<int> MinorPositions() const;

    // Range changes (zoom, scroll, wheel).
    void SetRangeManual(double minimum, double maximum);
    void ShiftRange(double delta);

    // Drawing.
    void PaintAxis(TPlotCanvas3D& canvas, const TRect& chartRect);

    // While true the setters of Minimum and Maximum do not check their order.
    bool Loading = false;

  private:
    void Changed();
    void DeriveScale();
    double LabelStepPass(double increment) const;
    double StepForLabelCount(int count, double increment) const;
    void RoundRange();
    void EmitLabel(double value);
    void DrawLabelText(TPlotCanvas3D& canvas, const TPendingLabel& label);
    void DrawTick(TPlotCanvas3D& canvas, int pixel, int offset, int length) const;
    void DrawGridLine(TPlotCanvas3D& canvas, const TRect& chartRect, int pixel) const;
    // The width of a label's widest line, in the label font.
    int WidestLineWidth(const std::string& text) const;

    std::function<void()> OnChange;
    TAxisKind AxisKind;
    bool IsHorizontal;
    bool AutomaticValue = true, AutomaticMinimumValue = true, AutomaticMaximumValue = true;
    double MinimumValue = 0, MaximumValue = 0, IncrementValue = 0;
    std::shared_ptr<const TAxisLabelRule> Rule;
    int MinimumOffsetValue = 0, MaximumOffsetValue = 0;
    // The room the series asked for in an earlier layout while the offset setting was 0: it
    // stays until the setting is written, as a zoomed view keeps the room of the view before.
    int LearnedMinimumOffset = 0, LearnedMaximumOffset = 0;

    TAxisFacts Known;
    TAxisMapping Map;
    TAxisLayout Laid;

    // The published settings' values.
    bool MinimumRoundValue = false;
    bool MaximumRoundValue = false;
    bool InvertedValue = false;
    double StartPositionValue = 0.0;
    double EndPositionValue = 100.0;
    int LabelsSeparationValue = 10;
    bool RoundFirstLabelValue = true;
    bool LabelsAlternateValue = false;
    int LabelsAngleValue = 0;
    bool LabelsMultiLineValue = false;
    bool VisibleValue = true;
    TPlotPen AxisPenValue = TPlotPen{clBlack, 2, psSolid, pmCopy, true};
    TPlotPen TicksValue = TPlotPen{clGray, 1, psSolid, pmCopy, true};
    int TickLengthValue = 4;
    TPlotPen TicksInnerValue = TPlotPen{clGray, 1, psSolid, pmCopy, true};
    int TickInnerLengthValue = 0;
    TPlotPen MinorTicksValue = TPlotPen{clGray, 1, psSolid, pmCopy, true};
    int MinorTickLengthValue = 2;
    int MinorTickCountValue = 3;
    TPlotPen GridValue = TPlotPen{clGray, 1, psDot, pmCopy, true};
    int GridDrawEveryValue = 1;
    bool GridCenteredValue = false;
    TPlotPen MinorGridValue = TPlotPen{clGray, 1, psSolid, pmCopy, false};
    bool LabelsValue = true;
    TPlotFont LabelsFontValue{};
    bool LabelsBehindValue = false;
    bool LabelsOnAxisValue = true;
    int LabelsSizeValue = 0;
    int LabelsMinimumSizeValue = 0;
    TAxisLabelStyle LabelStyleValue = talAuto;
    bool TickOnLabelsOnlyValue = true;
    int PositionPercentValue = 0;
    std::string TitleCaptionValue{};
    TPlotFont TitleFontValue{};
};
