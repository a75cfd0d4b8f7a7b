#include "cli/CheckCommand.h"
#include "cli/ImageCommands.h"
#include "cli/CommandRun.h"
#include "support/ImageTestSupport.h"
#include <gtest/gtest.h>

using namespace ImageTest;

TEST(CliCheck, ListsEveryProblemWithFileRowAndColumn)
{
    const QString access = QStringLiteral("IEC_61850_Client.xml: ");
    CommunicationSettings badVlan = defaultCommunicationSettings();
    badVlan["IEC61850_Client_VLAN"] = "12345678";
    badVlan["EtherNetIP_SM2"] = "0";
    struct Case {
        const char* name;
        QByteArray accessFile;
        const CommunicationSettings* parGen;
        QStringList lines; // none: exit 0
    };
    const Case cases[] = {
        {"valid", accessFileXml({exampleVariable()}, dataSet(exampleDataSet(), exampleMembers())), nullptr, {}},
        {"no files at all", {}, nullptr, {}},
        {"low bits would be lost", accessFileXml({With(exampleVariable(), {{"Port", "99999"}, {"Position", "70000"}})}), nullptr,
            {access + "row 1: Port: Error row 1!! Port must be between 0 and 65535",
                access + "row 1: Position: Error row 1!! Position must be between 0 and 1399"}},
        {"direction left empty",
            accessFileXml({exampleVariable(), With(exampleVariable(), {{"ReadWrite", ""}, {"Position", "100"}})}), nullptr,
            {access + "row 2: ReadWrite: Error row 2!! R/W: select Read or Write"}},
        {"data set member and row",
            accessFileXml({},
                dataSet(With(exampleDataSet(), {{"IPAddress", ""}}),
                    {exampleMember(1), With(exampleMember(2), {{"Position", "abc"}}), exampleMember(3)})),
            nullptr,
            {access
                    + "DataSet row 1: IPAddress: Error DataSet row 1!! IP Address must be a valid TCP IP Address (Ex. "
                      "192.168.1.125)",
                access
                    + "DataSet row 1, member 2: Position: Error DataSet row 1, member 2!! Position must be between 0 and 1399"}},
        {"settings first", accessFileXml({With(exampleVariable(), {{"StartBit", "8"}})}), &badVlan,
            {"ParGen.xml: IEC61850_Client_VLAN: Error IEC61850 Client!! VLAN must be between 0 and 4094",
                "ParGen.xml: EtherNetIP_SM: Error EtherNet/IP!! SUBNET Mask must have contiguous ones and must not be 0.0.0.0",
                access + "row 1: StartBit: Error row 1!! Start Bit must be between 0 and 7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        if (!c.accessFile.isEmpty())
            p.writeAccess(c.accessFile);
        if (c.parGen)
            p.writeParGenFile(*c.parGen);
        const CommandRun run = runCommand(checkCommand, {p.state.projectFolder});
        EXPECT_EQ(run.exitCode, c.lines.isEmpty() ? 0 : 1);
        EXPECT_EQ(run.out, c.lines.isEmpty() ? QString() : c.lines.join(u'\n') + u'\n');
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(QDir(joinPath(p.state.projectFolder, "bin")).isEmpty()) << "check writes nothing";
    }
}

TEST(CliCheck, AFileTheBuildCannotReadIsAProblemToo)
{
    Project p;
    p.writeAccess(accessFileXml({With(exampleVariable(), {{"Port", nullptr}})}));
    const CommandRun run = runCommand(checkCommand, {p.state.projectFolder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QDir::toNativeSeparators(p.state.accessFile) + ": item 1 of List_DA_Selected has no Port attribute\n");
    EXPECT_EQ(runCommand(checkCommand, {p.file("nowhere")}).exitCode, 1);
    EXPECT_EQ(runCommand(checkCommand, {}).exitCode, 2);
}

TEST(CliCheck, BuildRefusesAFailingProjectUnlessForced)
{
    Project p;
    p.writeAccess(accessFileXml({With(exampleVariable(), {{"Port", "99999"}})}));
    const CommandRun refused = runCommand(buildCommand, {p.state.projectFolder});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("IEC_61850_Client.xml: row 1: Port: Error row 1!! Port must be between 0 and 65535\n"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("--force")) << refused.err.toStdString();
    EXPECT_TRUE(QDir(joinPath(p.state.projectFolder, "bin")).isEmpty());

    // Forced, the stored file is built as it always was: the engineer has been told.
    const CommandRun forced = runCommand(buildCommand, {"--force", p.state.projectFolder});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_TRUE(forced.err.contains("Port must be between 0 and 65535"));
    EXPECT_EQ(readTestFile(p.Bin("bank2.bin")).mid(24 + 10, 2).toHex(), QByteArray("9f86")); // 99999 & 0xFFFF
    EXPECT_EQ(runCommand(buildCommand, {"--force"}).exitCode, 2);
}

// Entries meeting in the internal data array are warnings: the device takes them, so only
// --strict fails the check for them; an error still fails it either way.
TEST(CliCheck, DataArrayOverlapsAreWarningsUnlessStrict)
{
    // exampleVariable() is a FLOAT32 at Position 10.
    const QString overlap
        = QStringLiteral("warning: IEC_61850_Client.xml: Variables row 2 overlaps Variables row 1 at position 10\n");
    struct Case {
        const char* name;
        QByteArray accessFile;
        bool strict;
        int exitCode;
        QString out;
    };
    const Case cases[] = {
        {"overlap", accessFileXml({exampleVariable(), exampleVariable()}), false, 0, overlap},
        {"overlap, strict", accessFileXml({exampleVariable(), exampleVariable()}), true, 1, overlap},
        {"apart, strict", accessFileXml({exampleVariable(), With(exampleVariable(), {{"Position", "100"}})}), true, 0, {}},
        {"error and overlap", accessFileXml({exampleVariable(), With(exampleVariable(), {{"Port", "99999"}})}), false, 1,
            "IEC_61850_Client.xml: row 2: Port: Error row 2!! Port must be between 0 and 65535\n" + overlap},
        {"past the end is an error", accessFileXml({With(exampleVariable(), {{"Position", "1398"}})}), false, 1,
            "IEC_61850_Client.xml: Variables row 1 at position 1398 runs past position 1399\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        p.writeAccess(c.accessFile);
        const QStringList args = c.strict ? QStringList{"--strict", p.state.projectFolder} : QStringList{p.state.projectFolder};
        const CommandRun run = runCommand(checkCommand, args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
    }
}
