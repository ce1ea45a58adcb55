#pragma once
// Labels of time for an axis that counts frames (frame 1 at 0 s): seconds ("83.5"),
// h:mm:ss.mmm ("1:23.500"), or timecode hh:mm:ss:ff. Steps are chosen for time (1, 2, 5 x 10^k
// below a second; 1, 2, 5, 10, 15, 30 seconds; minutes alike; hours) and every label is worked
// out from a whole number of steps, so no label reads 0.30000000000000004.

#include <cstdint>

#include "chart/panel/AxisLabelRule.h"

enum TTimeFormat : std::uint8_t { tfSeconds, tfClock, tfTimecode };

class TTimeLabelRule : public TAxisLabelRule {
  public:
    // `offset`: seconds added to every time (a time of day from the file's time reference).
    TTimeLabelRule(TTimeFormat format, std::uint32_t rate, double offset = 0, int fps = 25);

    std::vector<double> Ticks(double minimum, double maximum, int pixels,
                              const std::function<int(const std::string&)>& width) const override;
    std::string Text(double value) const override;

    // The frame (from 1) at `seconds` from the start, and back.
    double FrameAt(double seconds) const;
    double SecondsAt(double frame) const;

    // A time in microseconds as this rule writes it, with `decimals` digits of the second
    // (0 to 6: a microsecond is the finest; more are taken as 6) for seconds and clock times.
    std::string TextOfMicros(std::int64_t micros, int decimals) const;

  private:
    // The steps in microseconds (or timecode frames), smallest first.
    std::vector<std::int64_t> Steps() const;
    int DecimalsFor(std::int64_t step) const;

    TTimeFormat Format;
    std::uint32_t Rate;
    double Offset;
    int Fps;
    // The step of the last Ticks, for the texts of its labels.
    mutable std::int64_t LastStep = 1'000'000;
};
