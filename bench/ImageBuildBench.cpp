// The update step's image build and writing on the largest request tables that fit the
// device (512 KiB), against parsing the same access file alone as a baseline.
// Run one case at a time (--benchmark_filter) to read its peak memory from peak_rss_MiB.
#include "ImageBuild.h"
#include "XmlFile.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

// Realistic entries with fixed-width names, so the number that fits can be computed.
QByteArray Variable_Item(int i)
{
    return QStringLiteral("<DA_Item Index=\"0\" bType=\"FLOAT32\" fc=\"MX\" Reference=\"IED1LD0/MMXU%1.TotW.mag.f\" StartByte=\"0\" NumByte=\"4\" "
                          "IPAddress=\"192.168.0.10\" Port=\"102\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"500\" Position=\"%2\" StartBit=\"0\" "
                          "ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"0,5\" Mnemonic=\"Active power\"/>")
        .arg(i, 4, 10, QChar(u'0'))
        .arg(4 * i)
        .toUtf8();
}
constexpr int Variable_Bytes = 32 + 8 + 13 + 28; // record + FLOAT32, 192.168.0.10 and the reference with their 0 bytes

QByteArray Data_Set_Item(int d)
{
    QByteArray members;
    for (int k = 0; k < 255; ++k)
        members += QStringLiteral("<DataSet_DA_Item bType=\"INT32\" Reference=\"IED1LD0/GGIO1.AnIn%1.mag.i\" Position=\"%2\" StartBit=\"0\" "
                                  "Convertion=\"ItoF/FtoI\" MoltFact=\"0.1\" Mnemonic=\"\"/>")
                       .arg(k, 3, 10, QChar(u'0'))
                       .arg(d * 1024 + 4 * k)
                       .toUtf8();
    return QStringLiteral("<DataSet_Item Index=\"0\" Reference=\"IED1LD0/LLN0.DS%1\" GooseName=\"GO%1\" EnGoose=\"Y\" IPAddress=\"192.168.0.11\" "
                          "Port=\"102\" Time=\"2000\" Mnemonic=\"Feeder\">")
               .arg(d, 2, 10, QChar(u'0'))
               .toUtf8()
        + "<DataSet_List_DAs>" + members + "</DataSet_List_DAs></DataSet_Item>";
}
constexpr int Data_Set_Bytes = 28 + 5 + 18 + 13 + 255 * (16 + 6 + 28);

struct TBench_Project {
    QTemporaryDir Dir;
    TProgramState State;
    qint64 Xml_Size = 0;

    TBench_Project(int variables, int dataSets)
    {
        State.Set_Program_Folder(Dir.path());
        QDir(State.Projects_Folder).mkpath(QStringLiteral("Bench/bin"));
        State.Activate_Project(QStringLiteral("Bench"));
        QByteArray xml = "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected>";
        for (int i = 0; i < variables; ++i)
            xml += Variable_Item(i);
        xml += "</List_DA_Selected><List_DataSet_Selected>";
        for (int d = 0; d < dataSets; ++d)
            xml += Data_Set_Item(d);
        xml += "</List_DataSet_Selected></IEC_68850_Client><!--SW_VERSION = 1.000-->";
        QFile f(State.IEC_Client_File);
        f.open(QIODevice::WriteOnly);
        f.write(xml);
        Xml_Size = xml.size();
    }
};

double Peak_Rss_MiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

constexpr int Max_Variables = (Image::TDevice_Image::Bank2_Size - 24) / Variable_Bytes;
constexpr int Max_Data_Sets = (Image::TDevice_Image::Bank2_Size - 24) / Data_Set_Bytes;

void Run_Build(benchmark::State& state, int variables, int dataSets)
{
    TBench_Project project(variables, dataSets);
    Image::TDevice_Image image;
    for (auto _ : state) {
        const TResult r = Image::Build_Images(image, project.State, u',');
        if (!r)
            state.SkipWithError(r.Message.toStdString().c_str());
    }
    state.counters["bank2_bytes"] = static_cast<double>(image.Bank2().size());
    state.counters["xml_bytes"] = static_cast<double>(project.Xml_Size);
    state.counters["peak_rss_MiB"] = Peak_Rss_MiB();
}

void Run_Parse(benchmark::State& state, int variables, int dataSets)
{
    TBench_Project project(variables, dataSets);
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(Load_Xml_File(project.State.IEC_Client_File, doc).Ok);
    }
    state.counters["xml_bytes"] = static_cast<double>(project.Xml_Size);
    state.counters["peak_rss_MiB"] = Peak_Rss_MiB();
}

} // namespace

BENCHMARK_CAPTURE(Run_Parse, baseline_parse_max_variables, Max_Variables, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run_Build, build_max_variables, Max_Variables, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run_Parse, baseline_parse_max_data_sets, 0, Max_Data_Sets)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run_Build, build_max_data_sets, 0, Max_Data_Sets)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run_Build, build_empty_project, 0, 0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
