// A stand-in for the external updater. It reads what to do from StandIn_Behaviour.txt beside
// itself ("<exit code> <delay ms>"), records how it was started in StandIn_Record.txt beside
// itself and appends its pid to StandIn_Runs.txt (one line per run), then waits and exits with
// the chosen code.
// On Windows only the pid is recorded of how it was started: streams on /dev/null and a
// session of its own are what the POSIX launcher promises.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

static bool onDevNull(int fd)
{
    struct stat stream {
    }, null{};
    return ::fstat(fd, &stream) == 0 && ::stat("/dev/null", &null) == 0 && S_ISCHR(stream.st_mode)
        && stream.st_rdev == null.st_rdev;
}
#endif

static long long processId()
{
#ifdef _WIN32
    return static_cast<long long>(GetCurrentProcessId());
#else
    return static_cast<long long>(::getpid());
#endif
}

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const fs::path self = fs::canonical(fs::path(argv[0]));
    const fs::path folder = self.parent_path();
    int exitCode = 0, delayMs = 0;
    std::ifstream(folder / "StandIn_Behaviour.txt") >> exitCode >> delayMs;
    {
        std::ofstream record(folder / "StandIn_Record.txt.part");
        record << "pid=" << processId() << "\n"
               << "arguments=" << argc - 1 << "\n"
               << "folder=" << folder.generic_string() << "\n"
               << "working_folder=" << fs::current_path().generic_string() << "\n"
               << "descriptor=" << fs::exists("Ethernet_Update.xml") << "\n";
#ifndef _WIN32
        record << "streams_null=" << (onDevNull(0) && onDevNull(1) && onDevNull(2)) << "\n"
               << "session_leader=" << (::getsid(0) == ::getpid()) << "\n";
#endif
    }
    // Complete records only: the test may read while the stand-in runs.
    fs::rename(folder / "StandIn_Record.txt.part", folder / "StandIn_Record.txt");
    std::ofstream(folder / "StandIn_Runs.txt", std::ios::app) << processId() << "\n";
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    return exitCode;
}
