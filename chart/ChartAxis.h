#pragma once
// An axis of a chart: its value range (from the series or set by zoom and scroll), the one
// mapping between values and pixels, the label step, and its drawing (line, ticks, grid and
// value labels).

#include <stdexcept>
#include <string>
#include <vector>

#include "PlotPen.h"
#include "PlotRect.h"
#include "Property.h"

class TCustomAxisPanel;
class TPlotCanvas3D;

class AxisException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
enum TAxisKind { akBottom, akTop, akLeft, akRight, akDepth, akDepthTop };

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

class TChartAxis {
  public:
    TChartAxis(TCustomAxisPanel* chart, TAxisKind kind);

    TAxisKind Kind() const { return AxisKind; }
    bool Horizontal() const { return IsHorizontal; }
    bool IsDepthAxis() const { return AxisKind == akDepth || AxisKind == akDepthTop; }
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

    PLOT_PROPERTY(bool, MinimumRound, false)
    PLOT_PROPERTY(bool, MaximumRound, false)
    PLOT_PROPERTY(bool, Inverted, false)
    PLOT_PROPERTY(double, StartPosition, 0.0)
    PLOT_PROPERTY(double, EndPosition, 100.0)
    PLOT_PROPERTY(int, LabelsSeparation, 10)
    PLOT_PROPERTY(bool, RoundFirstLabel, true)
    PLOT_PROPERTY(bool, LabelsAlternate, false)
    PLOT_PROPERTY(int, LabelsAngle, 0)
    PLOT_PROPERTY(bool, LabelsMultiLine, false)
    PLOT_PROPERTY(bool, Visible, true)

    // Drawing settings.
    PLOT_PROPERTY(TPlotPen, AxisPen, (TPlotPen{clBlack, 2, psSolid, pmCopy, true}))
    PLOT_PROPERTY(TPlotPen, Ticks, (TPlotPen{0x808080, 1, psSolid, pmCopy, true}))
    PLOT_PROPERTY(int, TickLength, 4)
    PLOT_PROPERTY(TPlotPen, TicksInner, (TPlotPen{0x808080, 1, psSolid, pmCopy, true}))
    PLOT_PROPERTY(int, TickInnerLength, 0)
    PLOT_PROPERTY(TPlotPen, MinorTicks, (TPlotPen{0x808080, 1, psSolid, pmCopy, true}))
    PLOT_PROPERTY(int, MinorTickLength, 2)
    PLOT_PROPERTY(int, MinorTickCount, 3)
    PLOT_PROPERTY(TPlotPen, Grid, (TPlotPen{0x808080, 1, psDot, pmCopy, true}))
    PLOT_PROPERTY(int, GridDrawEvery, 1)
    PLOT_PROPERTY(bool, GridCentered, false)
    PLOT_PROPERTY(TPlotPen, MinorGrid, (TPlotPen{0x808080, 1, psSolid, pmCopy, false}))
    PLOT_PROPERTY(bool, Labels, true)
    PLOT_PROPERTY(TPlotFont, LabelsFont, TPlotFont{})
    PLOT_PROPERTY(bool, LabelsBehind, false)
    PLOT_PROPERTY(bool, LabelsOnAxis, true)
    PLOT_PROPERTY(int, LabelsSize, 0)
    PLOT_PROPERTY(TAxisLabelStyle, LabelStyle, talAuto)
    PLOT_PROPERTY(bool, TickOnLabelsOnly, true)
    PLOT_PROPERTY(int, PositionPercent, 0)
    PLOT_PROPERTY(std::string, TitleCaption, std::string())
    PLOT_PROPERTY(TPlotFont, TitleFont, TPlotFont{})

    // Working state of the last layout.
    double ScaleMin = 0, ScaleMax = 0, ScaleRange = 0;
    bool RangeIsZero = true;
    double PixelsPerUnit = 0;
    int FirstPixel = 0, LastPixel = 0, PixelLength = 0, MidPixel = 0;
    bool IsShownNow = false;
    int LinePos = 0, LabelsPos = 0, TitlePos = 0;
    std::vector<int> TickPositions;
    std::vector<TPendingLabel> PendingLabels;
    std::vector<TPendingLabel> Items; // the labels drawn in the last paint

    // Scaling.
    void UpdateRange();
    void DeriveScale();
    void UpdatePixelExtent();
    void ApplyOffsets();
    // Value to pixel: rounded half to even and clamped to -32767..32767.
    int PixelOfValue(double value) const {
        if (RangeIsZero)
            return MidPixel;
        const double t = (value - ScaleMin) * PixelsPerUnit;
        double p;
        if (Horizontal())
            p = Inverted() ? LastPixel - t : FirstPixel + t;
        else
            p = Inverted() ? FirstPixel + t : LastPixel - t;
        if (p > 32767)
            return 32767;
        if (!(p >= -32767)) // below, or NaN from an infinite or undefined scale
            return -32767;
        // Adding and taking away 1.5 * 2^52 rounds to the nearest integer, ties to even,
        // for any |p| below 2^51.
        constexpr double shift = 6755399441055744.0;
        const double shifted = p + shift; // not folded away: no fast-math here
        return int(shifted - shift);
    }
    double ValueAtPixel(int pixel) const;
    std::string LabelTextOf(double value) const;
    int LabelSpan(double value) const;
    int LabelsThatFit(int span) const;
    double StepForLabelCount(int count) const;
    double LabelStep();
    void SetRangeManual(double minimum, double maximum);
    void ShiftRange(double delta, bool checkData);

    // Drawing.
    bool IsShown() const;
    TAxisLabelStyle EffectiveLabelStyle() const;
    int LabelsExtent();
    int WidestLabel();
    int TickBand() const;
    void ReserveAxisSpace(TRect& rect, bool main);
    void PaintAxis();
    void CollectValueLabels();
    std::vector<int> MinorPositions() const;

    // While true the setters of Minimum and Maximum do not check their order.
    bool Loading = false;

  private:
    void Changed();
    double LabelStepPass();
    void RoundRange();
    void EmitLabel(double value);
    void DrawLabelText(const TPendingLabel& label);
    void DrawTick(int pixel, int offset, int length);
    void DrawGridLine(int pixel);
    bool UsedByActiveSeries() const;
    // The width of a label's widest line, in the label font already on the canvas.
    int WidestLineWidth(const std::string& text) const;
    TPlotCanvas3D& Canvas() const;

    TCustomAxisPanel* Chart;
    TAxisKind AxisKind;
    bool IsHorizontal;
    bool AutomaticValue = true, AutomaticMinimumValue = true, AutomaticMaximumValue = true;
    double MinimumValue = 0, MaximumValue = 0, IncrementValue = 0;
    int MinimumOffsetValue = 0, MaximumOffsetValue = 0;
};
