#pragma once
// The window's two series as the Load command's plots: the left channel to the upper series,
// the right one to the lower.

#include "samples/ChannelPlots.h"

class TChartSeries;

class TSeriesPlots : public TChannelPlots {
  public:
    TSeriesPlots(TChartSeries& upper, TChartSeries& lower) : Upper(upper), Lower(lower) {}

    void Clear() noexcept override;
    void Reserve(int frames) override;
    void AddFrames(const double* xs, const double* lefts, const double* rights, int count) override;
    // The series' Y values view the store's channels; X holds the rule 1, 2, 3, ... False
    // where a series' adds or clears are watched: the frames then come as adds.
    bool ViewStore(const std::int32_t* lefts, const std::int32_t* rights, int count) override;

  private:
    TChartSeries& Upper;
    TChartSeries& Lower;
};
