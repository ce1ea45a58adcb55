#pragma once
// Runs part of a test in a child process, where it may change what the whole process lives
// under (an address-space cap, another user) without touching the test program.

#include <cstdio>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `body` in a child; its answer is the child's exit status (-1 when it did not exit).
inline int RunInChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Caps the process's address space at `bytes` more than it uses now (ulimit -v).
inline bool CapAddressSpaceAbove(rlim_t bytes) {
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return false;
    const bool read = std::fscanf(statm, "%ld", &pages) == 1;
    std::fclose(statm);
    const rlim_t cap = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + bytes;
    const rlimit limit{cap, cap};
    return read && setrlimit(RLIMIT_AS, &limit) == 0;
}
