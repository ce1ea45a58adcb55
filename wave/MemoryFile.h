#pragma once
// Bytes in hand given a file name of their own (an anonymous file in memory), so that a
// reader that opens files by name reads exactly them. Gone when the object goes.

#include <cstdint>
#include <string>

class TMemoryFile {
  public:
    // Throws std::runtime_error when the system gives no such file.
    TMemoryFile(const std::uint8_t* bytes, std::uint64_t size);
    ~TMemoryFile();
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;

    const std::string& Name() const { return Path; }

  private:
    int Fd = -1;
    std::string Path;
};
