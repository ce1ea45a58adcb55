#pragma once
// Bytes as a hex editor shows them: a line of 16 with its file offset, the bytes in hex (two
// groups of 8) and the same bytes as ASCII, a dot for what is not printable.

#include <cstdint>
#include <string>

// `size` bytes from `bytes`, the first of which stands at `offset` in the file.
std::string HexText(const std::uint8_t* bytes, std::uint64_t size, std::uint64_t offset);
