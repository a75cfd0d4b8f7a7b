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
    const CommandRun run = runCommand(buildCommand, {p.state.projectFolder});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("bank2.bin: 98 bytes")) << run.out.toStdString();

    Image::DeviceImage image;
    ASSERT_TRUE(image.buildImages(p.state, u'.').ok);
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
    const CommandRun run = runCommand(buildCommand, {p.state.projectFolder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QDir::toNativeSeparators(p.state.accessFile) + ": item 2 of List_DA_Selected has no Port attribute\n");
    EXPECT_TRUE(QDir(joinPath(p.state.projectFolder, "bin")).isEmpty());

    EXPECT_EQ(runCommand(buildCommand, {p.file("nowhere")}).exitCode, 1);
    EXPECT_EQ(runCommand(buildCommand, {}).exitCode, 2);
}

TEST(CliImage, InspectFailsOnAWrongChecksum)
{
    Project p;
    p.writeParGenFile(defaultCommunicationSettings());
    ASSERT_EQ(runCommand(buildCommand, {p.state.projectFolder}).exitCode, 0);
    QByteArray bank1 = readTestFile(p.Bin("bank1.bin"));
    bank1[0x40] = 1;
    writeTestFile(p.Bin("bank1.bin"), bank1);
    const CommandRun run = runCommand(inspectCommand, {p.Bin("bank1.bin")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("wrong checksum")) << run.out.toStdString();
    EXPECT_EQ(runCommand(inspectCommand, {p.Bin("missing.bin")}).exitCode, 1);
}
