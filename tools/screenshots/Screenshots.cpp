// Renders every window of the configurator into PNG files for the README's user guide, from
// the states of the end-to-end engineering session (tests/e2e/Session.h).
// Usage: swq_screenshots OUTPUT_FOLDER (under a real X server: scripts/screenshots).
#include "e2e/Session.h"
#include "support/TestSupport.h"
#include "update/StandIn.h"
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

bool save(QWidget* window, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString file = QDir(folder).filePath(name + ".png");
    if (window->grab().save(file))
        return true;
    std::fprintf(stderr, "swq_screenshots: cannot write %s\n", qPrintable(file));
    return false;
}

// The access window's tables start with columns of one width, too narrow for references:
// fit them to their texts, as an engineer widens them to read them, and scroll them to their
// first or their last column.
void fitTables(QWidget* window, bool toTheEnd)
{
    for (QTableView* table : window->findChildren<QTableView*>()) {
        table->resizeColumnsToContents();
        QScrollBar* bar = table->horizontalScrollBar();
        bar->setValue(toTheEnd ? bar->maximum() : bar->minimum());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: swq_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString sclA = Fixture("scl/" + E2E::Scenario::sclFileA);
    const QString sclB = Fixture("scl/" + E2E::Scenario::sclFileB);
    if (!QFileInfo::exists(sclA) || !QFileInfo::exists(sclB)) {
        std::fprintf(stderr, "swq_screenshots: the SCL files of the session are not in %s\n", qPrintable(Fixture("scl")));
        return 1;
    }
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "swq_screenshots: cannot make %s\n", qPrintable(out));
        return 1;
    }

    // The pictures of the user guide, named after the session's states.
    const QStringList pictures = {"new-configuration", "open-configuration", "communication-settings", "access-variables",
        "access-dataset", "ied-picker", "access-filter", "access-data-array", "update-summary", "update-window", "update-running",
        "options-language", "options-connection", "options-settings", "about"};
    bool saved = true;
    QTemporaryDir programFolder;
    E2E::Session session(programFolder.path());
    session.view = [&](const QString& state, QWidget* window) {
        if (!pictures.contains(state))
            return;
        if (state == "update-running")
            QTest::qWait(1600); // a second or more on the clock of the running updater
        if (state.startsWith("access-") && state != "access-data-array")
            fitTables(window, false);
        saved = save(window, out, state) && saved;
        if (state == "access-variables") {
            // The variables table is wider than the window: its right part in a picture of its own.
            fitTables(window, true);
            saved = save(window, out, state + "-right") && saved;
        }
    };

    session.start();
    session.installLanguages(SWQ_BUILD_LANGUAGE_DIR);
    saved = save(session.Main(), out, "main-window") && saved;
    session.createConfiguration();
    saved = save(session.Main(), out, "main-window-active") && saved;
    session.lookAt("Btn_Open", "open-configuration");
    session.setCommunication();
    session.mapAccess(sclA, sclB);
    session.browseStationFile(Fixture("scl/station.scd"));
    // A stand-in updater that takes a few seconds, as a real update does.
    installStandInUpdater(programFolder.path(), 0, 3000);
    session.updateDevice();
    session.lookAt("Btn_Info", "about");
    session.switchLanguage();
    saved = save(session.Main(), out, "main-window-italiano") && saved;
    session.Close();

    for (const QString& problem : session.problems)
        std::fprintf(stderr, "swq_screenshots: %s\n", qPrintable(problem));
    return saved && session.problems.isEmpty() ? 0 : 1;
}
