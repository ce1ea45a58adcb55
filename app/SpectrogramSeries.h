#pragma once
// The series a plot shows a spectrogram through: it spans the channel's frames along X (1 to
// the frame count, as the waveform's points do, so zoom, pan, undo and the links work on the
// same numbers) and the positions 0 (0 Hz) to 1 (half the sample rate) up Y, and it fills the
// plot's area with the picture its owner draws for the axes' ranges of each paint.

#include <functional>

#include "chart/model/ChartSeries.h"

class TSpectrogramSeries : public TChartSeries {
  public:
    void SetFrames(int frames) {
        if (ChangeValue(Frames, frames))
            RequestRepaint();
    }
    int PointCount() const override { return Frames; }
    double GetMinX() const override { return 1; }
    double GetMaxX() const override { return Frames; }
    double GetMinY() const override { return 0; }
    double GetMaxY() const override { return 1; }

    // Draws the picture for the context's mappings, clipped to its plot area.
    std::function<void(const TSeriesDrawContext& context)> OnDraw;
    void DrawPoints(const TSeriesDrawContext& context) override {
        if (OnDraw)
            OnDraw(context);
    }

  protected:
    void FindVisibleRange(TSeriesDrawContext& context) const override {
        context.From = Frames > 0 ? 0 : -1;
        context.To = Frames - 1;
    }

  private:
    int Frames = 0;
};
