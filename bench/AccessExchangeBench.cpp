// Adding rows one by one (linear now; the fixed-size rule over every row per add was the
// quadratic baseline), importing a point list of 6000 variables (baseline: reading the CSV
// alone), and the data array recomputed after an edit with 2000 variables and 50 data sets of
// 50 members, in the core and on the shown page (baseline: collecting the entries alone).
#include "base/Csv.h"
#include "base/TextTable.h"
#include "access/core/AccessOperations.h"
#include "access/core/DataArray.h"
#include "access/core/PointList.h"
#include "access/gui/DataArrayPage.h"
#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// One device whose logical node holds `leaves` data objects of one FLOAT32 attribute each and
// `dataSets` data sets of `members` of them.
std::unique_ptr<Ied> makeDevice(int leaves, int dataSets, int members)
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
        dobj->name = QStringLiteral("Val%1").arg(i);
        auto da = std::make_unique<DataAttribute>();
        da->name = "f";
        da->bType = i % 10 == 0 ? QStringLiteral("VisString255") : QStringLiteral("FLOAT32");
        da->fc = "MX";
        da->reference = QStringLiteral("BENCHLD0/GGIO1.%1.f").arg(dobj->name);
        dobj->attributes.push_back(std::move(da));
        ln->dataObjects.push_back(std::move(dobj));
    }
    for (int d = 0; d < dataSets; ++d) {
        auto ds = std::make_unique<DataSet>();
        ds->name = QStringLiteral("DS%1").arg(d);
        ds->reference = QStringLiteral("BENCHLD0/GGIO.") + ds->name;
        for (int m = 0; m < members; ++m)
            ds->attributes.push_back(ln->dataObjects[static_cast<size_t>((d * members + m) % leaves)]->attributes[0].get());
        ln->dataSets.push_back(std::move(ds));
    }
    ld->logicalNodes.push_back(std::move(ln));
    device->logicalDevices.push_back(std::move(ld));
    return device;
}

const LogicalNode& nodeOf(const AccessList& access) { return *access.devices[0]->logicalDevices[0]->logicalNodes[0]; }

// An access list of `variables` filled rows and the data sets of its device. Positions wrap
// around the array, so most entries overlap: the page's worst case.
void fill(AccessList& access, int variables)
{
    const LogicalNode& ln = nodeOf(access);
    for (int i = 0; i < variables; ++i) {
        StringGrid& vars = access.variableGrid;
        const int row = addVariable(vars, *ln.dataObjects[static_cast<size_t>(i) % ln.dataObjects.size()]->attributes[0], 0);
        vars.setCell(VariableColumn::IpAddress, row, QStringLiteral("127.0.0.1"));
        vars.setCell(VariableColumn::Port, row, QStringLiteral("102"));
        vars.setCell(VariableColumn::Position, row, QString::number(i % 1400));
        vars.setCell(VariableColumn::StartBit, row, QStringLiteral("0"));
        vars.setCell(VariableColumn::MultFactor, row, QStringLiteral("None"));
        vars.setCell(VariableColumn::Mnemonic, row, QStringLiteral("Point %1; \"quoted\"").arg(i));
        if (!vars.isLocked(VariableColumn::StartByte, row)) {
            vars.setCell(VariableColumn::StartByte, row, QStringLiteral("0"));
            vars.setCell(VariableColumn::NumByte, row, QStringLiteral("4"));
        }
    }
    int position = 0;
    for (const auto& ds : ln.dataSets) {
        addDataSet(access, *ds, 0);
        for (const auto& m : access.dataSets.back()->members)
            m->position = QString::number(position++ % 1400);
    }
}

void BM_Add_One_By_One(benchmark::State& state)
{
    const auto device = makeDevice(100, 0, 0);
    const DataAttribute& da = *device->logicalDevices[0]->logicalNodes[0]->dataObjects[0]->attributes[0];
    for (auto _ : state) {
        StringGrid grid{QStringList(VariableColumn::Count, QString())};
        for (int i = 0; i < state.range(0); ++i)
            addVariable(grid, da, 0);
        benchmark::DoNotOptimize(grid.rowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Add_One_By_One)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond)->Complexity();

// Baseline: the rule over every row after each add, as adding ran before.
void BM_Add_Rule_Over_Every_Row_Baseline(benchmark::State& state)
{
    const auto device = makeDevice(100, 0, 0);
    const DataAttribute& da = *device->logicalDevices[0]->logicalNodes[0]->dataObjects[0]->attributes[0];
    for (auto _ : state) {
        StringGrid grid{QStringList(VariableColumn::Count, QString())};
        for (int i = 0; i < state.range(0); ++i) {
            addVariable(grid, da, 0);
            setStartNumByte(grid);
        }
        benchmark::DoNotOptimize(grid.rowCount());
    }
}
BENCHMARK(BM_Add_Rule_Over_Every_Row_Baseline)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

struct PointListFile {
    AccessList access;
    QByteArray csv;
    TextTable texts;
    PointListFile()
    {
        access.devices.push_back(makeDevice(6000, 0, 0));
        fill(access, 6000);
        csv = exportPointList(access, u',');
    }
};

PointListFile& pointListFile()
{
    static PointListFile file;
    return file;
}

void BM_Import_6000_Variables(benchmark::State& state)
{
    PointListFile& f = pointListFile();
    for (auto _ : state) {
        PointListImport import;
        if (!readPointList(f.csv, f.access, u',', f.texts, import) || !import.unusable.isEmpty() || import.lines != 6000)
            state.SkipWithError("the point list does not import whole");
        applyPointList(f.access, import);
    }
}
BENCHMARK(BM_Import_6000_Variables)->Unit(benchmark::kMillisecond);

void BM_Read_CSV_Of_6000_Baseline(benchmark::State& state)
{
    PointListFile& f = pointListFile();
    for (auto _ : state) {
        CsvTable table;
        benchmark::DoNotOptimize(readCsv(f.csv, table));
    }
}
BENCHMARK(BM_Read_CSV_Of_6000_Baseline)->Unit(benchmark::kMillisecond);

struct ArrayProject {
    AccessList access;
    Occupancy occupancy;
    ArrayProject()
    {
        access.devices.push_back(makeDevice(2000, 50, 50));
        fill(access, 2000);
    }
};

// An edit (one Position moved), then the page's recomputation.
void BM_DataArray_After_Edit(benchmark::State& state)
{
    static ArrayProject p;
    int i = 0;
    for (auto _ : state) {
        ++i;
        p.access.variableGrid.setCell(VariableColumn::Position, 1 + i % 2000, QString::number(i % 1400));
        computeOccupancy(arrayEntries(p.access), p.occupancy);
        benchmark::DoNotOptimize(p.occupancy.problems.size());
    }
    state.counters["entries"] = double(p.occupancy.entries.size());
}
BENCHMARK(BM_DataArray_After_Edit)->Unit(benchmark::kMillisecond);

// The same on the shown page: recomputed and painted.
void BM_DataArray_Page_After_Edit(benchmark::State& state)
{
    static ArrayProject p;
    TextTable texts;
    DataArrayPage page(p.access, texts);
    page.resize(900, 700);
    page.show();
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        ++i;
        p.access.variableGrid.setCell(VariableColumn::Position, 1 + i % 2000, QString::number(i % 1400));
        page.recompute();
        page.repaint();
    }
}
BENCHMARK(BM_DataArray_Page_After_Edit)->Unit(benchmark::kMillisecond);

void BM_Collect_Entries_Baseline(benchmark::State& state)
{
    static ArrayProject p;
    for (auto _ : state)
        benchmark::DoNotOptimize(arrayEntries(p.access).size());
}
BENCHMARK(BM_Collect_Entries_Baseline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
