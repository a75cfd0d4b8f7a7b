#include "base/ProgramFolder.h"
#include "app/ProgramRun.h"
#include "support/ImageTestSupport.h"
#include <QDialog>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace ImageTest;

namespace {

// The main window on a program folder of its own with the configuration "Plant" active, its
// communication settings saved as Step 2 leaves them at first.
struct Step4 : ProgramRun {
    Step4()
    {
        activateConfiguration(QStringLiteral("Plant"));
        writeParGenFile(paths().communicationFile(), defaultCommunicationSettings());
        writeExampleCatalog(state.configurationFolder);
    }
    QString bin(const QString& name) const { return joinPath(joinPath(state.configurationFolder, QStringLiteral("bin")), name); }
    // Presses Step 4 and goes on from the summary (its labels kept in `summary`, keyed by
    // name), unless `stopAtSummary`; true when the update window opened (it is then closed with Cancel).
    bool clickUpdate(bool stopAtSummary = false, const std::function<void(QDialog*)>& inUpdateWindow = {})
    {
        bool opened = false;
        summary.clear();
        const auto readSummary = [&](QDialog* dialog) {
            if (dialog->objectName() != QLatin1String("TFUpdateSummary"))
                return false;
            summary.insert("caption", dialog->windowTitle());
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (label->objectName().startsWith("L_"))
                    summary.insert(label->objectName(), label->text());
            ::click(dialog, stopAtSummary ? "Btn_Cancel" : "Btn_OK");
            return true;
        };
        inNextDialog([&] { click("Btn_CreateBin"); },
            [&](QDialog* dialog) {
                opened = dialog->objectName() == QLatin1String("TFBoot");
                if (opened && inUpdateWindow)
                    inUpdateWindow(dialog);
            },
            {.passOn = readSummary});
        return opened;
    }
    QHash<QString, QString> summary;
};

} // namespace

TEST(UpdateDevice, EveryPressBuildsAndWritesBothImagesFromTheCurrentFiles)
{
    Step4 run;
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_EQ(run.fakes.messages.texts("question"), QStringList{}); // an empty access list is only a warning
    EXPECT_EQ(readTestFile(run.bin("bank1.bin")).right(4).toHex(), QByteArray("1f180000")); // 6175
    EXPECT_EQ(readTestFile(run.bin("bank2.bin")).size(), 24);

    // The user's separator is a comma; a factor typed with a point must still reach the device.
    run.fakes.locale.Separator = QStringLiteral(",");
    writeTestFile(run.paths().accessFile(), accessFileXml({With(exampleVariable(), {{"MoltFact", "0.5"}})}));
    QFile::remove(run.bin("bank1.bin"));
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    const QByteArray bank2 = readTestFile(run.bin("bank2.bin"));
    ASSERT_EQ(bank2.size(), 98);
    EXPECT_EQ(bank2.mid(24 + 16, 4).toHex(), QByteArray("0000003f"));
    EXPECT_EQ(readTestFile(run.bin("bank1.bin")).size(), 2048);
}

TEST(UpdateDevice, AfterSwitchingProjectsNothingOfThePreviousRemains)
{
    Step4 run;
    writeTestFile(run.paths().accessFile(), accessFileXml({exampleVariable()}, dataSet(exampleDataSet(), exampleMembers())));
    CommunicationSettings parGen = defaultCommunicationSettings();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("5");
    writeParGenFile(run.paths().communicationFile(), parGen);
    EXPECT_TRUE(run.clickUpdate());
    run.activateConfiguration(QStringLiteral("Empty"));
    // Steps 2 and 3 never done there: the step says what the device would get, and builds on Yes.
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_EQ(run.fakes.messages.texts("question"),
        QStringList{"The configuration does not pass its checks; the device would not work as it says:\n"
                    "ParGen.xml: The communication settings were never saved (Set Communication): the device would get the "
                    "address 0.0.0.0 on the IEC 61850 side, EtherNet/IP port 10001 and no input or output bytes\n"
                    "warning: IEC_61850_Client.xml: The access list is empty (IEC61850 Access): the device would exchange "
                    "no value with any IEC 61850 server\n\n"
                    "Build the device images and update the device anyway?"});
    EXPECT_EQ(readTestFile(run.bin("bank2.bin")).toHex(), emptyRequestTablesHex);
    EXPECT_EQ(readTestFile(run.bin("bank1.bin")).right(4).toHex(), QByteArray("8a0d0000"));
}

TEST(UpdateDevice, AFailedBuildOrWriteShowsOneErrorAndWritesNoImage)
{
    struct Case {
        const char* label;
        std::function<void(Step4&)> prepare;
        std::function<QString(const Step4&)> message;
    };
    const Case cases[] = {
        {"item without its port",
            [](Step4& r) {
                writeTestFile(r.paths().accessFile(),
                    accessFileXml({exampleVariable(), exampleVariable(), With(exampleVariable(), {{"Port", nullptr}})}));
            },
            [](const Step4& r) {
                return QDir::toNativeSeparators(r.paths().accessFile()) + ": item 3 of List_DA_Selected has no Port attribute";
            }},
        // Its members are not the SCL file's either: the checks' question comes first (Yes).
        {"data set of 256 attributes",
            [](Step4& r) {
                writeTestFile(r.paths().accessFile(),
                    accessFileXml({}, dataSet(exampleDataSet(), std::vector<Attrs>(256, exampleMember(1)))));
            },
            [](const Step4& r) {
                return QDir::toNativeSeparators(r.paths().accessFile())
                    + ": item 1 of List_DataSet_Selected has 256 attributes, more than the 255 a data set can hold";
            }},
        // A missing bin folder is made again; a file that has taken its name stops the step.
        {"file in the place of the bin folder",
            [](Step4& r) {
                QDir(r.state.configurationFolder).rmdir("bin");
                writeTestFile(joinPath(r.state.configurationFolder, "bin"), "not a folder");
            },
            [](const Step4& r) {
                return "Cannot create the folder " + QDir::toNativeSeparators(joinPath(r.state.configurationFolder, "bin"));
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Step4 run;
        c.prepare(run);
        EXPECT_FALSE(run.clickUpdate());
        const QStringList errors = run.fakes.messages.texts("error");
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(run.fakes.messages.shown.back().kind, "error");
        EXPECT_TRUE(errors[0].startsWith(c.message(run))) << c.label << ": " << errors[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(run.bin("bank1.bin")));
        EXPECT_FALSE(QFileInfo::exists(run.bin("bank2.bin")));
    }
}

TEST(UpdateDevice, AConfigurationThatFailsItsChecksIsBuiltOnlyWhenTheEngineerSaysSo)
{
    Step4 run;
    // An older file: the direction was never chosen, and the build would take it for Write.
    writeTestFile(run.paths().accessFile(), accessFileXml({With(exampleVariable(), {{"ReadWrite", ""}})}));
    run.fakes.messages.Answers = {MessageService::Answer::No};
    EXPECT_FALSE(run.clickUpdate());
    EXPECT_EQ(run.fakes.messages.texts("question"),
        QStringList{"The configuration does not pass its checks; the device would not work as it says:\n"
                    "IEC_61850_Client.xml: row 1: ReadWrite: Error row 1!! R/W: select Read or Write\n\n"
                    "Build the device images and update the device anyway?"});
    EXPECT_FALSE(QFile::exists(run.bin("bank2.bin")));

    run.fakes.messages.shown.clear();
    EXPECT_TRUE(run.clickUpdate()); // Yes
    EXPECT_EQ(run.fakes.messages.texts("question").size(), 1);
    EXPECT_EQ(readTestFile(run.bin("bank2.bin")).at(24 + 2), 1); // built as stored: Write
}

// What goes to the device, shown before the update window: a project with two variables and a
// data set of three attributes, option "Firmware + Configuration" without the firmware file.
TEST(UpdateDevice, SummaryShowsWhatGoesToTheDeviceBeforeTheUpdateWindow)
{
    Step4 run;
    writeTestFile(run.paths().accessFile(),
        accessFileXml({exampleVariable(), exampleVariable()},
            dataSet(exampleDataSet(), {exampleMember(1), exampleMember(2), exampleMember(3)})));
    run.state.lastIpAddress = QStringLiteral("10.0.0.7");
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    const qint64 bank2 = readTestFile(run.bin("bank2.bin")).size();
    const QHash<QString, QString>& s = run.summary;
    EXPECT_EQ(s["caption"], "Update Summary");
    EXPECT_EQ(s["L_Configuration"], "Plant");
    EXPECT_EQ(s["L_Address"], "10.0.0.7");
    EXPECT_EQ(s["L_Option"], "Firmware + Configuration");
    EXPECT_EQ(s["L_Bank1"], QDir::toNativeSeparators(run.bin("bank1.bin")) + " (2048 bytes)");
    EXPECT_EQ(s["L_Bank2"], QDir::toNativeSeparators(run.bin("bank2.bin")) + QString(" (%1 bytes)").arg(bank2));
    EXPECT_EQ(bank2, 378); // 24 + 2 * 32 + 28 + 3 * 16 and the strings
    EXPECT_EQ(s["L_Variables"], "2");
    EXPECT_EQ(s["L_DataSets"], "1");
    EXPECT_EQ(s["L_Tables_Used"], "378 / 524288 bytes (0.1 %)");
    EXPECT_EQ(s["L_Checksum"], "6175 (0x0000181F)");
    const QString firmware = QDir::toNativeSeparators(joinPath(run.state.masterFolder, "SimQuelmor.sim"));
    EXPECT_EQ(s["L_Firmware_Missing"], "Warning: the firmware file is missing, the firmware cannot be updated: " + firmware);
    EXPECT_FALSE(s.contains("L_Firmware"));

    // The firmware file in MASTER: named as found, no warning.
    writeTestFile(joinPath(run.state.masterFolder, "SimQuelmor.sim"), "firmware");
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_EQ(run.summary["L_Firmware"], firmware + " (found)");
    EXPECT_FALSE(run.summary.contains("L_Firmware_Missing"));

    // An option without firmware says nothing of it; Stop ends the step before the update window.
    QFile::remove(joinPath(run.state.masterFolder, "SimQuelmor.sim"));
    run.mainWindow->rememberedUpdateChoices().option = Configuration;
    EXPECT_FALSE(run.clickUpdate(true));
    EXPECT_EQ(run.summary["L_Option"], "Configuration");
    EXPECT_FALSE(run.summary.contains("L_Firmware"));
    EXPECT_FALSE(run.summary.contains("L_Firmware_Missing"));
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}

// An updater started in Step 4 still runs after its window was closed: the images under it are
// not rebuilt, and closing the program asks first.
TEST(UpdateDevice, WhileTheUpdaterRunsStepFourAndClosingTheProgramAreHeldBack)
{
    Step4 run;
    run.state.lastIpAddress = QStringLiteral("127.0.0.1");
    run.fakes.processLauncher.pollsBeforeEnd = -1;
    run.fakes.icmpEcho.Replies.assign(2, {IcmpEcho::EchoStatus::Answered, {}});
    EXPECT_TRUE(run.clickUpdate(false, [](QDialog* boot) { ::click(boot, "Btn_Update"); }));
    ASSERT_EQ(run.fakes.processLauncher.Started.size(), 1u);
    EXPECT_EQ(run.fakes.messages.texts("question"),
        QStringList{"The updater is still running. Close this window anyway? The updater is not stopped."});
    const QByteArray bank2 = readTestFile(run.bin("bank2.bin"));

    run.fakes.messages.shown.clear();
    writeTestFile(run.paths().accessFile(), accessFileXml({exampleVariable()}));
    EXPECT_FALSE(run.clickUpdate());
    EXPECT_TRUE(run.summary.isEmpty());
    EXPECT_EQ(run.fakes.messages.texts("warning"),
        QStringList{"the updater is still running; check it before starting another update"});
    EXPECT_EQ(readTestFile(run.bin("bank2.bin")), bank2);

    const QString question = "The updater is still running. Close the program anyway? The updater is not stopped.";
    run.fakes.messages.shown.clear();
    run.fakes.messages.Answers = {MessageService::Answer::No};
    run.mainWindow->close();
    EXPECT_TRUE(run.mainWindow->isVisible());
    run.fakes.messages.Answers = {MessageService::Answer::Yes};
    run.mainWindow->close();
    EXPECT_FALSE(run.mainWindow->isVisible());
    EXPECT_EQ(run.fakes.messages.texts("question"), (QStringList{question, question}));
    EXPECT_TRUE(QFileInfo::exists(run.path(settingsFileName)));
    EXPECT_TRUE(run.fakes.processLauncher.released.isEmpty());
}
