// Renders the configurator's windows into PNG files for the README's user guide.
// Usage: swq_screenshots OUTPUT_FOLDER (run under a real X server: scripts/screenshots).
#include "QtPlatform.h"
#include "TFTessavoFirmWare.h"
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

void Save(QWidget* w, const QString& folder, const QString& name)
{
    w->show();
    QTest::qWaitForWindowExposed(w);
    QApplication::processEvents();
    if (!w->grab().save(QDir(folder).filePath(name + ".png")))
        qFatal("cannot write %s", qPrintable(name));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        qFatal("usage: swq_screenshots OUTPUT_FOLDER");
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir programFolder;
    QDir(programFolder.path()).mkpath("PROJECTS/Substation North/bin");
    TQt_Platform platform;
    TProgramState state;
    TText_Table texts;
    TAppContext ctx{state, texts, platform.Services()};

    TFTessavoFirmWare main(ctx, programFolder.path());
    Save(&main, out, "main-window");
    state.Activate_Project("Substation North");
    main.Set_Lang();
    Save(&main, out, "main-window-active");
    return 0;
}
