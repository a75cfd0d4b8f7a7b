// Start-up to a shown main window, against a bare QWidget shown the same way as a baseline.
#include "fakes/FakePlatform.h"
#include "app/MainWindow.h"
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

static void BM_Bare_Window_Shown(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget w;
        w.resize(620, 460);
        w.show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&w));
    }
}
BENCHMARK(BM_Bare_Window_Shown)->Unit(benchmark::kMillisecond);

// A second start in the same folder: folders exist, settings and a language file are read.
static void BM_Main_Window_Start_Up(benchmark::State& state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("LANGUAGE");
    QFile lang(dir.filePath("LANGUAGE/English.lng"));
    lang.open(QIODevice::WriteOnly);
    for (int i = 0; i < TextTable::size; ++i)
        lang.write(QStringLiteral("STR%1 = %2\n").arg(i, 4, 10, QChar('0')).arg(TextTable::builtinText(i)).toUtf8());
    lang.close();
    for (auto _ : state) {
        FakePlatform fakes;
        ProgramState programState;
        TextTable texts;
        AppContext ctx{programState, texts, fakes.services()};
        MainWindow w(ctx, dir.path());
        w.show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&w));
        w.close();
    }
}
BENCHMARK(BM_Main_Window_Start_Up)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
