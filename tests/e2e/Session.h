#pragma once
#include "fakes/FakePlatform.h"
#include "platform/QtPlatform.h"
#include "app/MainWindow.h"
#include <QStringList>
#include <functional>
#include <memory>

class QDialog;

namespace E2E {

// What the engineer of the session works on. The end-to-end test checks the files against
// what the steps enter; the screenshot tool shows the same states.
namespace Scenario {
inline const QString Configuration = QStringLiteral("Substation North");
// The two SCL files of tests/fixtures/scl the session imports: GeneratorIED (device 0 of the
// access list) and FeederIED (device 1).
inline const QString sclFileA = QStringLiteral("generator.icd");
inline const QString sclFileB = QStringLiteral("feeder.icd");
inline const QString deviceAddress = QStringLiteral("127.0.0.1");
inline const QString Language = QStringLiteral("Italiano");
} // namespace Scenario

// The real program (the main window with every window it creates) on a program folder of its
// own, driven like an engineer drives it: mouse clicks and keys on the controls, found by their
// names; modal windows are reached as the active modal widget once they are shown.
//
// Services: message boxes are recorded and answered Yes, the open-file dialog answers from a
// script, the browser and HTTP are fakes (nothing leaves the machine); the clock, the locale
// and the program launcher are the system's. The ICMP echo is the system's when it may ping
// 127.0.0.1 here, else a stand-in that answers (Echo_Note says why).
class Session {
public:
    // Called at each named state of a step with the window that shows it, while it is open.
    using View = std::function<void(const QString& state, QWidget* window)>;

    explicit Session(const QString& programFolder);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    View view;
    // What the driving could not do (a window that did not open or stayed open); empty after a
    // session that went as planned.
    QStringList problems;
    QString echoNote;
    FakeMessageService messages;
    // The open-file dialog is the system's own and cannot be driven reliably under a test
    // X server: its answers are scripted here instead.
    FakeFileDialog fileDialog;

    // Starts a program run on the folder (a new program state and text table, as a new process
    // has), shows the main window and makes it active.
    void start();
    // Closes the program with its close button (which saves the settings); the run ends.
    void Close();
    MainWindow* Main() const;
    const ProgramState& state() const;

    // Copies the language files and flag pictures of `folder` into the program's LANGUAGE.
    void installLanguages(const QString& folder);

    // Step 1: New configuration Scenario::Configuration. State "new-configuration".
    void createConfiguration();
    // Step 2: the communication settings, with a number of input bytes beyond the device's 496
    // first, corrected after OK refuses it. State "communication-settings" (before the last OK).
    void setCommunication();
    // Step 3: imports both SCL files, adds FeederIED's MMXU1.TotW.mag.f and GeneratorIED's
    // LLN0.NamPlt.vendor as variables and GeneratorIED's LLN0.GenStatus as data set, fills
    // addresses, triggers, positions and the first member's position (the first variable's
    // multiplication factor with a decimal comma), forgets the second variable's factor, and
    // adds it after OK refuses the row.
    // States "access-dataset", "access-variables" and "access-data-array" (before the last OK).
    void mapAccess(const QString& sclFileA, const QString& sclFileB);
    // Step 3 again, only looking: "access-reopened" (variables page), then the data set row
    // clicked on the data set page, "access-reopened-dataset"; left with Escape.
    void reviewAccess();
    // Step 3 with a station file of several IEDs: the IED picker ("ied-picker"), Enter takes the
    // preselected IED; the device tree filtered by a part of a reference ("access-filter"). Left
    // with Cancel: nothing is saved.
    void browseStationFile(const QString& sclFile);
    // Step 4: builds the images, goes on from their summary ("update-summary", as every press of
    // Step 4 does), then in the update window ("update-window" as it opens) enters
    // Scenario::Device_Address, picks "Configuration" and executes the update ("update-running"
    // at once, "update-done" once the updater's outcome is shown); left with Escape.
    void updateDevice();
    // Options: looks at each page ("options-language", "options-connection",
    // "options-settings"), picks Scenario::Language and answers the question
    // ("options-switched"), then OK.
    void switchLanguage();
    // Opens the window behind a main-window button, shows it to View as `state` and leaves it
    // with Escape.
    void lookAt(const char* button, const QString& state);

private:
    struct Run;
    void withDialog(const char* button, const std::function<void(QDialog*)>& action);
    void Show(const QString& state, QWidget* window);

    QString programFolder;
    QtPlatform System;
    FakeShell shell;
    FakeHttpClient http;
    std::unique_ptr<IcmpEcho> echo;
    Platform services;
    std::unique_ptr<Run> run;
};

} // namespace E2E
