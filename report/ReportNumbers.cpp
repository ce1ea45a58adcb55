#include "report/ReportNumbers.h"

#include <cmath>
#include <cstdio>

std::string Fixed(double value, int decimals) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    if (result.find_first_not_of("-0.") == std::string::npos && result[0] == '-')
        result.erase(0, 1); // no "-0.00"
    return result;
}
