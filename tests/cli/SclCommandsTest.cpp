#include "cli/CliRun.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(SclCommands, DumpPrintsTheModelAsJson)
{
    const CliRun run = runCli({"scl-dump", Fixture("scl/basic.scd")});
    ASSERT_EQ(run.status, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty());
    QJsonParseError error;
    const QJsonObject device = QJsonDocument::fromJson(run.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(device["name"].toString(), "E1");
    EXPECT_EQ(device["fileName"].toString(), "basic.scd");
    const QJsonObject ln = device["lDevices"][0]["lns"][1].toObject();
    EXPECT_EQ(ln["dos"][0]["das"][0]["reference"].toString(), "E1CTRL/Q0XCBR1.Pos.stVal");
    EXPECT_EQ(ln["dataSets"][0]["reference"].toString(), "E1CTRL/XCBR.DS1");
    EXPECT_EQ(ln["dataSets"][0]["members"][0].toString(), "E1CTRL/Q0XCBR1.Pos.stVal");
}

TEST(SclCommands, InfoPrintsTheCountsThenEveryIed)
{
    const CliRun run = runCli({"scl-info", Fixture("scl/basic.scd")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
        "lDevices=1 lns=2 dos=2 das=3 leaves=3 dataSets=3 members=2\n"
        "IED name=\"E1\" lDevices=1 lns=2 ip= manufacturer=\"\" type=\"\" desc=\"\"\n"
        "IED name=\"E2\" lDevices=1 lns=1 ip= manufacturer=\"\" type=\"\" desc=\"\"\n");

    const CliRun station = runCli({"scl-info", Fixture("scl/station.scd"), "--ied", "Relay"});
    EXPECT_EQ(station.status, 0) << station.Err.toStdString();
    EXPECT_EQ(station.out,
        "lDevices=2 lns=4 dos=4 das=7 leaves=6 dataSets=1 members=1\n"
        "IED name=\"Client1\" lDevices=0 lns=0 ip= manufacturer=\"Acme\" type=\"HMI\" desc=\"Station HMI\"\n"
        "IED name=\"Relay\" lDevices=2 lns=4 ip=10.0.0.5 manufacturer=\"Relays & Co\" type=\"P100\" "
        "desc=\"Feeder protection\"\n"
        "IED name=\"Meter\" lDevices=1 lns=2 ip=10.0.0.7,10.1.0.7 manufacturer=\"Meters Inc\" type=\"M2\" desc=\"\"\n");
}

TEST(SclCommands, DumpOfTheChosenIed)
{
    const QString station = Fixture("scl/station.scd");
    const struct {
        QStringList args;
        const char* ied;
    } cases[] = {
        {{"scl-dump", station}, "Client1"},
        {{"scl-dump", station, "--ied", "Meter"}, "Meter"},
        {{"scl-dump", "--ied", "Relay", station}, "Relay"},
        {{"scl-dump", station, "--ied", "Nobody"}, "Client1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = runCli(c.args);
        ASSERT_EQ(run.status, 0) << run.Err.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(run.out).object()["name"].toString(), c.ied);
    }
    EXPECT_EQ(runCli({"scl-dump", station, "--ied"}).status, 2);
    EXPECT_EQ(runCli({"scl-dump", station, "--ied", "A", "--ied", "B"}).status, 2);
}

// The catalog reads a copy that has gone as the empty device; a file named on the command line
// that is not there is said so, with exit 1, and no model is printed.
TEST(SclCommands, MissingFileIsAnError)
{
    QTemporaryDir dir;
    QFile::link(dir.filePath("gone.cid"), dir.filePath("dangling.cid"));
    for (const QString& path : {QDir::temp().filePath("no such folder/absent.cid"), dir.filePath("dangling.cid")})
        for (const char* command : {"scl-dump", "scl-info"}) {
            SCOPED_TRACE((QString::fromLatin1(command) + u' ' + path).toStdString());
            const CliRun run = runCli({command, path});
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
            EXPECT_EQ(run.Err, "Cannot read " + QDir::toNativeSeparators(path).toUtf8() + ": there is no such file\n");
        }
}

TEST(SclCommands, MalformedFileGivesTheParserMessageAndStatusOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.icd");
    writeTestFile(path, "<SCL>\n<IED name=\"a\">\n</SCL>\n");
    for (const char* command : {"scl-dump", "scl-info"}) {
        const CliRun run = runCli({command, path});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.Err.startsWith(QDir::toNativeSeparators(path).toUtf8() + ": line 3: ")) << run.Err.toStdString();
    }
}

TEST(SclCommands, HelpNamesEverySubcommandAndBadUseFails)
{
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("\n  scl-dump "));
    EXPECT_TRUE(help.out.contains("\n  scl-info "));
    EXPECT_TRUE(runCli({"scl-dump", "--help"}).out.startsWith("Usage: swquelmor-cli scl-dump FILE [--ied NAME]\n"));
    EXPECT_TRUE(runCli({"scl-info", "--help"}).out.startsWith("Usage: swquelmor-cli scl-info FILE [--ied NAME]\n"));
    EXPECT_EQ(runCli({"scl-dump"}).status, 2);
    EXPECT_EQ(runCli({"scl-dump", "a.scd", "b.scd"}).status, 2);
}

// Output that cannot be written (here: to /dev/full, a device that is always full) must not
// pass for the whole: the caller would take truncated JSON for the model.
#ifdef Q_OS_UNIX
// /dev/full: a full disk that refuses every write.
TEST(SclCommands, OutputThatCannotBeWrittenFails)
{
    ASSERT_TRUE(QFileInfo::exists("/dev/full"));
    const QStringList cases[] = {
        {"scl-dump", Fixture("scl/basic.scd")},
        {"scl-info", Fixture("scl/basic.scd")},
        {"--help"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess cli;
        cli.setStandardOutputFile("/dev/full");
        cli.start(QStringLiteral(SWQ_CLI), args);
        ASSERT_TRUE(cli.waitForFinished(60000));
        const QByteArray err = cli.readAllStandardError();
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_NE(cli.exitCode(), 0);
        EXPECT_TRUE(err.contains(std::strerror(ENOSPC))) << args.join(' ').toStdString() << ": " << err.toStdString();
    }
}
#endif

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
TEST(ImageCommands, BuildOnAFullDiskFailsAndKeepsTheOldImages)
{
    QTemporaryDir dir;
    const QString bin = dir.filePath("bin");
    QDir().mkpath(bin);
    writeTestFile(bin + "/bank1.bin", "old bank1");
    writeTestFile(bin + "/bank2.bin", "old bank2");
    writeTestFile(dir.filePath("ParGen.xml"), "<Par_Gen/>"); // every setting its default
    CliRun run;
    {
        // The limit and its ignored signal pass on to the started program.
        const FileSizeLimit fullDisk(1000);
        run = runCli({"build", dir.path()});
    }
    EXPECT_EQ(run.status, 1) << run.out.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.Err.contains(std::strerror(EFBIG))) << run.Err.toStdString();
    EXPECT_EQ(readTestFile(bin + "/bank1.bin"), "old bank1");
    EXPECT_EQ(readTestFile(bin + "/bank2.bin"), "old bank2");
}
#endif

} // namespace
