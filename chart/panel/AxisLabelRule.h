#pragma once
// What an axis prints, as a rule that can be replaced: the values its labels stand at and
// their texts. An axis without a rule of its own prints its values as numbers at the steps it
// chooses itself (its default, unchanged by any rule).

#include <functional>
#include <string>
#include <vector>

class TAxisLabelRule {
  public:
    virtual ~TAxisLabelRule() = default;
    // The values to label within [minimum, maximum], along `pixels` pixels, where a label's
    // text takes `width(text)` pixels along the axis; labels do not touch.
    virtual std::vector<double>
    Ticks(double minimum, double maximum, int pixels,
          const std::function<int(const std::string&)>& width) const = 0;
    virtual std::string Text(double value) const = 0;
};
