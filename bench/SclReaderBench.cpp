// Reading the model of one IED of a whole-substation SCL file (the file's first IED, and its
// last), against the bare pugixml parse of the same file. Each read runs in a child process forked for it, so that every read
// starts from the same state and pays the page faults that a program reading one file pays
// (within one process, memory freed by the previous read would be reused and flatter the
// later runs). Reported: processor time of the read (the benchmark time), peak resident
// memory above the starting point, and the ratios x_bare (reader / bare parse time of the
// same file) and peak_x_file (peak memory / file size). Goal for the 100 MB file, either IED:
// x_bare at most 0.5 and peak_x_file at most 1.5. Listing the file's IEDs, as an import does
// before the engineer chooses one, is measured the same way.
// The files are made on first use by gen_scl.py into the build folder.
#include "iec61850/core/SclIedList.h"
#include "iec61850/core/SclReader.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <ctime>
#include <fstream>
#include <map>
#include <malloc.h>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct BenchFile {
    const char* name;
    QStringList generatorArgs;
};

const BenchFile files[] = {
    {"scl_10mb.scd", {"--target-mb", "10"}},
    {"scl_100mb.scd", {"--target-mb", "100", "--lds", "8", "--lns-per-ld", "40"}},
};

QString makeFile(const BenchFile& file)
{
    const QString path = QStringLiteral(SWQ_BENCH_DIR "/") + file.name;
    if (!QFileInfo::exists(path))
        QProcess::execute(QStringLiteral("python3"), QStringList{SWQ_GEN_SCL, path, "--quiet"} + file.generatorArgs);
    return QFileInfo::exists(path) ? path : QString();
}

// The name of the file's first or last IED, as the generator writes it (name first).
QString iedName(const QString& path, bool last)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const uchar* data = file.map(0, file.size());
    if (!data)
        return {};
    const std::string_view text(reinterpret_cast<const char*>(data), size_t(file.size()));
    const std::string_view tag = "<IED name=\"";
    const size_t at = last ? text.rfind(tag) : text.find(tag);
    if (at == std::string_view::npos)
        return {};
    const size_t begin = at + tag.size();
    return QString::fromUtf8(text.substr(begin, text.find('"', begin) - begin));
}

// Kilobytes of a line of /proc/self/status (VmRSS: now, VmHWM: peak since the last reset).
long long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size(), field) == 0)
            return std::stoll(line.substr(field.size()));
    return 0;
}

double cpuSeconds()
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

std::map<std::string, double> bareSeconds; // per file, from the bare parse, run first

template <typename F> void measure(benchmark::State& state, const BenchFile& file, bool bare, F readFile)
{
    const QString path = makeFile(file);
    if (path.isEmpty()) {
        state.SkipWithError("cannot generate the file (python3 and ../shared/tools/gen_scl.py needed)");
        return;
    }
    double seconds = 0;
    long long peak = 0;
    for (auto _ : state) {
        const Measure m = inChild([&] { return readFile(path); });
        if (!m.ok) {
            state.SkipWithError("the read failed");
            return;
        }
        state.SetIterationTime(m.seconds);
        seconds += m.seconds;
        peak = std::max(peak, m.peakBytes);
    }
    seconds /= double(state.iterations());
    const double size = double(QFileInfo(path).size());
    state.SetBytesProcessed(int64_t(size) * state.iterations());
    state.counters["file_MB"] = size / 1e6;
    state.counters["peak_MB"] = double(peak) / 1e6;
    state.counters["peak_x_file"] = double(peak) / size;
    if (bare)
        bareSeconds[file.name] = seconds;
    else if (bareSeconds.count(file.name))
        state.counters["x_bare"] = seconds / bareSeconds[file.name];
}

void BM_Bare_Parse(benchmark::State& state, const BenchFile& file)
{
    measure(state, file, true, [](const QString& path) {
        pugi::xml_document doc;
        return bool(doc.load_file(path.toLocal8Bit().constData(), pugi::parse_default));
    });
}

void BM_Read_Device(benchmark::State& state, const BenchFile& file, bool lastIed)
{
    const QString name = iedName(makeFile(file), lastIed);
    measure(state, file, false, [&name](const QString& path) {
        std::unique_ptr<Ied> device;
        return readSclFile(path, name, device).ok && device && device->name == name && !device->logicalDevices.empty();
    });
}

void BM_List_Ieds(benchmark::State& state, const BenchFile& file)
{
    measure(state, file, false, [](const QString& path) {
        std::vector<IedSummary> ieds;
        return listSclIedsOfFile(path, ieds).ok && !ieds.empty();
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (const BenchFile& file : files) {
        const auto add = [](const std::string& name, auto function) {
            benchmark::RegisterBenchmark(name.c_str(), function)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
        };
        add(std::string("Bare_Parse/") + file.name, [&file](benchmark::State& state) { BM_Bare_Parse(state, file); });
        for (const bool last : {false, true})
            add(std::string("Read_Device/") + file.name + (last ? "/last_IED" : "/first_IED"),
                [&file, last](benchmark::State& state) { BM_Read_Device(state, file, last); });
        add(std::string("List_Ieds/") + file.name, [&file](benchmark::State& state) { BM_List_Ieds(state, file); });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
