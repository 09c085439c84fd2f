#pragma once
// Runs this benchmark again in a new process image, so that the peak memory
// measured is the child's work alone (a forked child would count the parent's
// pages as its own). The child is started as `NAME --child FD ARGS…` and
// writes two timings to FD with ReportTimes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct ChildFigures {
    double times[2] = {0, 0};
    double peakMB = 0;
};

inline std::optional<ChildFigures> RunMeasuredChild(const char* name, const std::vector<std::string>& args) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return std::nullopt;
    pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        std::vector<std::string> all = {name, "--child", std::to_string(pipefd[1])};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(pipefd[1]);
    ChildFigures f;
    ssize_t n = read(pipefd[0], f.times, sizeof f.times);
    close(pipefd[0]);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    if (n != sizeof f.times || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    f.peakMB = ru.ru_maxrss / 1024.0;
    return f;
}

// The child's side: 0 when both timings reached the parent.
inline int ReportTimes(int fd, double first, double second) {
    double times[2] = {first, second};
    return write(fd, times, sizeof times) == sizeof times ? 0 : 1;
}

}  // namespace bench
