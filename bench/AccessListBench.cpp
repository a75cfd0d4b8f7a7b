// The access window's OK (validation and saving) and its next opening (loading the access file
// with its SCL file) on a large access list: 2000 variable rows and 50 data sets. Reading the
// SCL file alone is the baseline of the opening: what loading adds on top of it is the access
// file's own share.
#include "Access_File.h"
#include "Access_Ops.h"
#include "Access_Validation.h"
#include "Catalog.h"
#include "SCL_Reader.h"
#include "TextTable.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Var_Rows = 2000;
constexpr int Data_Sets = 50;
constexpr int Members = 8;

// One IED with Data_Sets logical nodes of eight attributes each (one per type group) and, in
// LLN0, Data_Sets data sets over them.
QByteArray Make_SCL()
{
    const char* const types[Members] = {"FLOAT32", "Quality", "Timestamp", "INT32", "BOOLEAN", "VisString255",
        "Octet64", "INT16U"};
    QByteArray scl = "<SCL><IED name=\"BENCH\"><AccessPoint name=\"AP\"><Server><LDevice inst=\"LD0\">"
                     "<LN0 lnClass=\"LLN0\" lnType=\"LLN0_T\" inst=\"\">";
    for (int d = 1; d <= Data_Sets; ++d) {
        scl += "<DataSet name=\"DS" + QByteArray::number(d) + "\">";
        for (int m = 0; m < Members; ++m)
            scl += "<FCDA ldInst=\"LD0\" lnClass=\"G" + QByteArray::number(d) + "\" doName=\"Val\" daName=\"a" +
                QByteArray::number(m) + "\"/>";
        scl += "</DataSet><GSEControl name=\"GCB" + QByteArray::number(d) + "\" datSet=\"DS" + QByteArray::number(d) + "\"/>";
    }
    scl += "</LN0>";
    for (int d = 1; d <= Data_Sets; ++d)
        scl += "<LN lnClass=\"G" + QByteArray::number(d) + "\" lnType=\"GEN_T\" inst=\"1\"/>";
    scl += "</LDevice></Server></AccessPoint></IED><DataTypeTemplates><LNodeType id=\"LLN0_T\" lnClass=\"LLN0\"/>"
           "<LNodeType id=\"GEN_T\" lnClass=\"GEN\"><DO name=\"Val\" type=\"VAL_T\"/></LNodeType><DOType id=\"VAL_T\">";
    for (int m = 0; m < Members; ++m)
        scl += "<DA name=\"a" + QByteArray::number(m) + "\" bType=\"" + types[m] + "\" fc=\"MX\"/>";
    scl += "</DOType></DataTypeTemplates></SCL>";
    return scl;
}

// A project folder with the SCL file in its catalog and an access list that passes validation.
struct TBench_Project {
    QTemporaryDir Dir;
    QString Catalog = Catalog_Folder(Dir.path());
    QString Access_File = Dir.filePath(QStringLiteral("IEC_61850_Client.xml"));
    TAccess_List Access;
    TText_Table Texts;

    TBench_Project()
    {
        QDir().mkpath(Catalog);
        const QString scl = QDir(Catalog).filePath(QStringLiteral("bench.icd"));
        QFile file(scl);
        if (!file.open(QIODevice::WriteOnly) || file.write(Make_SCL()) < 0)
            qFatal("cannot write the SCL file");
        file.close();
        std::unique_ptr<TIEC_Device> device;
        if (!Read_SCL_File(scl, device))
            qFatal("cannot read the SCL file");
        Access.List_IEC_Dev.push_back(std::move(device));

        std::vector<TIEC_DA*> leaves;
        std::vector<TIEC_DataSet*> sets;
        for (const auto& ln : Access.List_IEC_Dev[0]->List_LDevice[0]->List_LN) {
            for (const auto& dobj : ln->List_DO)
                for (const auto& da : dobj->List_DA)
                    leaves.push_back(da.get());
            for (const auto& ds : ln->List_DataSet)
                sets.push_back(ds.get());
        }
        TGrid& vars = Access.ACG_DA;
        for (int i = 0; i < Var_Rows; ++i) {
            const int row = Add_Var(vars, *leaves[static_cast<size_t>(i) % leaves.size()], 0);
            vars.Set_Cell(Var_Col::IPAddress, row, QStringLiteral("192.168.1.10"));
            vars.Set_Cell(Var_Col::Port, row, QStringLiteral("102"));
            vars.Set_Cell(Var_Col::OnTimer, row, QStringLiteral("Y"));
            vars.Set_Cell(Var_Col::Time, row, QStringLiteral("1000"));
            vars.Set_Cell(Var_Col::Position, row, QString::number(i % 1400));
            vars.Set_Cell(Var_Col::MoltFact, row, i % 2 ? QStringLiteral("0,5") : QStringLiteral("None"));
            vars.Set_Cell(Var_Col::Mnemonic, row, QStringLiteral("Request %1 & more").arg(i));
            if (!vars.Read_Only(Var_Col::StartByte, row)) {
                vars.Set_Cell(Var_Col::StartByte, row, QStringLiteral("0"));
                vars.Set_Cell(Var_Col::NumByte, row, QStringLiteral("32"));
            }
        }
        for (TIEC_DataSet* ds : sets) {
            const int row = Add_DataSet(Access, *ds, 0);
            Access.ACG_DataSet.Set_Cell(DS_Col::IPAddress, row, QStringLiteral("192.168.1.10"));
            int position = 0;
            for (const auto& member : Access.List_DataSet.back()->List_DAs)
                member->Position = QString::number(position++);
        }
        if (!Controllo_dati(vars, u',', Texts) || !Save_Access_File(Access, Access_File))
            qFatal("the bench's access list does not validate or save");
    }
};

TBench_Project& Project()
{
    static TBench_Project project;
    return project;
}

void BM_Validate(benchmark::State& state)
{
    TBench_Project& p = Project();
    for (auto _ : state)
        benchmark::DoNotOptimize(Controllo_dati(p.Access.ACG_DA, u',', p.Texts));
}
BENCHMARK(BM_Validate)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    TBench_Project& p = Project();
    for (auto _ : state)
        benchmark::DoNotOptimize(Save_Access_File(p.Access, p.Access_File));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// The window's OK: validation, then saving.
void BM_OK_Validate_And_Save(benchmark::State& state)
{
    TBench_Project& p = Project();
    for (auto _ : state) {
        if (!Controllo_dati(p.Access.ACG_DA, u',', p.Texts) || !Save_Access_File(p.Access, p.Access_File))
            state.SkipWithError("OK failed");
    }
}
BENCHMARK(BM_OK_Validate_And_Save)->Unit(benchmark::kMillisecond);

// Baseline of the opening: the SCL file alone.
void BM_Read_SCL_Baseline(benchmark::State& state)
{
    TBench_Project& p = Project();
    const QString scl = QDir(p.Catalog).filePath(QStringLiteral("bench.icd"));
    for (auto _ : state) {
        std::unique_ptr<TIEC_Device> device;
        benchmark::DoNotOptimize(Read_SCL_File(scl, device));
    }
}
BENCHMARK(BM_Read_SCL_Baseline)->Unit(benchmark::kMillisecond);

// The next opening: the access file with its SCL file, the fixed-size rule included.
void BM_Open_Load(benchmark::State& state)
{
    TBench_Project& p = Project();
    for (auto _ : state) {
        TAccess_List loaded;
        TLoad_Report report;
        if (!Load_Access_File(p.Access_File, p.Catalog, loaded, report) || loaded.ACG_DA.Row_Count() != Var_Rows + 1 ||
            loaded.List_DataSet.size() != Data_Sets || loaded.List_DataSet.back()->List_DAs.size() != Members)
            state.SkipWithError("loading lost entries");
    }
}
BENCHMARK(BM_Open_Load)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
