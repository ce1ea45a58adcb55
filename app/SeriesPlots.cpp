#include "app/SeriesPlots.h"

#include "chart/model/ChartSeries.h"
#include "chart/model/OutsideIntValues.h"

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

bool TSeriesPlots::ViewStore(const std::int32_t* lefts, const std::int32_t* rights, int count) {
    // Series that someone watches add by add, or clear by clear, take the frames a block at a
    // time as ever: their observers see one clear, then the adds alternating between the
    // plots block by block.
    for (const TChartSeries* series : {&Upper, &Lower})
        if (!series->CanViewValues() || series->OnClearValues)
            return false;
    Upper.ViewValues(std::make_shared<TOutsideIntValues>(lefts, count));
    Lower.ViewValues(std::make_shared<TOutsideIntValues>(rights, count));
    return true;
}
