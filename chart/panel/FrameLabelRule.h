#pragma once
// Labels of frames for an axis whose values count from 1 (X 1 is the first frame) where the
// frames are named from another number: a file's own frames count from 0. Steps are 1, 2, 5 x
// 10^k frames, the finest whose labels do not touch, and a label stands at a whole step.

#include "chart/panel/AxisLabelRule.h"

class TFrameLabelRule : public TAxisLabelRule {
  public:
    // `firstFrame`: the number the frame at X 1 is given.
    explicit TFrameLabelRule(long long firstFrame) : FirstFrame(firstFrame) {}

    std::vector<double> Ticks(double minimum, double maximum, int pixels,
                              const std::function<int(const std::string&)>& width) const override;
    std::string Text(double value) const override;

  private:
    long long FirstFrame;
};
