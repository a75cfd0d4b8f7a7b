// The update step's image build and writing on the largest request tables that fit the
// device (512 KiB), against parsing the same access file alone as a baseline.
// Run one case at a time (--benchmark_filter) to read its peak memory from peak_rss_MiB.
#include "image/core/DeviceImage.h"
#include "image/core/ConfigurationCheck.h"
#include "base/TextTable.h"
#include "base/XmlFile.h"
#include "configuration/core/ConfigurationFolders.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

// Realistic entries with fixed-width names, so the number that fits can be computed.
QByteArray variableItem(int i)
{
    return QStringLiteral(
        "<DA_Item Index=\"0\" bType=\"FLOAT32\" fc=\"MX\" Reference=\"IED1LD0/MMXU%1.TotW.mag.f\" StartByte=\"0\" NumByte=\"4\" "
        "IPAddress=\"192.168.0.10\" Port=\"102\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"500\" Position=\"%2\" "
        "StartBit=\"0\" "
        "ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"0,5\" Mnemonic=\"Active power\"/>")
        .arg(i, 4, 10, QChar(u'0'))
        .arg(4 * i)
        .toUtf8();
}
constexpr int variableBytes = 32 + 8 + 13 + 28; // record + FLOAT32, 192.168.0.10 and the reference with their 0 bytes

QByteArray dataSetItem(int d)
{
    QByteArray members;
    for (int k = 0; k < 255; ++k)
        members += QStringLiteral(
            "<DataSet_DA_Item bType=\"INT32\" Reference=\"IED1LD0/GGIO1.AnIn%1.mag.i\" Position=\"%2\" StartBit=\"0\" "
            "Convertion=\"ItoF/FtoI\" MoltFact=\"0.1\" Mnemonic=\"\"/>")
                       .arg(k, 3, 10, QChar(u'0'))
                       .arg(d * 1024 + 4 * k)
                       .toUtf8();
    return QStringLiteral("<DataSet_Item Index=\"0\" Reference=\"IED1LD0/LLN0.DS%1\" GooseName=\"GO%1\" EnGoose=\"Y\" "
                          "IPAddress=\"192.168.0.11\" "
                          "Port=\"102\" Time=\"2000\" Mnemonic=\"Feeder\">")
               .arg(d, 2, 10, QChar(u'0'))
               .toUtf8()
        + "<DataSet_List_DAs>" + members + "</DataSet_List_DAs></DataSet_Item>";
}
constexpr int dataSetBytes = 28 + 5 + 18 + 13 + 255 * (16 + 6 + 28);

struct BenchProject {
    QTemporaryDir Dir;
    ProgramState state;
    qint64 xmlSize = 0;

    BenchProject(int variables, int dataSets)
    {
        state.setProgramFolder(Dir.path());
        QDir(state.projectsFolder).mkpath(QStringLiteral("Bench/bin"));
        openConfiguration(state, QStringLiteral("Bench"));
        QByteArray xml = "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected>";
        for (int i = 0; i < variables; ++i)
            xml += variableItem(i);
        xml += "</List_DA_Selected><List_DataSet_Selected>";
        for (int d = 0; d < dataSets; ++d)
            xml += dataSetItem(d);
        xml += "</List_DataSet_Selected></IEC_68850_Client><!--SW_VERSION = 1.000-->";
        QFile f(configurationPaths(state).accessFile());
        f.open(QIODevice::WriteOnly);
        f.write(xml);
        xmlSize = xml.size();
    }
    ConfigurationPaths paths() const { return configurationPaths(state); }
};

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

constexpr int maxVariables = (Image::DeviceImage::bank2Size - 24) / variableBytes;
constexpr int maxDataSets = (Image::DeviceImage::bank2Size - 24) / dataSetBytes;

void runBuild(benchmark::State& state, int variables, int dataSets)
{
    BenchProject project(variables, dataSets);
    Image::DeviceImage image;
    for (auto _ : state) {
        const Result r = Image::buildAndWriteImages(image, project.state, u',');
        if (!r)
            state.SkipWithError(englishMessage(r).toStdString().c_str());
    }
    state.counters["bank2_bytes"] = static_cast<double>(image.bank2().size());
    state.counters["xml_bytes"] = static_cast<double>(project.xmlSize);
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

void runParse(benchmark::State& state, int variables, int dataSets)
{
    BenchProject project(variables, dataSets);
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(loadXmlFile(project.paths().accessFile(), doc).ok);
    }
    state.counters["xml_bytes"] = static_cast<double>(project.xmlSize);
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

// The update step's checks before its build, on the same files. Most positions here lie
// beyond the internal data array, so nearly every row gives a problem: the worst case.
void runCheck(benchmark::State& state, int variables, int dataSets)
{
    BenchProject project(variables, dataSets);
    const TextTable texts;
    size_t problems = 0;
    for (auto _ : state)
        problems = Image::checkConfiguration(project.paths(), u',', texts).size();
    state.counters["problems"] = static_cast<double>(problems);
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

} // namespace

BENCHMARK_CAPTURE(runParse, baselineParseMaxVariables, maxVariables, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runBuild, buildMaxVariables, maxVariables, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runParse, baselineParseMaxDataSets, 0, maxDataSets)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runBuild, buildMaxDataSets, 0, maxDataSets)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runBuild, buildEmptyProject, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runCheck, checkMaxVariables, maxVariables, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runCheck, checkMaxDataSets, 0, maxDataSets)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
