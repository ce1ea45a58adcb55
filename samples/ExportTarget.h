#pragma once
// Where an export's text goes, under the rules every export keeps: it is written to a
// temporary file beside the target, flushed to the disk and renamed over the target only when
// complete, so a failed export never destroys an earlier good file. Where a rename would lose
// what a rewrite in place keeps (other hard links to the target, a folder that may not be
// written, a dangling symbolic link), the target is rewritten in place, its whole new length
// reserved on the disk before its first byte changes; a rewrite that stops part way (cancelled,
// an error, SIGTERM, SIGINT or SIGHUP) cuts the file after the last whole line written, as the
// old text is gone by then, and says where (TRewriteCancelled, standard error). A target that is
// not a regular file (FIFO, socket, device, folder), or a symbolic link another user owns, is
// refused with code 5 and left untouched. Two exports to one target take turns; a rewritten file
// never keeps set-user-ID or set-group-ID bits.

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
// sink and may throw (TCancelled, an error): the target is then left as the rules say. For a
// rewrite in place `body` runs twice, first into a sink that only counts the bytes, and must
// write the same text both times.
// Throws TInOutError on any input/output error.
void WriteExportFile(const std::string& fileName, const std::function<void(TExportSink&)>& body);
