#pragma once
// The window-backed panel a chart paints itself on: an off-screen picture that is copied to
// the screen, and repaint requests that only mark that picture stale.

#include <QImage>
#include <QWidget>

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

    // Marks the picture stale and asks Qt for one later paint; further requests before that
    // paint cost nothing. Does nothing while RepaintEnabled is off.
    void Invalidate();

    bool RepaintEnabled() const { return CanRepaint; }
    void SetRepaintEnabled(bool value) { CanRepaint = value; }
    bool BufferDirty() const { return IsBufferDirty; }
    bool Destroying() const { return IsDestroying; }

    // How many times the chart has been drawn into its picture (a clean repaint only copies).
    int DrawCount() const { return Draws; }

    const QImage& Buffer() const { return Picture; }

protected:
    // Draws the whole chart into the picture.
    virtual void Draw(QImage& picture);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    bool IsDestroying = false;

private:
    QImage Picture;
    bool CanRepaint = true;
    bool IsBufferDirty = true;
    int Draws = 0;
};
