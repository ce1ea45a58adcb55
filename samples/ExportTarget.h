#pragma once
// Where an export's text goes, under the rules every export keeps: it is written to a
// temporary file beside the target, flushed to the disk and renamed over the target only when
// complete, so a failed export never destroys an earlier good file. Where a rename would lose
// what a rewrite in place keeps (other hard links to the target, a folder that may not be
// written, a dangling symbolic link), the target is rewritten in place. A target that is not a
// regular file (FIFO, socket, device, folder) is refused with code 5 and left untouched.

#include <cstddef>
#include <functional>
#include <string>

// Receives an export's text, a block at a time.
class TExportSink {
  public:
    virtual ~TExportSink() = default;
    virtual void Write(const char* bytes, std::size_t size) = 0;
};

// Writes the file `fileName` under the rules above. `body` writes the whole text into the
// sink and may throw (TCancelled, an error): the target is then left as the rules say.
// Throws TInOutError on any input/output error.
void WriteExportFile(const std::string& fileName, const std::function<void(TExportSink&)>& body);
