// Importing a point list as `swquelmor-cli import-csv` does (read the file, read the lines
// against the device models, replace the access list, save the access file) at two sizes, each
// in a child process forked for it: processor time and peak memory. Linear time shows as the
// same time per line at both sizes; `peak_x_csv` is the peak memory over the file's size. The
// baseline reads the same file and counts its lines.
#include "ForkedRun.h"
#include "base/Files.h"
#include "base/TextTable.h"
#include "access/core/AccessFile.h"
#include "access/core/AccessOperations.h"
#include "access/core/PointList.h"
#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <map>

namespace {

constexpr int membersPerDataSet = 10;

// One device with `leaves` FLOAT32 attributes and `dataSets` data sets of ten of them each.
std::unique_ptr<Ied> makeDevice(int leaves, int dataSets)
{
    auto device = std::make_unique<Ied>();
    device->name = "BENCH";
    auto ld = std::make_unique<LogicalDevice>();
    ld->name = "LD0";
    auto ln = std::make_unique<LogicalNode>();
    ln->lnClass = "GGIO";
    ln->inst = "1";
    for (int i = 0; i < leaves; ++i) {
        auto dobj = std::make_unique<DataObject>();
        dobj->name = QStringLiteral("AnIn%1").arg(i);
        auto da = std::make_unique<DataAttribute>();
        da->name = "f";
        da->bType = QStringLiteral("FLOAT32");
        da->fc = "MX";
        da->reference = QStringLiteral("BENCHLD0/GGIO1.%1.mag.f").arg(dobj->name);
        dobj->attributes.push_back(std::move(da));
        ln->dataObjects.push_back(std::move(dobj));
    }
    for (int d = 0; d < dataSets; ++d) {
        auto ds = std::make_unique<DataSet>();
        ds->name = QStringLiteral("DS%1").arg(d);
        ds->reference = QStringLiteral("BENCHLD0/GGIO.") + ds->name;
        for (int m = 0; m < membersPerDataSet; ++m)
            ds->attributes.push_back(
                ln->dataObjects[static_cast<size_t>((d * membersPerDataSet + m) % leaves)]->attributes[0].get());
        ln->dataSets.push_back(std::move(ds));
    }
    ld->logicalNodes.push_back(std::move(ln));
    device->logicalDevices.push_back(std::move(ld));
    return device;
}

// A point list of `lines` lines: nine in ten variables, the rest members of data sets.
struct PointListFile {
    QTemporaryDir dir;
    QString csv = dir.filePath("points.csv");
    qint64 bytes = 0;

    explicit PointListFile(int lines)
    {
        const int dataSets = lines / 10 / membersPerDataSet;
        AccessList access;
        access.devices.push_back(makeDevice(5000, dataSets));
        const LogicalNode& ln = *access.devices[0]->logicalDevices[0]->logicalNodes[0];
        StringGrid& vars = access.variableGrid;
        for (int i = 0; i < lines - dataSets * membersPerDataSet; ++i) {
            const int row = addVariable(vars, *ln.dataObjects[static_cast<size_t>(i % 5000)]->attributes[0], 0);
            vars.setCell(VariableColumn::IpAddress, row, QStringLiteral("192.168.1.%1").arg(i % 200 + 1));
            vars.setCell(VariableColumn::Port, row, QStringLiteral("102"));
            vars.setCell(VariableColumn::Position, row, QString::number(i % 1396));
            vars.setCell(VariableColumn::MultFactor, row, QStringLiteral("None"));
            vars.setCell(VariableColumn::Mnemonic, row, QStringLiteral("Feeder %1 power, \"total\"").arg(i));
        }
        for (const auto& ds : ln.dataSets) {
            const int row = addDataSet(access, *ds, 0);
            access.dataSetGrid.setCell(DataSetColumn::IpAddress, row, QStringLiteral("192.168.1.7"));
            access.dataSetGrid.setCell(DataSetColumn::Port, row, QStringLiteral("102"));
            access.dataSetGrid.setCell(DataSetColumn::Time, row, QStringLiteral("1000"));
            int position = 0;
            for (const auto& m : access.dataSets.back()->members)
                m->position = QString::number(position += 4);
        }
        const QByteArray data = exportPointList(access, u'.');
        bytes = data.size();
        std::ofstream(csv.toStdString(), std::ios::binary).write(data.constData(), static_cast<std::streamsize>(data.size()));
    }
};

PointListFile& fileOf(int lines)
{
    static std::map<int, std::unique_ptr<PointListFile>> files;
    auto& file = files[lines];
    if (!file)
        file = std::make_unique<PointListFile>(lines);
    return *file;
}

using ForkedRun::inChild;
using ForkedRun::Measure;

template <typename F> void measure(benchmark::State& state, F run)
{
    const int lines = static_cast<int>(state.range(0));
    PointListFile& file = fileOf(lines);
    double seconds = 0;
    long long peak = 0;
    for (auto _ : state) {
        const Measure m = inChild([&] { return run(file, lines); });
        if (!m.ok) {
            state.SkipWithError("the import failed");
            return;
        }
        state.SetIterationTime(m.seconds);
        seconds += m.seconds;
        peak = std::max(peak, m.peakBytes);
    }
    const double n = double(state.iterations());
    state.counters["csv_MB"] = double(file.bytes) / 1e6;
    state.counters["us_per_line"] = seconds / n / lines * 1e6;
    state.counters["peak_MB"] = double(peak) / 1e6;
    state.counters["peak_x_csv"] = double(peak) / double(file.bytes);
}

void BM_Import_Point_List(benchmark::State& state)
{
    measure(state, [](PointListFile& file, int lines) {
        QByteArray bytes;
        if (!readWholeFile(file.csv, bytes))
            return false;
        AccessList access;
        access.devices.push_back(makeDevice(5000, lines / 10 / membersPerDataSet));
        const TextTable texts;
        PointListImport import;
        if (!readPointList(bytes, access, u'.', texts, import) || !import.unusable.isEmpty() || import.lines != lines)
            return false;
        bytes = QByteArray(); // as import-csv does: the rows hold what was read
        applyPointList(access, import);
        return static_cast<bool>(saveAccessFile(access, file.dir.filePath("IEC_61850_Client.xml")));
    });
}
BENCHMARK(BM_Import_Point_List)->Arg(100000)->Arg(500000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_Read_And_Count_Lines_Baseline(benchmark::State& state)
{
    measure(state, [](PointListFile& file, int lines) {
        QByteArray bytes;
        if (!readWholeFile(file.csv, bytes))
            return false;
        benchmark::DoNotOptimize(bytes.count('\n'));
        return lines > 0;
    });
}
BENCHMARK(BM_Read_And_Count_Lines_Baseline)->Arg(100000)->Arg(500000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
