#include "SeriesPlots.h"

#include "ChartSeries.h"

void TSeriesPlots::Clear() noexcept {
    Upper.ClearPoints();
    Lower.ClearPoints();
}

void TSeriesPlots::Reserve(int frames) {
    Upper.ReservePoints(frames);
    Lower.ReservePoints(frames);
}

void TSeriesPlots::AddFrames(const double* xs, const double* lefts, const double* rights,
                             int count) {
    Upper.AddPointsXY(xs, lefts, count);
    Lower.AddPointsXY(xs, rights, count);
}
