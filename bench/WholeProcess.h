#pragma once
// Whole processes measured as a user runs them: the file warmed into the page cache first,
// the peak anonymous memory (RssAnon: a file's mapped pages are not counted) polled as the
// process runs.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

// Reads the whole file once, so that every measurement finds it in the page cache.
inline void WarmUp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::vector<char> block(1 << 22);
    while (in.read(block.data(), std::streamsize(block.size())) || in.gcount() > 0) {
    }
}

inline std::uint64_t RssAnonKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0)
            return std::stoull(line.substr(8));
    return 0;
}

// Runs a program to its end; returns its peak anonymous memory in KiB, polled as it runs.
inline std::uint64_t RunToEnd(const std::vector<std::string>& arguments,
                              const std::string& output = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!output.empty()) {
            const int fd = open(output.c_str(), O_WRONLY);
            dup2(fd, 1);
        }
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::uint64_t peak = 0;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        peak = std::max(peak, RssAnonKiB(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s ended with status %d\n", arguments[0].c_str(), status);
    return peak;
}
