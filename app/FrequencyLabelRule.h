#pragma once
// Labels of frequency for a spectrogram's vertical axis, whose values are positions 0 (0 Hz)
// to 1 (half the sample rate) on a frequency scale: "0 Hz", "500 Hz", "2 kHz", "12.5 kHz".
// Labels stand at round frequencies (1, 2, 5 x 10^k Hz and their multiples) and never touch.

#include "chart/panel/AxisLabelRule.h"
#include "spectrum/FrequencyScale.h"

class TFrequencyLabelRule : public TAxisLabelRule {
  public:
    explicit TFrequencyLabelRule(TFrequencyScale scale) : Scale(scale) {}

    std::vector<double> Ticks(double minimum, double maximum, int pixels,
                              const std::function<int(const std::string&)>& width) const override;
    std::string Text(double position) const override;

  private:
    TFrequencyScale Scale;
};

// A frequency as the axis and the readout write it: hertz below 1 kHz, kilohertz above, with
// the digits `step` needs to tell neighbours apart (0 for the fewest that show the value).
std::string FrequencyText(double hertz, double step = 0);
