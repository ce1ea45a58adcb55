#pragma once
// The window-backed panel a chart paints itself on. It owns the drawing canvas, derives the
// plot rectangle (ChartRect) from its size, bevels and margins on every paint, paints into an
// off-screen picture that is then copied to the screen, and turns repaint requests into one
// later paint. The picture has one pixel per logical pixel whatever the screen; a scaled screen
// shows it magnified pixel by pixel, and the mouse reaches the handlers in its pixels.

#include <exception>
#include <functional>
#include <vector>

#include <QWidget>

#include "ChartTitle.h"
#include "DevicePicture.h"
#include "PlotCanvas.h"
#include "Property.h"

class QPainter;

enum TMarginUnits { muPercent, muPixels };

// A panel that never shows a caption.
class TCustomPanelNoCaption : public QWidget {
    Q_OBJECT
  public:
    explicit TCustomPanelNoCaption(QWidget* parent = nullptr);
};

class TCustomPlotPanel : public TCustomPanelNoCaption {
    Q_OBJECT
  public:
    explicit TCustomPlotPanel(QWidget* parent = nullptr);

    TColor Color() const { return ColorValue; }
    void SetColor(TColor value) {
        if (ChangeValue(ColorValue, value))
            Changed();
    }
    TPanelBevel BevelOuter() const { return BevelOuterValue; }
    void SetBevelOuter(TPanelBevel value) {
        if (ChangeValue(BevelOuterValue, value))
            Changed();
    }
    TPanelBevel BevelInner() const { return BevelInnerValue; }
    void SetBevelInner(TPanelBevel value) {
        if (ChangeValue(BevelInnerValue, value))
            Changed();
    }
    int BevelWidth() const { return BevelWidthValue; }
    void SetBevelWidth(int value) {
        if (ChangeValue(BevelWidthValue, value))
            Changed();
    }
    int BorderWidth() const { return BorderWidthValue; }
    void SetBorderWidth(int value) {
        if (ChangeValue(BorderWidthValue, value))
            Changed();
    }
    const TPlotPen& Border() const { return BorderValue; }
    void SetBorder(const TPlotPen& value) {
        if (ChangeValue(BorderValue, value))
            Changed();
    }
    int MarginLeft() const { return MarginLeftValue; }
    void SetMarginLeft(int value) {
        if (ChangeValue(MarginLeftValue, value))
            Changed();
    }
    int MarginTop() const { return MarginTopValue; }
    void SetMarginTop(int value) {
        if (ChangeValue(MarginTopValue, value))
            Changed();
    }
    int MarginRight() const { return MarginRightValue; }
    void SetMarginRight(int value) {
        if (ChangeValue(MarginRightValue, value))
            Changed();
    }
    int MarginBottom() const { return MarginBottomValue; }
    void SetMarginBottom(int value) {
        if (ChangeValue(MarginBottomValue, value))
            Changed();
    }
    TMarginUnits MarginUnits() const { return MarginUnitsValue; }
    void SetMarginUnits(TMarginUnits value) {
        if (ChangeValue(MarginUnitsValue, value))
            Changed();
    }
    bool View3D() const { return View3DValue; }
    void SetView3D(bool value) {
        if (ChangeValue(View3DValue, value))
            Changed();
    }

    // Marks the picture stale and asks Qt for one later paint; further requests before that
    // paint cost nothing. Does nothing while RepaintEnabled is off.
    void Invalidate();
    // The change handler the panel's parts call after a change of their look.
    void CanvasChanged() { Invalidate(); }

    bool RepaintEnabled() const { return CanRepaint; }
    // While held, the panel shows its last picture as it is, however its contents change (a
    // long load filling the series); letting go repaints it if anything changed meanwhile.
    void SetPictureHeld(bool held);
    bool PictureHeld() const { return HoldsPicture; }
    void SetRepaintEnabled(bool value) { CanRepaint = value; }
    bool BufferDirty() const { return IsBufferDirty; }
    bool Destroying() const { return IsDestroying; }

    // Layout of the last paint.
    const TRect& ChartBounds() const { return Bounds; }
    const TRect& ChartRect() const { return PlotRect; }
    int ChartWidth() const { return PlotRect.Width(); }
    int ChartHeight() const { return PlotRect.Height(); }
    int ChartXCenter() const { return (PlotRect.Left + PlotRect.Right) / 2; }
    int ChartYCenter() const { return (PlotRect.Top + PlotRect.Bottom) / 2; }

    TPlotCanvas3D& Canvas() { return PlotCanvas; }
    // The client rectangle, or (0, 0, Width, Height).
    TRect GetRectangle() const { return {0, 0, width(), height()}; }
    // Paints the whole chart into the off-screen picture and returns it.
    const QImage& Draw();
    // How many times the chart has been drawn (a clean repaint only copies the picture).
    int DrawCount() const { return Draws; }
    // The picture pixel shown under `position`, a point in the panel's logical coordinates as
    // Qt gives the pointer: on a screen whose device pixel ratio is not 1, the pixel under the
    // centre of the device pixel there (DevicePicture.h); otherwise `position` itself.
    QPointF PicturePointAt(QPointF position) const;

    // The plot rectangle before titles and axes take their room: the bounds less the border
    // and bevels and the margins.
    TRect CalcChartRect() const;
    // A plot rectangle made usable: inside the bounds at left and top, at least one pixel
    // wide and high; an empty one takes the panel's size (width x height).
    static TRect RepairChartRect(TRect rect, const TRect& bounds, int width, int height);
    // A bevel of `width` rings inside `rect`, which moves inward past it.
    void Frame3D(TRect& rect, TColor topColor, TColor bottomColor, int width);

    virtual TColor GetBackColor() const { return Color(); }

    // Told of an exception that ended a paint, after the paint event, once per run of failing
    // paints. Without a hook the message goes to standard error.
    std::function<void(std::exception_ptr)> OnPaintError;

  protected:
    // The plot rectangle of the paint under way: titles and axes take their room from it.
    TRect PlotRect;
    void RecalcWidthHeight() { PlotRect = RepairChartRect(PlotRect, Bounds, width(), height()); }

    virtual void InternalDraw(const TRect& bounds);
    // Fills the whole panel with its colour, or with its background gradient when visible.
    void FillPanelRect(const TRect& rect);
    virtual const TPlotGradient* BackgroundGradient() const { return nullptr; }
    void PanelPaint(const TRect& rect);
    void DrawPanelBevels(TRect rect);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

    void Changed() { CanvasChanged(); }
    bool IsDestroying = false;

  private:
    void ReportPaintError(std::exception_ptr error);
    // Copies the picture to the device `screen` paints on.
    void ShowPicture(QPainter& screen);

    TRect Bounds;
    TPlotCanvas3D PlotCanvas;
    TDevicePicture OnDevice; // the picture at the device's pixels, for ratios other than 1
    bool CanRepaint = false; // off until construction ends
    bool HoldsPicture = false;
    bool IsBufferDirty = true;
    bool UpdateAsked = false;     // an update was asked of Qt and its paint has not come yet
    bool PaintErrorShown = false; // the last paint failed and was reported
    int Draws = 0;

    // The published settings' values.
    TColor ColorValue = clBtnFace;
    TPanelBevel BevelOuterValue = bvRaised;
    TPanelBevel BevelInnerValue = bvNone;
    int BevelWidthValue = 1;
    int BorderWidthValue = 0;
    TPlotPen BorderValue = TPlotPen{clBlack, 1, psSolid, pmCopy, false};
    int MarginLeftValue = 3;
    int MarginTopValue = 4;
    int MarginRightValue = 3;
    int MarginBottomValue = 4;
    TMarginUnits MarginUnitsValue = muPercent;
    bool View3DValue = true;
};
