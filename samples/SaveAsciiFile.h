#pragma once
// The text export: one line per frame, " LEFT RIGHT" and CR LF, beside the wave file.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "wave/Progress.h"

// The export's name for a wave file: everything from the last full stop on is replaced by
// "_out.dat", unless a folder separator ('/', '\\') or a colon comes after that full stop.
std::string AsciiFileNameFor(const std::string& waveFileName);

// Writes `count` frames, left[i] and right[i] for i in 0..count-1, to `fileName`. The lines go
// to a temporary file beside the target, flushed to the disk and renamed over the target only
// when everything was written; so a failed export never destroys an earlier good file.
// Where a rename would lose what a rewrite in place keeps (other hard links to the target, a
// folder that may not be written, a dangling symbolic link), the target is rewritten in place.
// A target that is not a regular file (FIFO, socket, device, folder) is refused with code 5
// and left untouched. Throws TInOutError on any input/output error. `progress` is told how many
// frames are written; when it says stop, the export ends with TCancelled and, written through a
// temporary file, leaves the target as it was.
void WriteAsciiFile(const std::string& fileName, int count, const std::int32_t* left,
                    const std::int32_t* right, const TProgressStep& progress = {});

// What an export with nothing loaded says: it is news for the user, not a failure.
class TNothingLoaded : public std::runtime_error {
  public:
    TNothingLoaded() : std::runtime_error("Nothing is loaded: no file was written.") {}
};

// Writes the store's frames 1..SampleCount to the file named after WaveFileName. Before any
// load, or after a load that failed or was given up, writes nothing and throws TNothingLoaded.
void SaveAsciiFile(const TProgressStep& progress = {});
// The same to `fileName`, wherever it is (a stream's frames have no folder to go beside).
void SaveAsciiFileAs(const std::string& fileName, const TProgressStep& progress = {});
