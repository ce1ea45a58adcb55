#include "LineSeries.h"

double TCustomSeries::ScanLevels(bool maximum) {
    const bool skipNulls = TreatNulls() != tnIgnore;
    bool found = false;
    double result = 0;
    for (int i = 0; i < PointCount(); ++i) {
        if (skipNulls && IsNullPoint(i))
            continue;
        const double level = YValues.ValueAt(i);
        if (!found)
            result = level;
        else if (maximum ? level > result : level < result)
            result = level;
        found = true;
    }
    return result;
}
