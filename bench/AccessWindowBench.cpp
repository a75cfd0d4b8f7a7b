// The access window on a project that refers to a large SCD file: from show to a filled device
// list (which reads the file), from choosing the device to a built and drawn tree, and the
// SCL read alone. Baseline: a plain QTreeWidget with the same nodes, texts only.
#include "Access_File.h"
#include "Catalog.h"
#include "FakePlatform.h"
#include "Files.h"
#include "SCL_Reader.h"
#include "TFIEC_61850_Access.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

// The generated 100 MB SCD, made on first use in the build folder.
QString Big_SCD()
{
    static const QString path = [] {
        const QString file = QStringLiteral(SWQ_BENCH_DATA_DIR "/s100.scd");
        if (!QFileInfo::exists(file)) {
            const std::string command = "python3 '" SWQ_GEN_SCL "' '" + file.toStdString() + "' --target-mb 100 --lds 8 --lns-per-ld 90 --quiet";
            if (std::system(command.c_str()) != 0)
                qFatal("cannot generate %s", qPrintable(file));
        }
        return file;
    }();
    return path;
}

const TIEC_Device& Big_Device()
{
    static const std::unique_ptr<TIEC_Device> device = [] {
        std::unique_ptr<TIEC_Device> d;
        if (!Read_SCL_File(Big_SCD(), d))
            qFatal("cannot read the SCD");
        return d;
    }();
    return *device;
}

// The same tree shape with plain items, texts only, expanded like the device tree.
void Plain_DA(QTreeWidgetItem* parent, const TIEC_DA& da)
{
    auto* item = new QTreeWidgetItem(parent, QStringList{da.Name});
    for (const auto& c : da.List_DA)
        Plain_DA(item, *c);
}

void Plain_DO(QTreeWidgetItem* parent, const TIEC_DO& d)
{
    auto* item = new QTreeWidgetItem(parent, QStringList{d.Name});
    for (const auto& s : d.List_DO)
        Plain_DO(item, *s);
    for (const auto& a : d.List_DA)
        Plain_DA(item, *a);
}

void Draw(QWidget* w)
{
    QApplication::processEvents();
    w->repaint();
}

// A project P1 whose access file lists the big SCD, with the access window shown on it.
struct TBench_Project {
    QTemporaryDir Dir;
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFIEC_61850_Access> W;

    TBench_Project()
    {
        State.Set_Program_Folder(Dir.path());
        State.Activate_Project("P1");
        QDir().mkpath(Catalog_Folder(State.Project_Folder));
        // A link keeps the 100 MB out of the temporary folder; the reader follows it.
        QFile::link(Big_SCD(), Join_Path(Catalog_Folder(State.Project_Folder), "s100.scd"));
        TAccess_List list;
        auto device = std::make_unique<TIEC_Device>();
        device->Name = "first";
        device->FileName = "s100.scd";
        list.List_IEC_Dev.push_back(std::move(device));
        Save_Access_File(list, State.IEC_Client_File);
        W = std::make_unique<TFIEC_61850_Access>(Ctx);
    }
};

} // namespace

static void BM_Read_SCL_File(benchmark::State& state)
{
    const QString file = Big_SCD();
    for (auto _ : state) {
        std::unique_ptr<TIEC_Device> device;
        benchmark::DoNotOptimize(Read_SCL_File(file, device).Ok);
    }
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_Read_SCL_File)->Unit(benchmark::kMillisecond)->Iterations(2);

// Show to a filled list: loads the access file, reads the SCD, fills the list box.
static void BM_Show_To_Filled_List(benchmark::State& state)
{
    TBench_Project project;
    for (auto _ : state) {
        project.W->show();
        Draw(project.W.get());
        if (project.W->LB_IEC_Devices->count() != 1)
            state.SkipWithError("the device list is not filled");
        state.PauseTiming();
        project.W->hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Show_To_Filled_List)->Unit(benchmark::kMillisecond)->Iterations(2);

// Choosing the device to its tree built and drawn, the file already read.
static void BM_Device_Tree(benchmark::State& state)
{
    TBench_Project project;
    project.W->show();
    Draw(project.W.get());
    int nodes = 0;
    for (auto _ : state) {
        project.W->LB_IEC_Devices->setCurrentRow(0);
        Draw(project.W->TV_IEC_Device);
        state.PauseTiming();
        nodes = 0;
        for (QTreeWidgetItemIterator it(project.W->TV_IEC_Device); *it; ++it)
            ++nodes;
        project.W->LB_IEC_Devices->setCurrentRow(-1);
        project.W->TV_IEC_Device->clear();
        state.ResumeTiming();
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_Device_Tree)->Unit(benchmark::kMillisecond)->Iterations(5);

// Baseline: the same nodes as plain items in a shown QTreeWidget.
static void BM_Baseline_Plain_Tree(benchmark::State& state)
{
    const TIEC_Device& device = Big_Device();
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.setUniformRowHeights(true);
    tree.resize(300, 600);
    tree.show();
    if (!QTest::qWaitForWindowExposed(&tree))
        state.SkipWithError("the tree is not shown");
    int nodes = 0;
    for (auto _ : state) {
        auto* root = new QTreeWidgetItem(QStringList{device.Name});
        std::vector<QTreeWidgetItem*> expand{root};
        for (const auto& ld : device.List_LDevice) {
            auto* l = new QTreeWidgetItem(root, QStringList{ld->Name});
            expand.push_back(l);
            for (const auto& ln : ld->List_LN) {
                auto* n = new QTreeWidgetItem(l, QStringList{ln->Prefix + ln->lnClass + ln->Inst});
                expand.push_back(n);
                for (const auto& d : ln->List_DO)
                    Plain_DO(n, *d);
                for (const auto& ds : ln->List_DataSet)
                    new QTreeWidgetItem(n, QStringList{ds->Name});
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

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
