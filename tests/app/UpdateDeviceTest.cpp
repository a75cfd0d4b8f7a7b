#include "app/ProgramRun.h"
#include "support/ImageTestSupport.h"
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace ImageTest;

namespace {

// The main window on a program folder of its own with the configuration "Plant" active.
struct Step4 : ProgramRun {
    Step4() { activateConfiguration(QStringLiteral("Plant")); }
    QString bin(const QString& name) const { return joinPath(joinPath(state.projectFolder, QStringLiteral("bin")), name); }
    // Presses Step 4; true when the update window opened (it is then closed with Cancel).
    bool clickUpdate()
    {
        bool opened = false;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = dialog->objectName() == QLatin1String("TFBoot");
                dialog->reject();
            }
        });
        watch.start();
        click("Btn_CreateBin");
        return opened;
    }
};

} // namespace

TEST(UpdateDevice, EveryPressBuildsAndWritesBothImagesFromTheCurrentFiles)
{
    Step4 run;
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    EXPECT_EQ(readTestFile(run.bin("bank1.bin")).right(4).toHex(), QByteArray("8a0d0000"));
    EXPECT_EQ(readTestFile(run.bin("bank2.bin")).size(), 24);

    // The user's separator is a comma; a factor typed with a point must still reach the device.
    run.fakes.locale.Separator = QStringLiteral(",");
    writeTestFile(run.state.accessFile, accessFileXml({With(exampleVariable(), {{"MoltFact", "0.5"}})}));
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
    writeTestFile(run.state.accessFile, accessFileXml({exampleVariable()}, dataSet(exampleDataSet(), {exampleMember(1)})));
    CommunicationSettings parGen = defaultCommunicationSettings();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("5");
    writeParGenFile(run.state.parGenFile, parGen);
    EXPECT_TRUE(run.clickUpdate());
    run.activateConfiguration(QStringLiteral("Empty"));
    EXPECT_TRUE(run.clickUpdate());
    EXPECT_TRUE(run.fakes.messages.shown.empty());
    EXPECT_EQ(readTestFile(run.bin("bank2.bin")).toHex(),
        QByteArray("00000000"
                   "00000000"
                   "00000000"
                   "00000000"
                   "18000800"
                   "18000800"));
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
                writeTestFile(r.state.accessFile,
                    accessFileXml({exampleVariable(), exampleVariable(), With(exampleVariable(), {{"Port", nullptr}})}));
            },
            [](const Step4& r) {
                return QDir::toNativeSeparators(r.state.accessFile) + ": item 3 of List_DA_Selected has no Port attribute";
            }},
        {"data set of 256 attributes",
            [](Step4& r) {
                writeTestFile(
                    r.state.accessFile, accessFileXml({}, dataSet(exampleDataSet(), std::vector<Attrs>(256, exampleMember(1)))));
            },
            [](const Step4& r) {
                return QDir::toNativeSeparators(r.state.accessFile)
                    + ": item 1 of List_DataSet_Selected has 256 attributes, more than the 255 a data set can hold";
            }},
        // A missing bin folder is made again; a file that has taken its name stops the step.
        {"file in the place of the bin folder",
            [](Step4& r) {
                QDir(r.state.projectFolder).rmdir("bin");
                writeTestFile(joinPath(r.state.projectFolder, "bin"), "not a folder");
            },
            [](const Step4& r) {
                return "Cannot create the folder " + QDir::toNativeSeparators(joinPath(r.state.projectFolder, "bin"));
            }},
    };
    for (const Case& c : cases) {
        Step4 run;
        c.prepare(run);
        EXPECT_FALSE(run.clickUpdate()) << c.label;
        ASSERT_EQ(run.fakes.messages.shown.size(), 1u) << c.label;
        EXPECT_EQ(run.fakes.messages.shown[0].kind, "error") << c.label;
        EXPECT_TRUE(run.fakes.messages.shown[0].text.startsWith(c.message(run)))
            << c.label << ": " << run.fakes.messages.shown[0].text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(run.bin("bank1.bin"))) << c.label;
        EXPECT_FALSE(QFileInfo::exists(run.bin("bank2.bin"))) << c.label;
    }
}

TEST(UpdateDevice, AConfigurationThatFailsItsChecksIsBuiltOnlyWhenTheEngineerSaysSo)
{
    Step4 run;
    // An older file: the direction was never chosen, and the build would take it for Write.
    writeTestFile(run.state.accessFile, accessFileXml({With(exampleVariable(), {{"ReadWrite", ""}})}));
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
