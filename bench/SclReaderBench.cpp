// Reading a whole-substation SCL file into the device model, against the bare pugixml parse
// of the same file. Each read runs in a child process forked for it, so that every read
// starts from the same state and pays the page faults that a program reading one file pays
// (within one process, memory freed by the previous read would be reused and flatter the
// later runs). Reported: processor time of the read (the benchmark time), peak resident
// memory above the starting point, and the ratios x_bare (reader / bare parse time of the
// same file) and peak_x_file (peak memory / file size).
// The files are made on first use by gen_scl.py into the build folder.
#include "SCL_Reader.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <ctime>
#include <fstream>
#include <map>
#include <malloc.h>
#include <pugixml.hpp>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TBench_File {
    const char* Name;
    QStringList Generator_Args;
};

const TBench_File Files[] = {
    {"scl_10mb.scd", {"--target-mb", "10"}},
    {"scl_100mb.scd", {"--target-mb", "100", "--lds", "8", "--lns-per-ld", "40"}},
};

QString Make_File(const TBench_File& file)
{
    const QString path = QStringLiteral(SWQ_BENCH_DIR "/") + file.Name;
    if (!QFileInfo::exists(path))
        QProcess::execute(QStringLiteral("python3"), QStringList{SWQ_GEN_SCL, path, "--quiet"} + file.Generator_Args);
    return QFileInfo::exists(path) ? path : QString();
}

// Kilobytes of a line of /proc/self/status (VmRSS: now, VmHWM: peak since the last reset).
long long Status_KB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size(), field) == 0)
            return std::stoll(line.substr(field.size()));
    return 0;
}

double Cpu_Seconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct TMeasure {
    double Seconds = 0;
    long long Peak_Bytes = 0;
    bool Ok = false;
};

// Runs `call` once in a forked child: its processor time and its peak memory above the
// memory it started with.
template <typename F>
TMeasure In_Child(F call)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return {};
    malloc_trim(0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipe_fds[0]);
        TMeasure m;
        const long long before = Status_KB("VmRSS:");
        std::ofstream("/proc/self/clear_refs") << "5"; // VmHWM starts again from VmRSS
        const double start = Cpu_Seconds();
        m.Ok = call();
        m.Seconds = Cpu_Seconds() - start;
        m.Peak_Bytes = (Status_KB("VmHWM:") - before) * 1024;
        const bool sent = write(pipe_fds[1], &m, sizeof m) == sizeof m;
        _exit(sent ? 0 : 1);
    }
    close(pipe_fds[1]);
    TMeasure m;
    // One small write through a pipe arrives whole.
    if (pid < 0 || read(pipe_fds[0], &m, sizeof m) != sizeof m)
        m = {};
    close(pipe_fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return m;
}

std::map<std::string, double> Bare_Seconds; // per file, from the bare parse, run first

template <typename F>
void Measure(benchmark::State& state, const TBench_File& file, bool bare, F read_file)
{
    const QString path = Make_File(file);
    if (path.isEmpty()) {
        state.SkipWithError("cannot generate the file (python3 and ../shared/tools/gen_scl.py needed)");
        return;
    }
    double seconds = 0;
    long long peak = 0;
    for (auto _ : state) {
        const TMeasure m = In_Child([&] { return read_file(path); });
        if (!m.Ok) {
            state.SkipWithError("the read failed");
            return;
        }
        state.SetIterationTime(m.Seconds);
        seconds += m.Seconds;
        peak = std::max(peak, m.Peak_Bytes);
    }
    seconds /= double(state.iterations());
    const double size = double(QFileInfo(path).size());
    state.SetBytesProcessed(int64_t(size) * state.iterations());
    state.counters["file_MB"] = size / 1e6;
    state.counters["peak_MB"] = double(peak) / 1e6;
    state.counters["peak_x_file"] = double(peak) / size;
    if (bare)
        Bare_Seconds[file.Name] = seconds;
    else if (Bare_Seconds.count(file.Name))
        state.counters["x_bare"] = seconds / Bare_Seconds[file.Name];
}

void BM_Bare_Parse(benchmark::State& state, const TBench_File& file)
{
    Measure(state, file, true, [](const QString& path) {
        pugi::xml_document doc;
        return bool(doc.load_file(path.toLocal8Bit().constData(), pugi::parse_default));
    });
}

void BM_Read_Device(benchmark::State& state, const TBench_File& file)
{
    Measure(state, file, false, [](const QString& path) {
        std::unique_ptr<TIEC_Device> device;
        return Read_SCL_File(path, device).Ok && device;
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (const TBench_File& file : Files)
        for (const auto& [name, function] : {std::pair{"Bare_Parse/", &BM_Bare_Parse}, std::pair{"Read_Device/", &BM_Read_Device}})
            benchmark::RegisterBenchmark((std::string(name) + file.Name).c_str(), function, file)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->MinTime(2.0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
