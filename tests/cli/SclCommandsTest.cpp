#include "TestSupport.h"
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TRun {
    int Status = -1;
    QByteArray Out, Err;
};

TRun Run_Cli(const QStringList& args)
{
    QProcess cli;
    cli.start(QStringLiteral(SWQ_CLI), args);
    TRun run;
    if (!cli.waitForFinished(60000))
        return run;
    run.Status = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.Out = cli.readAllStandardOutput();
    run.Err = cli.readAllStandardError();
    return run;
}

TEST(SclCommands, DumpPrintsTheModelAsJson)
{
    const TRun run = Run_Cli({"scl-dump", Fixture("scl/basic.scd")});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty());
    QJsonParseError error;
    const QJsonObject device = QJsonDocument::fromJson(run.Out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(device["name"].toString(), "E1");
    EXPECT_EQ(device["fileName"].toString(), "basic.scd");
    const QJsonObject ln = device["lDevices"][0]["lns"][1].toObject();
    EXPECT_EQ(ln["dos"][0]["das"][0]["reference"].toString(), "E1CTRL/Q0XCBR1.Pos.stVal");
    EXPECT_EQ(ln["dataSets"][0]["reference"].toString(), "E1CTRL/XCBR.DS1");
    EXPECT_EQ(ln["dataSets"][0]["members"][0].toString(), "E1CTRL/Q0XCBR1.Pos.stVal");
}

TEST(SclCommands, InfoPrintsOneLineOfCounts)
{
    const TRun run = Run_Cli({"scl-info", Fixture("scl/basic.scd")});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "lDevices=1 lns=2 dos=2 das=3 leaves=3 dataSets=3 members=2\n");
}

TEST(SclCommands, MissingFileIsTheEmptyDevice)
{
    const TRun run = Run_Cli({"scl-dump", QDir::temp().filePath("no such folder/absent.cid")});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "{\"name\": \"\", \"fileName\": \"absent.cid\", \"lDevices\": []}\n");
}

TEST(SclCommands, MalformedFileGivesTheParserMessageAndStatusOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.icd");
    Write_Test_File(path, "<SCL>\n<IED name=\"a\">\n</SCL>\n");
    for (const char* command : {"scl-dump", "scl-info"}) {
        const TRun run = Run_Cli({command, path});
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_TRUE(run.Err.startsWith(QDir::toNativeSeparators(path).toUtf8() + ": line 3: ")) << run.Err.toStdString();
    }
}

TEST(SclCommands, HelpNamesEverySubcommandAndBadUseFails)
{
    const TRun help = Run_Cli({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(help.Out.contains("swquelmor-cli scl-dump FILE"));
    EXPECT_TRUE(help.Out.contains("swquelmor-cli scl-info FILE"));
    EXPECT_EQ(Run_Cli({"scl-dump"}).Status, 2);
    EXPECT_EQ(Run_Cli({"scl-dump", "a.scd", "b.scd"}).Status, 2);
}

} // namespace
