#pragma once
// The reader's result: a status, three fields of the format chunk and the data chunk's body.

#include <cstdint>
#include <memory>
#include <string>

#include "wave/DataBlock.h"

// Result codes of ReadWaveFile. The value 4 is never produced.
enum TWaveStatus : std::uint16_t {
    wsOk = 0,               // the data chunk was reached and its whole body copied
    wsFailed = 1,           // the file could not be opened or read, or memory ran out
    wsDataBeforeFormat = 2, // a data chunk came before any format chunk
    wsBadChunkSize = 3,     // a chunk declared a size above 2,147,483,647
    wsNotWave = 5,          // not a RIFF file of form type WAVE
};

struct TWaveInfo {
    std::uint16_t Status = wsOk;
    std::uint32_t ByteRate = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t Channels = 0;
    std::unique_ptr<TDataBlock> Data;
    // Why a read ended wsFailed when the file's bytes are not the cause ("Out of memory",
    // "Not a regular file"); empty otherwise. The log and the status are the same either way.
    std::string Problem;
    // Why a read ended wsFailed, in words, whatever the cause (a missing file, a short one, a
    // FIFO with no writer, memory); empty otherwise.
    std::string Reason;
    // The data chunk was the last thing read and the file ended inside it (a recording cut
    // short, or a stream that wrote a placeholder size): the status is wsFailed, and Data
    // holds the body's bytes that were there, DeclaredDataSize what the chunk declared.
    bool DataCutShort = false;
    // The read's progress asked it to stop (the status is wsFailed, the log closed as ever).
    bool Cancelled = false;
    // The bytes of the data chunk's body that were there, kept in Data or not.
    std::uint64_t DataSize = 0;
    std::uint32_t DeclaredDataSize = 0;
};
