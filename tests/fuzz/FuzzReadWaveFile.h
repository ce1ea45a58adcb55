#pragma once
// One fuzz input through the reader: the bytes become an in-memory file, the reader walks it,
// and the result must keep the reader's promises whatever the bytes are. The same bytes are
// then read again as a stream from a pipe, which must give the same result.

#include <cstddef>
#include <cstdint>
#include <vector>

// Returns false when a promise is broken (a status outside the table, a closing line where
// none belongs, a data block with no wsOk on the way); the fuzzer aborts on that.
bool FuzzReadWaveFile(const std::uint8_t* data, std::size_t size);

// Inputs worth starting from: good files of each shape and the broken ones the tests name.
std::vector<std::vector<std::uint8_t>> ReadWaveFileSeeds();
