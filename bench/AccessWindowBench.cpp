// The access window on a project that refers to a large SCD file: from show to a filled device
// list (which reads the file), from choosing the device to a built and drawn tree, and the
// SCL read alone. Baseline: a plain QTreeWidget with the same nodes, texts only.
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "fakes/FakePlatform.h"
#include "base/Files.h"
#include "scl/core/SclReader.h"
#include "access/gui/AccessDialog.h"
#include "configuration/core/ConfigurationPaths.h"
#include "configuration/core/ConfigurationFolders.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The generated 100 MB SCD, made on first use in the build folder.
QString bigScd()
{
    static const QString path = [] {
        const QString file = QStringLiteral(SWQ_BENCH_DATA_DIR "/s100.scd");
        if (!QFileInfo::exists(file)) {
            const std::string command
                = "python3 '" SWQ_GEN_SCL "' '" + file.toStdString() + "' --target-mb 100 --lds 8 --lns-per-ld 90 --quiet";
            if (std::system(command.c_str()) != 0)
                qFatal("cannot generate %s", qPrintable(file));
        }
        return file;
    }();
    return path;
}

const Ied& bigDevice()
{
    static const std::unique_ptr<Ied> device = [] {
        std::unique_ptr<Ied> d;
        if (!readSclFile(bigScd(), {}, d))
            qFatal("cannot read the SCD");
        return d;
    }();
    return *device;
}

// The same tree shape with plain items, texts only, expanded like the device tree.
void plainDa(QTreeWidgetItem* parent, const DataAttribute& da)
{
    auto* item = new QTreeWidgetItem(parent, QStringList{da.name});
    for (const auto& c : da.attributes)
        plainDa(item, *c);
}

void plainDo(QTreeWidgetItem* parent, const DataObject& d)
{
    auto* item = new QTreeWidgetItem(parent, QStringList{d.name});
    for (const auto& s : d.dataObjects)
        plainDo(item, *s);
    for (const auto& a : d.attributes)
        plainDa(item, *a);
}

void Draw(QWidget* w)
{
    QApplication::processEvents();
    w->repaint();
}

// A project P1 whose access file lists the big SCD, with the access window shown on it.
struct BenchProject {
    QTemporaryDir dir;
    FakePlatform fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, fakes.services()};
    std::unique_ptr<AccessDialog> window;

    QListWidget* deviceList() const { return window->findChild<QListWidget*>("LB_IEC_Devices"); }
    QTreeWidget* deviceTree() const { return window->findChild<QTreeWidget*>("TV_IEC_Device"); }

    BenchProject()
    {
        state.setProgramFolder(dir.path());
        openConfiguration(state, "P1");
        QDir().mkpath(ConfigurationPaths(state.configurationFolder).catalogFolder());
        // A link keeps the 100 MB out of the temporary folder; the reader follows it.
        QFile::link(bigScd(), joinPath(ConfigurationPaths(state.configurationFolder).catalogFolder(), "s100.scd"));
        AccessList list;
        auto device = std::make_unique<Ied>();
        device->name = "first";
        device->fileName = "s100.scd";
        list.devices.push_back(std::move(device));
        saveAccessFile(list, configurationPaths(state).accessFile());
        window = std::make_unique<AccessDialog>(context);
    }
};

} // namespace

static void BM_Read_SCL_File(benchmark::State& state)
{
    const QString file = bigScd();
    for (auto _ : state) {
        std::unique_ptr<Ied> device;
        benchmark::DoNotOptimize(readSclFile(file, {}, device).ok);
    }
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_Read_SCL_File)->Unit(benchmark::kMillisecond)->Iterations(2);

// Show to a filled list: loads the access file, reads the SCD, fills the list box.
static void BM_Show_To_Filled_List(benchmark::State& state)
{
    BenchProject project;
    for (auto _ : state) {
        project.window->show();
        Draw(project.window.get());
        if (project.deviceList()->count() != 1)
            state.SkipWithError("the device list is not filled");
        state.PauseTiming();
        project.window->hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Show_To_Filled_List)->Unit(benchmark::kMillisecond)->Iterations(2);

// Choosing the device to its tree built and drawn, the file already read.
static void BM_Device_Tree(benchmark::State& state)
{
    BenchProject project;
    project.window->show();
    Draw(project.window.get());
    int nodes = 0;
    for (auto _ : state) {
        project.deviceList()->setCurrentRow(0);
        Draw(project.deviceTree());
        state.PauseTiming();
        nodes = 0;
        for (QTreeWidgetItemIterator it(project.deviceTree()); *it; ++it)
            ++nodes;
        project.deviceList()->setCurrentRow(-1);
        project.deviceTree()->clear();
        state.ResumeTiming();
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_Device_Tree)->Unit(benchmark::kMillisecond)->Iterations(5);

// Baseline: the same nodes as plain items in a shown QTreeWidget.
static void BM_Baseline_Plain_Tree(benchmark::State& state)
{
    const Ied& device = bigDevice();
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.setUniformRowHeights(true);
    tree.resize(300, 600);
    tree.show();
    if (!QTest::qWaitForWindowExposed(&tree))
        state.SkipWithError("the tree is not shown");
    int nodes = 0;
    for (auto _ : state) {
        auto* root = new QTreeWidgetItem(QStringList{device.name});
        std::vector<QTreeWidgetItem*> expand{root};
        for (const auto& ld : device.logicalDevices) {
            auto* l = new QTreeWidgetItem(root, QStringList{ld->name});
            expand.push_back(l);
            for (const auto& ln : ld->logicalNodes) {
                auto* n = new QTreeWidgetItem(l, QStringList{ln->prefix + ln->lnClass + ln->inst});
                expand.push_back(n);
                for (const auto& d : ln->dataObjects)
                    plainDo(n, *d);
                for (const auto& ds : ln->dataSets)
                    new QTreeWidgetItem(n, QStringList{ds->name});
            }
        }
        tree.addTopLevelItem(root);
        for (QTreeWidgetItem* item : expand)
            item->setExpanded(true);
        Draw(&tree);
        state.PauseTiming();
        nodes = 0;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it)
            ++nodes;
        tree.clear();
        state.ResumeTiming();
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_Baseline_Plain_Tree)->Unit(benchmark::kMillisecond)->Iterations(5);

// Resident memory before the window first opens, while it shows the device's tree, and after it
// closes again (three times). Goal: after closing, within 50 MB of before.
static void BM_Resident_Memory_After_Close(benchmark::State& state)
{
    const auto residentMb = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0)
                return double(std::stoll(line.substr(6))) / 1024;
        return 0.0;
    };
    BenchProject project;
    const double before = residentMb();
    double open = 0;
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i) {
            project.window->show();
            project.deviceList()->setCurrentRow(0);
            Draw(project.window.get());
            open = std::max(open, residentMb());
            project.window->reject();
        }
    }
    state.counters["before_MB"] = before;
    state.counters["open_MB"] = open;
    state.counters["after_close_MB"] = residentMb();
    state.counters["growth_MB"] = residentMb() - before;
}
BENCHMARK(BM_Resident_Memory_After_Close)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
