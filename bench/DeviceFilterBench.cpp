// The device tree's filter on the largest device of a generated 100 MB SCD: each keystroke of
// typing a reference, from the key to the redrawn tree, and Escape back to the whole tree.
// Baseline in the same run: the same filter done the plain way, setting the hidden state of
// every node of the QTreeWidget on each keystroke. The file is made on first use (needs python3
// and ../shared/tools/gen_scl.py); without them the benchmarks are skipped.
#include "scl/core/SclReader.h"
#include "scl/gui/DeviceBrowser.h"
#include "scl/gui/DeviceTree.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

// The same file and shape as the access window benchmark: the first IED is the big one.
Ied* bigDevice()
{
    static const std::unique_ptr<Ied> device = []() -> std::unique_ptr<Ied> {
        const QString file = QStringLiteral(SWQ_BENCH_DATA_DIR "/s100.scd");
        if (!QFileInfo::exists(file) && QFileInfo::exists(QStringLiteral(SWQ_GEN_SCL)))
            QProcess::execute(QStringLiteral("python3"),
                {SWQ_GEN_SCL, file, "--target-mb", "100", "--lds", "8", "--lns-per-ld", "90", "--quiet"});
        std::unique_ptr<Ied> d;
        if (!QFileInfo::exists(file) || !readSclFile(file, {}, d))
            return nullptr;
        return d;
    }();
    return device.get();
}

void draw(QWidget* w)
{
    QApplication::processEvents();
    w->repaint();
}

// Typing a reference key by key; the last entry is Escape (the empty filter).
const QStringList keystrokes = [] {
    const QString typed = QStringLiteral("mmxu1.totw.mag.f");
    QStringList texts;
    for (qsizetype n = 1; n <= typed.size(); ++n)
        texts << typed.left(n);
    return texts << QString();
}();

struct Shown {
    DeviceBrowser browser;
    Shown()
    {
        browser.resize(350, 800);
        browser.show();
        (void)QTest::qWaitForWindowExposed(&browser);
        browser.showDevice(*bigDevice());
        draw(&browser);
    }
};

int countNodes(QTreeWidget* tree)
{
    int nodes = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++nodes;
    return nodes;
}

// The plain way: every node's hidden state set on each keystroke.
void plainFilter(QTreeWidget* tree, const QString& text)
{
    std::function<bool(QTreeWidgetItem*, bool)> walk = [&](QTreeWidgetItem* item, bool parentMatches) {
        const auto* node = static_cast<DeviceTreeItem*>(item);
        const bool matches = parentMatches || text.isEmpty() || nodeReference(node).contains(text, Qt::CaseInsensitive);
        bool shown = matches;
        for (int i = 0; i < item->childCount(); ++i)
            shown = walk(item->child(i), matches) || shown;
        item->setHidden(!shown);
        if (shown && !matches)
            item->setExpanded(true);
        return shown;
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), false);
}

template <typename Filter> void typeKeys(benchmark::State& state, Filter filter)
{
    if (!bigDevice()) {
        state.SkipWithError("no 100 MB SCD (python3 and ../shared/tools/gen_scl.py make it)");
        return;
    }
    Shown shown;
    double slowest = 0, total = 0;
    for (auto _ : state) {
        for (const QString& text : keystrokes) {
            QElapsedTimer timer;
            timer.start();
            filter(shown.browser, text);
            draw(shown.browser.tree());
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            slowest = std::max(slowest, ms);
            total += ms;
        }
    }
    state.counters["nodes"] = countNodes(shown.browser.tree());
    state.counters["mean_key_ms"] = total / double(state.iterations() * keystrokes.size());
    state.counters["slowest_key_ms"] = slowest;
}

} // namespace

static void BM_Filter_Keystrokes(benchmark::State& state)
{
    typeKeys(state, [](DeviceBrowser& browser, const QString& text) { browser.applyFilter(text); });
}
BENCHMARK(BM_Filter_Keystrokes)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_Baseline_Plain_Filter(benchmark::State& state)
{
    typeKeys(state, [](DeviceBrowser& browser, const QString& text) { plainFilter(browser.tree(), text); });
}
BENCHMARK(BM_Baseline_Plain_Filter)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
