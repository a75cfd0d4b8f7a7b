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
#include "scl/core/SclIedList.h"
#include "scl/core/SclReader.h"
#include "ForkedRun.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>

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

using ForkedRun::inChild;
using ForkedRun::Measure;

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
