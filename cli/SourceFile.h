#pragma once
// The one file a report is made of. A name may come to mean another file between two opens (a
// rename, a new file written over it), and a report that opened it twice could give one file's
// log with another's audio. A regular file is opened here once, and every later read goes
// through that open descriptor's own name (/proc/self/fd/N), which stays this file whatever
// happens to the name. Streams keep their name: they are read once anyway.

#include <string>

#include <sys/types.h>

class TSourceFile {
  public:
    explicit TSourceFile(const std::string& name);
    ~TSourceFile();
    TSourceFile(const TSourceFile&) = delete;
    TSourceFile& operator=(const TSourceFile&) = delete;

    // The name every read of the file uses.
    const std::string& ReadName() const { return Name; }
    // Whether `other` names this same file (the same device and inode, through any link): an
    // export there would overwrite what it reads.
    bool IsNamedBy(const std::string& other) const;

  private:
    int Fd = -1;
    std::string Name;
    dev_t Device = 0;
    ino_t Inode = 0;
    bool Known = false; // device and inode are known
};
