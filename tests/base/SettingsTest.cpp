#include "base/Settings.h"
#include "base/Files.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

struct Expected {
    QString Project, Ip, Language;
    bool Internet, Update, Jump, AutoSize;
};

Expected Read(const QByteArray& content, bool write = true)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tessav.xml");
    if (write)
        writeTestFile(path, content);
    ProgramState state;
    state.configurationName = "stale";
    state.enableInternet = true;
    readSettings(path, state);
    return {state.configurationName, state.lastIpAddress, state.languageName, state.enableInternet, state.enableUpdate,
        state.enableJumpFieldTables, state.doubleClickAutoSize};
}

const QByteArray Full = "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj>"
                        "<lastipadd><ipaddress>10.1.2.3</ipaddress></lastipadd><lastlang><language>Italiano</language></lastlang>"
                        "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update>"
                        "<enable_jump_field_tables>1</enable_jump_field_tables><Double_Click_Auto_Size>1</Double_Click_Auto_Size>"
                        "</lastinternet></Conf_Settings>";

void Expect(const Expected& got, const Expected& want, const char* label)
{
    EXPECT_EQ(got.Project, want.Project) << label;
    EXPECT_EQ(got.Ip, want.Ip) << label;
    EXPECT_EQ(got.Language, want.Language) << label;
    EXPECT_EQ(got.Internet, want.Internet) << label;
    EXPECT_EQ(got.Update, want.Update) << label;
    EXPECT_EQ(got.Jump, want.Jump) << label;
    EXPECT_EQ(got.AutoSize, want.AutoSize) << label;
}

} // namespace

TEST(Settings, ReadsEachValueWithItsOwnDefault)
{
    const Expected defaults{"", "192.168.2.205", "English", false, false, false, false};
    struct Case {
        const char* label;
        QByteArray content;
        Expected expected;
    };
    const Case cases[] = {
        {"complete file", Full, {"Plant A", "10.1.2.3", "Italiano", true, true, true, true}},
        {"other root name", QByteArray(Full).replace("Conf_Settings", "Other"),
            {"Plant A", "10.1.2.3", "Italiano", true, true, true, true}},
        {"no lastinternet",
            "<Conf_Settings><lastproj><projectname>P</projectname></lastproj><lastipadd><ipaddress>1.2.3.4</ipaddress></"
            "lastipadd>"
            "<lastlang><language>Deutsch</language></lastlang></Conf_Settings>",
            {"P", "1.2.3.4", "Deutsch", false, false, false, false}},
        {"empty elements give empty values",
            "<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress></ipaddress></lastipadd>"
            "<lastlang><language/></lastlang></Conf_Settings>",
            {"", "", "", false, false, false, false}},
        {"flags only on exactly 1",
            "<Conf_Settings><lastinternet><enable_internet>true</enable_internet><enable_update>01</enable_update>"
            "<enable_jump_field_tables> 1</enable_jump_field_tables><Double_Click_Auto_Size/></lastinternet></Conf_Settings>",
            defaults},
        {"item holding elements", "<Conf_Settings><lastipadd><ipaddress><x>1</x></ipaddress></lastipadd></Conf_Settings>",
            defaults},
        {"declaration before the root", "<?xml version=\"1.0\"?>" + Full, defaults},
        {"comment before the root", "<!-- note -->" + Full, defaults},
        {"not XML at all", "this is not xml <", defaults},
        {"empty file", "", defaults},
    };
    for (const auto& c : cases)
        Expect(Read(c.content), c.expected, c.label);
    Expect(Read({}, false), defaults, "missing file");
}

TEST(Settings, WritesTheGroupsInOrderWithoutDeclaration)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tessav.xml");
    writeTestFile(path, "garbage that is not xml");
    ProgramState state;
    state.configurationName = "Gone & Back";
    state.lastIpAddress = "192.168.2.10";
    state.languageName = "English";
    state.enableUpdate = true;
    state.doubleClickAutoSize = true;
    ASSERT_TRUE(writeSettings(path, state).ok);
    EXPECT_EQ(readTestFile(path),
        "<Conf_Settings><lastproj><projectname>Gone &amp; Back</projectname></lastproj>"
        "<lastipadd><ipaddress>192.168.2.10</ipaddress></lastipadd><lastlang><language>English</language></lastlang>"
        "<lastinternet><enable_internet>0</enable_internet><enable_update>1</enable_update>"
        "<enable_jump_field_tables>0</enable_jump_field_tables><Double_Click_Auto_Size>1</Double_Click_Auto_Size>"
        "</lastinternet></Conf_Settings>");
    ProgramState back;
    readSettings(path, back);
    EXPECT_EQ(back.configurationName, state.configurationName);
    EXPECT_TRUE(back.enableUpdate);
    EXPECT_FALSE(back.enableInternet);
}

TEST(Settings, FailedWriteIsReportedAndLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing-folder/Tessav.xml");
    ProgramState state;
    EXPECT_FALSE(writeSettings(path, state).ok);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Settings, RememberedConfigurationOnlyEverNamesAFolderInsideProjects)
{
    QTemporaryDir top;
    QDir(top.path()).mkpath("somewhere");
    QDir(top.path()).mkpath("program/PROJECTS/Plant A");
    QDir(top.path()).mkpath("program/PROJECTS/Nested/Inner");
    writeTestFile(top.filePath("program/PROJECTS/Plain file"), "x");
    ASSERT_TRUE(QFile::link(top.filePath("somewhere"), top.filePath("program/PROJECTS/Away")));
    ASSERT_TRUE(QFile::link(top.filePath("program/PROJECTS/Plant A"), top.filePath("program/PROJECTS/Alias")));
    ASSERT_TRUE(QFile::link(top.filePath("program/PROJECTS"), top.filePath("program/PROJECTS/Self")));
    ASSERT_TRUE(QFile::link(top.filePath("nowhere"), top.filePath("program/PROJECTS/Dangling")));
    ProgramState state;
    state.setProgramFolder(top.filePath("program"));

    const std::pair<const char*, bool> cases[] = {
        {"Plant A", true},
        {"Alias", true}, // a link that stays inside PROJECTS
        {"../../somewhere", false},
        {"../../../../etc", false},
        {"..", false},
        {".", false},
        {"", false},
        {"Nested/Inner", false},
        {"Nested\\Inner", false},
        {"Plant A/", false},
        {"/etc", false},
        {"Away", false}, // a link leading outside
        {"Self", false}, // PROJECTS itself
        {"Dangling", false},
        {"Plain file", false},
        {"Deleted", false},
    };
    for (const auto& [name, ok] : cases) {
        const QString folder = state.existingConfigurationFolder(QString::fromUtf8(name));
        EXPECT_EQ(folder, ok ? joinPath(state.projectsFolder, QString::fromUtf8(name)) : QString()) << name;
    }
}

// Two instances of the program on one program folder: each saves only the options it changed,
// so neither undoes the other's, and closing one never writes back its old options.
TEST(Settings, TwoInstancesKeepEachOthersChoices)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tessav.xml");
    writeTestFile(path, Full); // Plant A, 10.1.2.3, Italiano, every flag on
    ProgramState first, second;
    readSettings(path, first);
    readSettings(path, second);

    // The second changes the language and the device address and saves (Options, OK).
    second.languageName = "Deutsch";
    second.lastIpAddress = "10.9.9.9";
    ASSERT_TRUE(writeSettings(path, second).ok);
    // The first turns the Internet off and opens another configuration, and closes.
    first.enableInternet = false;
    first.configurationName = "Plant B";
    ASSERT_TRUE(writeSettings(path, first).ok);
    const Expected both{"Plant B", "10.9.9.9", "Deutsch", false, true, true, true};
    Expect(Read(readTestFile(path)), both, "after both saved");

    // The second closes without another change: the first's newer choices stay.
    ASSERT_TRUE(writeSettings(path, second).ok);
    Expect(Read(readTestFile(path)), both, "after the second closed");
    // A value changed back to what was read is a change too.
    second.enableInternet = true; // it read "on", the first saved "off": unchanged for it
    ASSERT_TRUE(writeSettings(path, second).ok);
    Expect(Read(readTestFile(path)), both, "unchanged value");
    second.languageName = "Italiano";
    ASSERT_TRUE(writeSettings(path, second).ok);
    Expect(Read(readTestFile(path)), {"Plant B", "10.9.9.9", "Italiano", false, true, true, true}, "changed back");

    // A file that is gone or broken is written whole from the instance's values.
    for (const QByteArray& broken : {QByteArray(), QByteArray("not xml <")}) {
        if (broken.isNull())
            QFile::remove(path);
        else
            writeTestFile(path, broken);
        ASSERT_TRUE(writeSettings(path, first).ok);
        Expect(Read(readTestFile(path)), {"Plant B", "10.1.2.3", "Italiano", false, true, true, true},
            broken.isNull() ? "missing file" : "broken file");
    }
}
