#include "app/HexText.h"

#include <cstdio>

namespace {

constexpr std::uint64_t LineBytes = 16;

} // namespace

std::string HexText(const std::uint8_t* bytes, std::uint64_t size, std::uint64_t offset) {
    std::string text;
    // Offsets as wide as the largest needs, at least 8 digits, so the columns line up.
    int digits = 8;
    while (digits < 16 && (offset + size) >> (4 * digits) != 0)
        ++digits;
    char field[24];
    for (std::uint64_t line = 0; line < size; line += LineBytes) {
        std::snprintf(field, sizeof field, "%0*llX ", digits,
                      static_cast<unsigned long long>(offset + line));
        text += field;
        std::string ascii;
        for (std::uint64_t i = 0; i < LineBytes; ++i) {
            if (i == 8)
                text += ' ';
            if (line + i >= size) {
                text += "   ";
                continue;
            }
            const std::uint8_t byte = bytes[line + i];
            std::snprintf(field, sizeof field, " %02X", byte);
            text += field;
            ascii += byte >= 0x20 && byte < 0x7F ? char(byte) : '.';
        }
        text += "  |" + ascii + "|\n";
    }
    return text;
}
