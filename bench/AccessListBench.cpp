// The access window's OK (validation and saving) and its next opening (loading the access file
// with its SCL file) on a large access list: 2000 variable rows and 50 data sets. Reading the
// SCL file alone is the baseline of the opening: what loading adds on top of it is the access
// file's own share.
#include "access/core/AccessFile.h"
#include "access/core/AccessOperations.h"
#include "access/core/AccessValidation.h"
#include "access/core/Catalog.h"
#include "scl/core/SclReader.h"
#include "base/TextTable.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int varRows = 2000;
constexpr int dataSets = 50;
constexpr int members = 8;

// One IED with Data_Sets logical nodes of eight attributes each (one per type group) and, in
// LLN0, Data_Sets data sets over them.
QByteArray makeScl()
{
    const char* const types[members]
        = {"FLOAT32", "Quality", "Timestamp", "INT32", "BOOLEAN", "VisString255", "Octet64", "INT16U"};
    QByteArray scl = "<SCL><IED name=\"BENCH\"><AccessPoint name=\"AP\"><Server><LDevice inst=\"LD0\">"
                     "<LN0 lnClass=\"LLN0\" lnType=\"LLN0_T\" inst=\"\">";
    for (int d = 1; d <= dataSets; ++d) {
        scl += "<DataSet name=\"DS" + QByteArray::number(d) + "\">";
        for (int m = 0; m < members; ++m)
            scl += "<FCDA ldInst=\"LD0\" lnClass=\"G" + QByteArray::number(d) + "\" doName=\"Val\" daName=\"a"
                + QByteArray::number(m) + "\"/>";
        scl += "</DataSet><GSEControl name=\"GCB" + QByteArray::number(d) + "\" datSet=\"DS" + QByteArray::number(d) + "\"/>";
    }
    scl += "</LN0>";
    for (int d = 1; d <= dataSets; ++d)
        scl += "<LN lnClass=\"G" + QByteArray::number(d) + "\" lnType=\"GEN_T\" inst=\"1\"/>";
    scl += "</LDevice></Server></AccessPoint></IED><DataTypeTemplates><LNodeType id=\"LLN0_T\" lnClass=\"LLN0\"/>"
           "<LNodeType id=\"GEN_T\" lnClass=\"GEN\"><DO name=\"Val\" type=\"VAL_T\"/></LNodeType><DOType id=\"VAL_T\">";
    for (int m = 0; m < members; ++m)
        scl += "<DA name=\"a" + QByteArray::number(m) + "\" bType=\"" + types[m] + "\" fc=\"MX\"/>";
    scl += "</DOType></DataTypeTemplates></SCL>";
    return scl;
}

// A project folder with the SCL file in its catalog and an access list that passes validation.
struct BenchProject {
    QTemporaryDir Dir;
    QString Catalog = ConfigurationPaths(Dir.path()).catalogFolder();
    QString accessFileXml = Dir.filePath(QStringLiteral("IEC_61850_Client.xml"));
    AccessList access;
    TextTable texts;

    BenchProject()
    {
        QDir().mkpath(Catalog);
        const QString scl = QDir(Catalog).filePath(QStringLiteral("bench.icd"));
        QFile file(scl);
        if (!file.open(QIODevice::WriteOnly) || file.write(makeScl()) < 0)
            qFatal("cannot write the SCL file");
        file.close();
        std::unique_ptr<Ied> device;
        if (!readSclFile(scl, {}, device))
            qFatal("cannot read the SCL file");
        access.devices.push_back(std::move(device));

        std::vector<DataAttribute*> leaves;
        std::vector<DataSet*> sets;
        for (const auto& ln : access.devices[0]->logicalDevices[0]->logicalNodes) {
            for (const auto& dobj : ln->dataObjects)
                for (const auto& da : dobj->attributes)
                    leaves.push_back(da.get());
            for (const auto& ds : ln->dataSets)
                sets.push_back(ds.get());
        }
        StringGrid& vars = access.variableGrid;
        for (int i = 0; i < varRows; ++i) {
            const int row = addVariable(vars, *leaves[static_cast<size_t>(i) % leaves.size()], 0);
            vars.setCell(VariableColumn::IpAddress, row, QStringLiteral("192.168.1.10"));
            vars.setCell(VariableColumn::Port, row, QStringLiteral("102"));
            vars.setCell(VariableColumn::OnTimer, row, QStringLiteral("Y"));
            vars.setCell(VariableColumn::Time, row, QStringLiteral("1000"));
            vars.setCell(VariableColumn::Position, row, QString::number(i % 1400));
            vars.setCell(VariableColumn::MultFactor, row, i % 2 ? QStringLiteral("0,5") : QStringLiteral("None"));
            vars.setCell(VariableColumn::Mnemonic, row, QStringLiteral("Request %1 & more").arg(i));
            if (!vars.isLocked(VariableColumn::StartByte, row)) {
                vars.setCell(VariableColumn::StartByte, row, QStringLiteral("0"));
                vars.setCell(VariableColumn::NumByte, row, QStringLiteral("32"));
            }
        }
        for (DataSet* ds : sets) {
            const int row = addDataSet(access, *ds, 0);
            access.dataSetGrid.setCell(DataSetColumn::IpAddress, row, QStringLiteral("192.168.1.10"));
            access.dataSetGrid.setCell(DataSetColumn::Port, row, QStringLiteral("102"));
            access.dataSetGrid.setCell(DataSetColumn::Time, row, QStringLiteral("1000"));
            int position = 0;
            for (const auto& member : access.dataSets.back()->members)
                member->position = QString::number(position++);
        }
        if (!validateAccessList(access, u',', texts) || !saveAccessFile(access, accessFileXml))
            qFatal("the bench's access list does not validate or save");
    }
};

BenchProject& Project()
{
    static BenchProject project;
    return project;
}

void BM_Validate(benchmark::State& state)
{
    BenchProject& p = Project();
    for (auto _ : state)
        benchmark::DoNotOptimize(validateVariables(p.access.variableGrid, u',', p.texts));
}
BENCHMARK(BM_Validate)->Unit(benchmark::kMillisecond);

// What OK checks: the variables, the data set rows and every member.
void BM_Validate_Access_List(benchmark::State& state)
{
    BenchProject& p = Project();
    for (auto _ : state)
        benchmark::DoNotOptimize(validateAccessList(p.access, u',', p.texts));
}
BENCHMARK(BM_Validate_Access_List)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    BenchProject& p = Project();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveAccessFile(p.access, p.accessFileXml));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// The window's OK: validation, then saving.
void BM_OK_Validate_And_Save(benchmark::State& state)
{
    BenchProject& p = Project();
    for (auto _ : state) {
        if (!validateAccessList(p.access, u',', p.texts) || !saveAccessFile(p.access, p.accessFileXml))
            state.SkipWithError("OK failed");
    }
}
BENCHMARK(BM_OK_Validate_And_Save)->Unit(benchmark::kMillisecond);

// Baseline of the opening: the SCL file alone.
void BM_Read_SCL_Baseline(benchmark::State& state)
{
    BenchProject& p = Project();
    const QString scl = QDir(p.Catalog).filePath(QStringLiteral("bench.icd"));
    for (auto _ : state) {
        std::unique_ptr<Ied> device;
        benchmark::DoNotOptimize(readSclFile(scl, {}, device));
    }
}
BENCHMARK(BM_Read_SCL_Baseline)->Unit(benchmark::kMillisecond);

// The next opening: the access file with its SCL file, the fixed-size rule included.
void BM_Open_Load(benchmark::State& state)
{
    BenchProject& p = Project();
    for (auto _ : state) {
        AccessList loaded;
        AccessFileReport report;
        if (!loadAccessFile(p.accessFileXml, p.Catalog, loaded, report) || loaded.variableGrid.rowCount() != varRows + 1
            || loaded.dataSets.size() != dataSets || loaded.dataSets.back()->members.size() != members)
            state.SkipWithError("loading lost entries");
    }
}
BENCHMARK(BM_Open_Load)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
