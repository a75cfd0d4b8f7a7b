#include "ImageCommands.h"
#include "ImageTestSupport.h"
#include <gtest/gtest.h>

using namespace Image_Test;

namespace {

struct TRun {
    int Exit;
    QString Out, Err;
};
TRun Run_Command(const TCommand& command, const QStringList& args)
{
    TRun run;
    {
        QTextStream out(&run.Out), err(&run.Err);
        run.Exit = command.Run(args, out, err);
    }
    return run;
}

} // namespace

TEST(CliImage, BuildWritesTheSameImagesAsTheUpdateStep)
{
    TProject p;
    p.Write_Access(Access_File({Example_Variable()}));
    const TRun run = Run_Command(Build_Command, {p.State.Project_Folder});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains("bank2.bin: 98 bytes")) << run.Out.toStdString();

    Image::TDevice_Image image;
    ASSERT_TRUE(image.Create_Bin(p.State, u'.').Ok);
    EXPECT_EQ(Read_Test_File(p.Bin("bank1.bin")), Bytes(image.Bank1()));
    EXPECT_EQ(Read_Test_File(p.Bin("bank2.bin")), Bytes(image.Bank2()));

    const TRun inspect = Run_Command(Inspect_Command, {p.Bin("bank2.bin")});
    EXPECT_EQ(inspect.Exit, 0);
    EXPECT_TRUE(inspect.Out.contains("-> \"LD0/MMXU1.TotW.mag.f\"")) << inspect.Out.toStdString();
    EXPECT_EQ(Run_Command(Inspect_Command, {p.Bin("bank1.bin")}).Exit, 0);
}

TEST(CliImage, FailedBuildPrintsTheErrorAndWritesNothing)
{
    TProject p;
    p.Write_Access(Access_File({Example_Variable(), With(Example_Variable(), {{"Port", nullptr}})}));
    const TRun run = Run_Command(Build_Command, {p.State.Project_Folder});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, QDir::toNativeSeparators(p.State.IEC_Client_File) + ": item 2 of List_DA_Selected has no Port attribute\n");
    EXPECT_TRUE(QDir(Join_Path(p.State.Project_Folder, "bin")).isEmpty());

    EXPECT_EQ(Run_Command(Build_Command, {p.File("nowhere")}).Exit, 1);
    EXPECT_EQ(Run_Command(Build_Command, {}).Exit, 2);
}

TEST(CliImage, InspectFailsOnAWrongChecksum)
{
    TProject p;
    ASSERT_EQ(Run_Command(Build_Command, {p.State.Project_Folder}).Exit, 0);
    QByteArray bank1 = Read_Test_File(p.Bin("bank1.bin"));
    bank1[0x40] = 1;
    Write_Test_File(p.Bin("bank1.bin"), bank1);
    const TRun run = Run_Command(Inspect_Command, {p.Bin("bank1.bin")});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Out.contains("wrong checksum")) << run.Out.toStdString();
    EXPECT_EQ(Run_Command(Inspect_Command, {p.Bin("missing.bin")}).Exit, 1);
}
