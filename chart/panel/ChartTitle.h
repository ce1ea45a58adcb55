#pragma once
// The four text blocks of a chart: Title and SubTitle above the plot, Foot and SubFoot below.

#include <functional>
#include <string>
#include <vector>

#include "PlotPen.h"
#include "PlotRect.h"
#include "Property.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPlotCanvas3D;

class TChartTitle {
  public:
    // A foot title sits below the plot and by default writes in red italics.
    TChartTitle(std::function<void()> onChange, bool isFoot);
    virtual ~TChartTitle() = default;

    bool IsFoot() const { return AtBottom; }

    bool Visible() const { return VisibleValue; }
    void SetVisible(bool value) {
        if (ChangeValue(VisibleValue, value))
            Changed();
    }
    const std::vector<std::string>& Text() const { return TextValue; }
    void SetText(const std::vector<std::string>& value) {
        if (ChangeValue(TextValue, value))
            Changed();
    }
    const TPlotFont& Font() const { return FontValue; }
    void SetFont(const TPlotFont& value) {
        if (ChangeValue(FontValue, value))
            Changed();
    }
    TAlignment Alignment() const { return AlignmentValue; }
    void SetAlignment(TAlignment value) {
        if (ChangeValue(AlignmentValue, value))
            Changed();
    }
    bool AdjustFrame() const { return AdjustFrameValue; }
    void SetAdjustFrame(bool value) {
        if (ChangeValue(AdjustFrameValue, value))
            Changed();
    }
    int VertMargin() const { return VertMarginValue; }
    void SetVertMargin(int value) {
        if (ChangeValue(VertMarginValue, value))
            Changed();
    }
    bool Transparent() const { return TransparentValue; }
    void SetTransparent(bool value) {
        if (ChangeValue(TransparentValue, value))
            Changed();
    }
    const TPlotPen& Frame() const { return FrameValue; }
    void SetFrame(const TPlotPen& value) {
        if (ChangeValue(FrameValue, value))
            Changed();
    }
    TPanelBevel Bevel() const { return BevelValue; }
    void SetBevel(TPanelBevel value) {
        if (ChangeValue(BevelValue, value))
            Changed();
    }
    int BevelWidth() const { return BevelWidthValue; }
    void SetBevelWidth(int value) {
        if (ChangeValue(BevelWidthValue, value))
            Changed();
    }
    TColor Color() const { return ColorValue; }
    void SetColor(TColor value) {
        if (ChangeValue(ColorValue, value))
            Changed();
    }
    bool CustomPosition() const { return CustomPositionValue; }
    void SetCustomPosition(bool value) {
        if (ChangeValue(CustomPositionValue, value))
            Changed();
    }
    int Left() const { return LeftValue; }
    void SetLeft(int value) {
        if (ChangeValue(LeftValue, value))
            Changed();
    }
    int Top() const { return TopValue; }
    void SetTop(int value) {
        if (ChangeValue(TopValue, value))
            Changed();
    }

    // Where the shape was placed in the last paint.
    TRect ShapeBounds;

    // Draws the title; one placed by the panel moves the matching edge of chartRect.
    // Returns false when it drew nothing and took no space.
    bool Draw(TPlotCanvas3D& canvas, TRect& chartRect);

    std::function<void()> OnChange;

  private:
    void Changed() {
        if (OnChange)
            OnChange();
    }
    bool AtBottom;

    // The published settings' values.
    bool VisibleValue = true;
    std::vector<std::string> TextValue{};
    TPlotFont FontValue{};
    TAlignment AlignmentValue = taCenter;
    bool AdjustFrameValue = true;
    int VertMarginValue = 5;
    bool TransparentValue = true;
    TPlotPen FrameValue{};
    TPanelBevel BevelValue = bvNone;
    int BevelWidthValue = 2;
    TColor ColorValue = clWhite;
    bool CustomPositionValue = false;
    int LeftValue = 0;
    int TopValue = 0;
};
