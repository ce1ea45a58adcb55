#pragma once
// Numbers in the report's sentences and tables: a fixed number of decimals, "-inf" for the
// level of silence.

#include <string>

std::string Fixed(double value, int decimals);
