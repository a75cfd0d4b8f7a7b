#include "cli/CheckCommand.h"
#include "cli/ImageCommands.h"
#include "cli/CommandRun.h"
#include "support/ImageTestSupport.h"
#include <gtest/gtest.h>

using namespace ImageTest;

TEST(CliImage, BuildWritesTheSameImagesAsTheUpdateStep)
{
    Project p;
    p.writeParGenFile(defaultCommunicationSettings());
    p.writeAccess(accessFileXml({exampleVariable()}));
    const CommandRun run = runCommand(buildCommand, {p.state.configurationFolder});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("bank2.bin: 98 bytes")) << run.out.toStdString();

    Image::DeviceImage image;
    ASSERT_TRUE(image.buildImages(p.paths(), u'.').ok);
    EXPECT_EQ(readTestFile(p.Bin("bank1.bin")), bytes(image.bank1()));
    EXPECT_EQ(readTestFile(p.Bin("bank2.bin")), bytes(image.bank2()));

    const CommandRun inspect = runCommand(inspectCommand, {p.Bin("bank2.bin")});
    EXPECT_EQ(inspect.exitCode, 0);
    EXPECT_TRUE(inspect.out.contains("-> \"LD0/MMXU1.TotW.mag.f\"")) << inspect.out.toStdString();
    EXPECT_EQ(runCommand(inspectCommand, {p.Bin("bank1.bin")}).exitCode, 0);
}

TEST(CliImage, FailedBuildPrintsTheErrorAndWritesNothing)
{
    Project p;
    p.writeParGenFile(defaultCommunicationSettings());
    p.writeAccess(accessFileXml({exampleVariable(), With(exampleVariable(), {{"Port", nullptr}})}));
    const CommandRun run = runCommand(buildCommand, {p.state.configurationFolder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QDir::toNativeSeparators(p.paths().accessFile()) + ": item 2 of List_DA_Selected has no Port attribute\n");
    EXPECT_TRUE(QDir(joinPath(p.state.configurationFolder, "bin")).isEmpty());

    EXPECT_EQ(runCommand(buildCommand, {p.file("nowhere")}).exitCode, 1);
    EXPECT_EQ(runCommand(buildCommand, {}).exitCode, 2);
}

TEST(CliImage, InspectFailsOnAWrongChecksum)
{
    Project p;
    p.writeParGenFile(defaultCommunicationSettings());
    ASSERT_EQ(runCommand(buildCommand, {p.state.configurationFolder}).exitCode, 0);
    QByteArray bank1 = readTestFile(p.Bin("bank1.bin"));
    bank1[0x40] = 1;
    writeTestFile(p.Bin("bank1.bin"), bank1);
    const CommandRun run = runCommand(inspectCommand, {p.Bin("bank1.bin")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("wrong checksum")) << run.out.toStdString();
    EXPECT_EQ(runCommand(inspectCommand, {p.Bin("missing.bin")}).exitCode, 1);
}

// build and check take a configuration only: a folder of configurations, or any other folder,
// is refused and nothing is made in it (a bin made in PROJECTS would list as a configuration).
TEST(CliImage, BuildAndCheckRefuseAFolderThatIsNotAConfiguration)
{
    struct Case {
        const char* name;
        const char* folder; // in the program folder
        QStringList made; // folders made first, in the program folder
        std::vector<std::pair<QString, QByteArray>> files;
        QString error; // after the folder's path; empty: a configuration
    };
    const QString notConfiguration = " is not a configuration: ";
    const QString projects = notConfiguration + "it is the PROJECTS folder of a program, which holds the configurations";
    const QString none = notConfiguration + "it holds none of ParGen.xml, IEC_61850_Client.xml, bin and ICD_Catalog";
    const QByteArray access = accessFileXml({exampleVariable()});
    const QByteArray parGen = [] {
        Project settings;
        settings.writeParGenFile(defaultCommunicationSettings());
        return readTestFile(settings.paths().communicationFile());
    }();
    const Case cases[] = {
        {"the PROJECTS folder", "PROJECTS", {}, {}, projects},
        {"the PROJECTS folder with a bin of an earlier build", "PROJECTS", {"PROJECTS/bin"}, {}, projects},
        {"a copy of PROJECTS elsewhere", "backup", {"backup/Plant"}, {{"backup/Plant/IEC_61850_Client.xml", access}},
            notConfiguration + "it holds configurations, such as Plant"},
        {"an empty folder", "empty", {"empty"}, {}, none},
        {"a folder of other files", "notes", {"notes/docs"}, {{"notes/readme.txt", "x"}}, none},
        {"a file", "Tessav.xml", {}, {{"Tessav.xml", "x"}}, " is not a folder"},
        {"nothing", "nowhere", {}, {}, " is not a folder"},
        {"a new configuration", "PROJECTS/Plant", {}, {}, {}},
        {"a configuration of files only", "PROJECTS/Files", {"PROJECTS/Files"}, {{"PROJECTS/Files/IEC_61850_Client.xml", access}},
            {}},
        {"a configuration named PROJECTS", "PROJECTS/PROJECTS", {"PROJECTS/PROJECTS/ICD_Catalog"}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        const QDir program(p.state.programFolder);
        for (const QString& folder : c.made)
            program.mkpath(folder);
        for (const auto& [file, content] : c.files)
            writeTestFile(program.filePath(file), content);
        const QString folder = program.filePath(c.folder);
        // A configuration passes its checks only with its communication settings saved.
        if (c.error.isEmpty()) {
            program.mkpath(c.folder);
            writeTestFile(joinPath(folder, "ParGen.xml"), parGen);
            writeExampleCatalog(folder);
        }
        const bool hadBin = QFileInfo::exists(joinPath(folder, "bin"));
        const QString shown = QDir::toNativeSeparators(folder);
        for (const Command* command : {&checkCommand, &buildCommand}) {
            SCOPED_TRACE(command->name);
            const CommandRun run = runCommand(*command, {folder});
            if (c.error.isEmpty()) {
                EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
                continue;
            }
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.err, "swquelmor-cli " + QString(command->name) + ": " + shown + c.error + "\n");
            EXPECT_TRUE(run.out.isEmpty());
            EXPECT_EQ(QFileInfo::exists(joinPath(folder, "bin")), hadBin) << "nothing made";
        }
    }
}
