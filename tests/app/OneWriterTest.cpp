// One writer per configuration, as the windows see it: the steps that write into a
// configuration hold it while they work; a second program is told who holds it.
#include "base/ProgramFolder.h"
#include "app/ProgramRun.h"
#include "base/TextTable.h"
#include "configuration/core/ConfigurationLock.h"
#include "base/Settings.h"
#include "support/OtherHolder.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QFileInfo>
#include <QSysInfo>
#include <gtest/gtest.h>

namespace {

struct Step {
    const char* button;
    const char* window;
};
const Step editingSteps[] = {{"Btn_Prm_Gen", "TFParGen"}, {"Btn_IEC61850_Client", "TFIEC_61850_Access"}};

// The main window with the configuration "Plant" active.
struct PlantRun : ProgramRun {
    PlantRun() { activateConfiguration(QStringLiteral("Plant")); }
    // Clicks `button`; a window it opens is handed to `action` and then cancelled. True when
    // one opened.
    bool clickStep(const char* button, const std::function<void(QDialog*)>& action = {})
    {
        const bool opened = inNextDialog([&] { click(button); },
            [&](QDialog* dialog) {
                if (action)
                    action(dialog);
            });
        QApplication::processEvents();
        return opened;
    }
};

// "The configuration FOLDER is in use by PROGRAM on HOST (process PID) since ", the time left out.
QString inUseBy(const QString& folder, const QString& program, qint64 processId)
{
    return QStringLiteral("The configuration %1 is in use by %2 on %3 (process %4) since ")
        .arg(QDir::toNativeSeparators(folder), program, lockHostName())
        .arg(processId);
}

} // namespace

TEST(OneWriter, EditingStepsHoldTheConfigurationWhileTheirWindowIsOpen)
{
    for (const Step& step : editingSteps) {
        SCOPED_TRACE(step.button);
        PlantRun run;
        Result whileOpen;
        EXPECT_TRUE(run.clickStep(step.button, [&](QDialog* dialog) {
            EXPECT_EQ(dialog->objectName(), step.window);
            whileOpen = checkConfigurationFree(run.state.configurationFolder);
            EXPECT_FALSE(shownIn(dialog, "L_Read_Only"));
        }));
        EXPECT_FALSE(whileOpen.ok);
        EXPECT_TRUE(englishMessage(whileOpen).startsWith(inUseBy(run.state.configurationFolder,
            lockProgramName(QCoreApplication::applicationFilePath()), QCoreApplication::applicationPid())))
            << englishMessage(whileOpen).toStdString();
        EXPECT_TRUE(checkConfigurationFree(run.state.configurationFolder).ok);
        EXPECT_FALSE(QFileInfo::exists(ConfigurationPaths(run.state.configurationFolder).lockFile()));
        EXPECT_TRUE(run.fakes.messages.shown.empty());
    }
}

// A second program (another instance, swquelmor-cli import-csv) holds the configuration: the
// engineer is told who, and may open the window read-only or not at all.
TEST(OneWriter, SecondWriterIsToldWhoHoldsTheConfigurationAndMayOpenItReadOnly)
{
    for (const Step& step : editingSteps) {
        SCOPED_TRACE(step.button);
        PlantRun run;
        OtherHolder other(run.state.configurationFolder);
        const QString holder
            = inUseBy(run.state.configurationFolder, lockProgramName(QStringLiteral(SWQ_LOCK_HOLDER)), other.processId());

        run.fakes.messages.Answers = {MessageService::Answer::No};
        EXPECT_FALSE(run.clickStep(step.button));
        const QStringList asked = run.fakes.messages.texts("question");
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].startsWith(holder)) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].endsWith(".\nOpen the window read-only? Nothing can be saved then.")) << asked[0].toStdString();

        run.fakes.messages.shown.clear();
        run.fakes.messages.Answers = {MessageService::Answer::Yes};
        EXPECT_TRUE(run.clickStep(step.button, [&](QDialog* dialog) {
            EXPECT_TRUE(shownIn(dialog, "L_Read_Only"));
            EXPECT_TRUE(labelText(dialog, "L_Read_Only").startsWith("Read-only, nothing can be saved: " + holder));
            EXPECT_FALSE(child<QPushButton>(dialog, "Btn_OK")->isEnabled());
        }));
        EXPECT_EQ(QDir(run.state.configurationFolder).entryList(QDir::Files), QStringList());

        // Once the other program has let it go, the window opens for editing again.
        other.letGo();
        run.fakes.messages.shown.clear();
        EXPECT_TRUE(run.clickStep(step.button, [&](QDialog* dialog) {
            EXPECT_FALSE(shownIn(dialog, "L_Read_Only"));
            EXPECT_TRUE(child<QPushButton>(dialog, "Btn_OK")->isEnabled());
        }));
        EXPECT_TRUE(run.fakes.messages.shown.empty());
    }
}

// Step 4 rebuilds nothing under another program's updater or while another program writes the
// files the images are built from.
TEST(OneWriter, StepFourBuildsNothingWhileAnotherProgramHoldsTheConfiguration)
{
    PlantRun run;
    OtherHolder other(run.state.configurationFolder);
    EXPECT_FALSE(run.clickStep("Btn_CreateBin"));
    const QStringList errors = run.fakes.messages.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(
        inUseBy(run.state.configurationFolder, lockProgramName(QStringLiteral(SWQ_LOCK_HOLDER)), other.processId())))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith(".\nThe device images are not built while it is in use.")) << errors[0].toStdString();
    EXPECT_EQ(QDir(joinPath(run.state.configurationFolder, "bin")).entryList(QDir::Files), QStringList());

    other.letGo();
    run.fakes.messages.shown.clear();
    EXPECT_TRUE(run.clickStep("Btn_CreateBin")); // the summary
    EXPECT_EQ(
        QDir(joinPath(run.state.configurationFolder, "bin")).entryList(QDir::Files), (QStringList{"bank1.bin", "bank2.bin"}));
    // Built and let go again: the update window's run takes the configuration itself.
    EXPECT_TRUE(checkConfigurationFree(run.state.configurationFolder).ok);
}

// Two instances on one program folder: closing one never writes back its old options over the
// other's newer ones.
TEST(OneWriter, ClosingOneInstanceKeepsTheOtherInstancesNewerOptions)
{
    QTemporaryDir dir;
    ProgramRun first(dir.path());
    ProgramRun second(dir.path());
    second.state.enableJumpFieldTables = true;
    second.state.languageName = "Italiano";
    second.mainWindow->saveSettings(); // Options, OK
    first.state.lastIpAddress = "10.0.0.9"; // an update from the first
    first.mainWindow->close();
    second.mainWindow->close();
    ProgramState saved;
    readSettings(dir.filePath(settingsFileName), saved);
    EXPECT_TRUE(saved.enableJumpFieldTables);
    EXPECT_EQ(saved.languageName, "Italiano");
    EXPECT_EQ(saved.lastIpAddress, "10.0.0.9");
}
