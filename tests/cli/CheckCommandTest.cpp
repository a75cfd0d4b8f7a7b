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
    const CommunicationSettings valid = defaultCommunicationSettings();
    const QString neverSaved = QStringLiteral(
        "ParGen.xml: The communication settings were never saved (Set Communication): the device would get the address "
        "0.0.0.0 on the IEC 61850 side, EtherNet/IP port 10001 and no input or output bytes");
    const QString empty = QStringLiteral("warning: IEC_61850_Client.xml: The access list is empty (IEC61850 Access): the "
                                         "device would exchange no value with any IEC 61850 server");
    struct Case {
        const char* name;
        QByteArray accessFile;
        const CommunicationSettings* parGen; // none: no ParGen.xml
        QStringList lines; // none: exit 0
        int exitCode = 1;
    };
    const Case cases[] = {
        {"valid", accessFileXml({exampleVariable()}, dataSet(exampleDataSet(), exampleMembers())), &valid, {}, 0},
        // Steps 2 and 3 never done: the device would get no usable network settings, and nothing to exchange.
        {"no files at all", {}, nullptr, {neverSaved, empty}},
        {"settings never saved", accessFileXml({exampleVariable()}), nullptr, {neverSaved}},
        {"access list never saved", {}, &valid, {empty}, 0},
        {"access list saved empty", accessFileXml({}), &valid, {empty}, 0},
        {"low bits would be lost", accessFileXml({With(exampleVariable(), {{"Port", "99999"}, {"Position", "70000"}})}), &valid,
            {access + "row 1: Port: Error row 1!! Port must be between 0 and 65535",
                access + "row 1: Position: Error row 1!! Position must be between 0 and 1399"}},
        {"direction left empty",
            accessFileXml({exampleVariable(), With(exampleVariable(), {{"ReadWrite", ""}, {"Position", "100"}})}), &valid,
            {access + "row 2: ReadWrite: Error row 2!! R/W: select Read or Write"}},
        {"data set member and row",
            accessFileXml({},
                dataSet(With(exampleDataSet(), {{"IPAddress", ""}}),
                    {exampleMember(1), With(exampleMember(2), {{"Position", "abc"}}), exampleMember(3)})),
            &valid,
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
        const CommandRun run = runCommand(checkCommand, {p.state.configurationFolder});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.lines.isEmpty() ? QString() : c.lines.join(u'\n') + u'\n');
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(QDir(joinPath(p.state.configurationFolder, "bin")).isEmpty()) << "check writes nothing";
    }
}

TEST(CliCheck, AFileTheBuildCannotReadIsAProblemToo)
{
    Project p;
    p.writeParGenFile(defaultCommunicationSettings());
    p.writeAccess(accessFileXml({With(exampleVariable(), {{"Port", nullptr}})}));
    const CommandRun run = runCommand(checkCommand, {p.state.configurationFolder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QDir::toNativeSeparators(p.paths().accessFile()) + ": item 1 of List_DA_Selected has no Port attribute\n");
    EXPECT_EQ(runCommand(checkCommand, {p.file("nowhere")}).exitCode, 1);
    EXPECT_EQ(runCommand(checkCommand, {}).exitCode, 2);
}

TEST(CliCheck, BuildRefusesAFailingProjectUnlessForced)
{
    Project p;
    p.writeParGenFile(defaultCommunicationSettings());
    p.writeAccess(accessFileXml({With(exampleVariable(), {{"Port", "99999"}})}));
    const CommandRun refused = runCommand(buildCommand, {p.state.configurationFolder});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("IEC_61850_Client.xml: row 1: Port: Error row 1!! Port must be between 0 and 65535\n"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("--force")) << refused.err.toStdString();
    EXPECT_TRUE(QDir(joinPath(p.state.configurationFolder, "bin")).isEmpty());

    // Forced, the stored file is built as it always was: the engineer has been told.
    const CommandRun forced = runCommand(buildCommand, {"--force", p.state.configurationFolder});
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
        p.writeParGenFile(defaultCommunicationSettings());
        p.writeAccess(c.accessFile);
        const QStringList args
            = c.strict ? QStringList{"--strict", p.state.configurationFolder} : QStringList{p.state.configurationFolder};
        const CommandRun run = runCommand(checkCommand, args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
    }
}

// One rule for every value: what `check` passes, `build` writes as the engineer wrote it; a
// value the device would receive otherwise (a fallback for text that is no whole number, a
// flag read as off, lost high bits of a character, a shortened fc, a character the file cannot
// hold) `check` refuses, naming where it stands, and `build` refuses with the same line.
TEST(CliCheck, CheckAndBuildAgreeOnEveryValue)
{
    struct Case {
        const char* name;
        Attrs variable; // changes of exampleVariable()
        const char* refused; // part of the line both print, or null when both pass
        qsizetype offset = -1; // where the value lies in bank2.bin when they pass (-1: anywhere)
        QByteArray bytes = {};
        Attrs dataSet = {}; // changes of exampleDataSet(), a second entry beside the variable
        std::pair<const char*, QString> setting = {}; // a value of ParGen.xml
        std::pair<QByteArray, QByteArray> written = {}; // the file's text: this written as that
    };
    const Case cases[] = {
        {"time on its timer", {{"Time", "500"}}, nullptr, 36, QByteArray::fromHex("f4010000")},
        {"no timer, time empty: the build's 1000", {{"OnTimer", "N"}, {"Time", ""}}, nullptr, 36,
            QByteArray::fromHex("e8030000")},
        {"no timer, largest time", {{"OnTimer", "N"}, {"Time", "2147483647"}}, nullptr, 36, QByteArray::fromHex("ffffff7f")},
        {"no timer, time 2147483648", {{"OnTimer", "N"}, {"Time", "2147483648"}}, "row 1: Time: "},
        {"no timer, time 4294967295", {{"OnTimer", "N"}, {"Time", "4294967295"}}, "row 1: Time: "},
        {"no timer, time 0xFFFFFFFF", {{"OnTimer", "N"}, {"Time", "0xFFFFFFFF"}}, "row 1: Time: "},
        {"no timer, blank after the time", {{"OnTimer", "N"}, {"Time", "500 "}}, "row 1: Time: "},
        {"no timer, time no number", {{"OnTimer", "N"}, {"Time", "abc"}}, "row 1: Time: "},
        {"timer flag with a blank", {{"OnTimer", " Y"}}, "row 1: OnTimer: Error row 1!! OnTimer must be Y or N"},
        {"timer flag in lower case", {{"OnChange", "y"}}, "row 1: OnChange: "},
        {"port in hexadecimal", {{"Port", "0x66"}}, nullptr, 34, QByteArray::fromHex("6600")},
        {"position after U+FEFF", {{"Position", QStringLiteral("\uFEFF5")}}, "row 1: Position: "},
        {"position after &#xFEFF;", {{"Position", "@5"}}, "row 1: Position: ", -1, {}, {}, {}, {"@", "&#xFEFF;"}},
        {"address after &#11;", {{"IPAddress", "@1.2.3.4"}},
            "line 1: the attribute IPAddress of DA_Item holds the character &#11;, which XML does not allow", -1, {}, {}, {},
            {"@", "&#11;"}},
        {"mnemonic cut at &#0;", {{"Mnemonic", "ab@cd"}}, "the attribute Mnemonic of DA_Item holds the character &#0;", -1, {},
            {}, {}, {"@", "&#0;"}},
        {"reference in Latin-1", {{"Reference", QStringLiteral("LD0/MMXU1.TotW.mag.\u00e9")}}, nullptr, -1,
            QByteArray("TotW.mag.\xE9\0", 11)},
        {"reference above U+00FF", {{"Reference", QStringLiteral("LD0/MMXU1.TotW.mag.\u20ac")}},
            "row 1: Reference: Error row 1!! Reference holds the character U+20AC: the device receives one byte per character, "
            "up to U+00FF"},
        {"fc of two characters", {}, nullptr, 24, "MX"},
        {"fc of three characters", {{"fc", "MXY"}}, "row 1: fc: Error row 1!! fc must have at most 2 characters"},
        {"start byte of a type of entered size, no number", {{"bType", "Dbpos"}, {"StartByte", "abc"}}, "row 1: StartByte: "},
        {"GOOSE flag in lower case", {}, "DataSet row 1: EnGoose: ", -1, {}, {{"EnGoose", "y"}}},
        {"GOOSE name above U+00FF", {}, "DataSet row 1: GooseName: ", -1, {}, {{"GooseName", QStringLiteral("GO\u0141")}}},
        {"GOOSE name in Latin-1", {}, nullptr, -1, QByteArray("GO\xC5\0", 4), {{"GooseName", QStringLiteral("GO\u00c5")}}},
        {"VLAN after U+FEFF", {}, "ParGen.xml: IEC61850_Client_VLAN: ", -1, {}, {},
            {"IEC61850_Client_VLAN", QStringLiteral("\uFEFF5")}},
        {"VLAN", {}, nullptr, 8, QByteArray::fromHex("05000000"), {}, {"IEC61850_Client_VLAN", "5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        CommunicationSettings settings = defaultCommunicationSettings();
        if (c.setting.first)
            settings[CommunicationKey::find(c.setting.first).value()] = c.setting.second;
        p.writeParGenFile(settings);
        QByteArray xml = accessFileXml({With(exampleVariable(), c.variable)},
            c.dataSet.empty() ? QByteArray() : dataSet(With(exampleDataSet(), c.dataSet), exampleMembers()));
        if (!c.written.first.isEmpty())
            xml.replace(c.written.first, c.written.second);
        p.writeAccess(xml);

        const CommandRun check = runCommand(checkCommand, {p.state.configurationFolder});
        const CommandRun build = runCommand(buildCommand, {p.state.configurationFolder});
        if (c.refused) {
            EXPECT_EQ(check.exitCode, 1);
            EXPECT_TRUE(check.out.contains(QString::fromUtf8(c.refused))) << check.out.toStdString();
            EXPECT_EQ(build.exitCode, 1);
            EXPECT_TRUE(build.err.contains(QString::fromUtf8(c.refused))) << build.err.toStdString();
            EXPECT_TRUE(QDir(joinPath(p.state.configurationFolder, "bin")).isEmpty()) << "nothing built";
            continue;
        }
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
        EXPECT_EQ(build.exitCode, 0) << build.err.toStdString();
        const QByteArray bank2 = readTestFile(p.Bin("bank2.bin"));
        if (c.offset >= 0)
            EXPECT_EQ(bank2.mid(c.offset, c.bytes.size()).toHex(), c.bytes.toHex());
        else
            EXPECT_TRUE(bank2.contains(c.bytes)) << bank2.toHex().toStdString();
    }
}
