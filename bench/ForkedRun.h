#pragma once
// A call run once in a child process forked for it, so that every run starts from the same
// state and pays the page faults a program doing the work once pays (within one process,
// memory freed by an earlier run would be reused and flatter the later runs).
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace ForkedRun {

// Kilobytes of a line of /proc/self/status (VmRSS: now, VmHWM: peak since the last reset).
inline long long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size(), field) == 0)
            return std::stoll(line.substr(field.size()));
    return 0;
}

inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Measure {
    double seconds = 0;
    long long peakBytes = 0;
    bool ok = false;
};

// Runs `call` once in a forked child: its processor time and its peak memory above the
// memory it started with.
template <typename F> Measure inChild(F call)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    malloc_trim(0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        Measure m;
        const long long before = statusKb("VmRSS:");
        std::ofstream("/proc/self/clear_refs") << "5"; // VmHWM starts again from VmRSS
        const double start = cpuSeconds();
        m.ok = call();
        m.seconds = cpuSeconds() - start;
        m.peakBytes = (statusKb("VmHWM:") - before) * 1024;
        const bool sent = write(pipeFds[1], &m, sizeof m) == sizeof m;
        _exit(sent ? 0 : 1);
    }
    close(pipeFds[1]);
    Measure m;
    // One small write through a pipe arrives whole.
    if (pid < 0 || read(pipeFds[0], &m, sizeof m) != sizeof m)
        m = {};
    close(pipeFds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return m;
}

} // namespace ForkedRun
