#pragma once
// Runs one of the project's programs as a user would from a shell, and keeps what it wrote.

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

struct TRun {
    int ExitStatus = -1;
    std::string Out, Err;
    double Seconds = 0;
};

struct TRunOptions {
    const TBytes* Input = nullptr; // fed to standard input through a pipe
    rlim_t AddressSpace = 0;       // a cap on the address space (ulimit -v), 0 for none
    bool WithoutRights = false;    // as "nobody" when run as root, so permission bits hold
};

// Runs `program` with `arguments`, its standard output and error captured in files of `dir`.
inline TRun RunProgram(const std::string& program, const TTempDir& dir,
                       const std::vector<std::string>& arguments, const TRunOptions& options = {}) {
    const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int input[2] = {-1, -1};
    if (options.Input != nullptr && pipe(input) != 0)
        return {};
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (options.Input != nullptr) {
            dup2(input[0], 0);
            close(input[0]);
            close(input[1]);
        }
        if (options.AddressSpace != 0) {
            const rlimit cap{options.AddressSpace, options.AddressSpace};
            setrlimit(RLIMIT_AS, &cap);
        }
        if (options.WithoutRights && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (options.Input != nullptr) {
        close(input[0]);
        std::signal(SIGPIPE, SIG_IGN);
        const TBytes& bytes = *options.Input;
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = write(input[1], bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        close(input[1]);
    }
    TRun run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = TTempDir::Read(out);
    run.Err = TTempDir::Read(err);
    return run;
}
