// A stand-in for the external updater. It reads what to do from StandIn_Behaviour.txt beside
// itself ("<exit code> <delay ms>"), records how it was started in StandIn_Record.txt beside
// itself, then waits and exits with the chosen code.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const fs::path self = fs::canonical(fs::path(argv[0]));
    const fs::path folder = self.parent_path();
    int exitCode = 0, delayMs = 0;
    std::ifstream(folder / "StandIn_Behaviour.txt") >> exitCode >> delayMs;
    {
        std::ofstream record(folder / "StandIn_Record.txt.part");
        record << "pid=" << ::getpid() << "\n"
               << "arguments=" << argc - 1 << "\n"
               << "folder=" << folder.string() << "\n"
               << "descriptor=" << fs::exists(folder / "Ethernet_Update.xml") << "\n"
               << "session_leader=" << (::getsid(0) == ::getpid()) << "\n";
    }
    // Complete records only: the test may read while the stand-in runs.
    fs::rename(folder / "StandIn_Record.txt.part", folder / "StandIn_Record.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    return exitCode;
}
