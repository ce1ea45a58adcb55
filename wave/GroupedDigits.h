#pragma once
// A whole number with its thousands grouped, for sentences people read: 3,441,572.

#include <cstdint>
#include <string>

inline std::string GroupedDigits(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}
