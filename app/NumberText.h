#pragma once
// Numbers as the window shows them to the user: thousands grouped, whatever the locale's habit.

#include <cstdint>

#include <QString>

// A whole number with group separators: 4,294,967,295.
QString GroupedNumber(std::uint64_t value);
// A number with `decimals` digits after the point, its whole part grouped: 3,600.00000.
QString GroupedDecimal(double value, int decimals);
