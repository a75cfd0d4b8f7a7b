#include "scl/SclTestData.h"
#include "access/core/Catalog.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include "configuration/core/ConfigurationPaths.h"
#include <functional>
#include <gtest/gtest.h>

TEST(Catalog, StoredFileNamesArePlainNames)
{
    const std::pair<const char*, bool> cases[]
        = {{"A.icd", true}, {"Zähler 2.scd", true}, {"", false}, {"..", false}, {"../A.icd", false}, {"..\\A.icd", false},
            {"sub/A.icd", false}, {"/etc/A.icd", false}, {"C:\\A.icd", false}, {"a..b.icd", false}};
    for (const auto& [name, ok] : cases)
        EXPECT_EQ(isCatalogFileName(QString::fromUtf8(name)), ok) << name;
}

TEST(Catalog, RemovalRenumbersLaterDevicesAndRefusesADeviceInUse)
{
    AccessList access;
    for (int i = 0; i < 4; ++i)
        access.devices.push_back(std::make_unique<Ied>());
    access.devices[2]->name = "third";
    // Variables refer to devices 1, 3 and a cell that is no whole number; the data set to 3.
    access.variableGrid.setRowCount(4);
    const char* varIndexes[] = {"1", "3", "x"};
    for (int r = 1; r <= 3; ++r)
        access.variableGrid.setCell(VariableColumn::Index, r, varIndexes[r - 1]);
    access.dataSetGrid.setCell(DataSetColumn::Index, 1, "3");

    EXPECT_TRUE(deviceInUse(access, 1));
    EXPECT_TRUE(deviceInUse(access, 3));
    EXPECT_FALSE(deviceInUse(access, 0));
    EXPECT_FALSE(deviceInUse(access, -1)) << "a cell that is no whole number counts as -1, but -1 is no device";

    EXPECT_FALSE(removeDevice(access, 1));
    EXPECT_FALSE(removeDevice(access, 4));
    EXPECT_EQ(access.devices.size(), 4u);

    ASSERT_TRUE(removeDevice(access, 0));
    ASSERT_EQ(access.devices.size(), 3u);
    EXPECT_EQ(access.devices[1]->name, "third");
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::Index, 1), "0");
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::Index, 2), "2");
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::Index, 3), "x");
    EXPECT_EQ(access.dataSetGrid.cell(DataSetColumn::Index, 1), "2");
}

TEST(Catalog, DeviceUseNamesTheFirstRowsOfEachGrid)
{
    AccessList access;
    access.variableGrid.setRowCount(9);
    for (int r = 1; r <= 8; ++r)
        access.variableGrid.setCell(VariableColumn::Index, r, r == 2 ? "1" : "0");
    access.dataSetGrid.setCell(DataSetColumn::Index, 1, "0");
    EXPECT_EQ(deviceUseText(deviceUse(access, 0)), "Variables: 1, 3, 4, 5, 6, ...; DataSet: 1");
    EXPECT_EQ(deviceUseText(deviceUse(access, 1)), "Variables: 2");
    EXPECT_EQ(deviceUseText(deviceUse(access, 2)), "");
}

TEST(Catalog, ImportOfSeveralIedsReadsTheChosenOneAndCancelWritesNothing)
{
    QTemporaryDir project;
    const QString station = Fixture("scl/station.scd");
    const auto never = []() -> OverwriteAnswer {
        ADD_FAILURE() << "no question expected";
        return OverwriteAnswer::Cancel;
    };
    AccessList access;
    QStringList offered;
    const auto pick = [&](std::optional<int> answer) {
        return [&, answer](const std::vector<IedSummary>& ieds) {
            offered.clear();
            for (const IedSummary& ied : ieds)
                offered << ied.name;
            return answer;
        };
    };
    ASSERT_TRUE(importSclFile(access, project.path(), station, never, pick(std::nullopt)).ok);
    EXPECT_EQ(offered, QStringList({"Client1", "Relay", "Meter"}));
    EXPECT_TRUE(access.devices.empty());
    EXPECT_FALSE(QFile::exists(ConfigurationPaths(project.path()).catalogFolder() + "/station.scd"))
        << "cancelled: nothing copied";

    ASSERT_TRUE(importSclFile(access, project.path(), station, never, pick(2)).ok);
    ASSERT_EQ(access.devices.size(), 1u);
    EXPECT_EQ(deviceListText(*access.devices[0], TextTable()), "Meter - station.scd");
    // Without a chooser the first IED with a logical device is read; a single IED asks nothing.
    const auto yes = [] { return OverwriteAnswer::Yes; };
    ASSERT_TRUE(importSclFile(access, project.path(), station, yes).ok);
    QTemporaryDir source;
    writeTestFile(source.filePath("one.icd"), testScl("ONE"));
    ASSERT_TRUE(importSclFile(
        access, project.path(), source.filePath("one.icd"), never, [](const std::vector<IedSummary>&) -> std::optional<int> {
            ADD_FAILURE() << "a single IED is read without a question";
            return std::nullopt;
        }).ok);
    ASSERT_EQ(access.devices.size(), 3u);
    EXPECT_EQ(access.devices[1]->name, "Relay");
    EXPECT_EQ(access.devices[2]->name, "ONE");

    // The same IED of the same file again is no second, identical entry: the copy is replaced
    // when the engineer says so, and the message tells which happened.
    const auto no = [] { return OverwriteAnswer::No; };
    for (auto [answer, text] : {std::pair{+yes, Text::ErrorDeviceListedCopyReplaced}, {+no, Text::ErrorDeviceListed}}) {
        const Result again = importSclFile(access, project.path(), station, answer, pick(1));
        EXPECT_EQ(std::pair(again.textNumber, again.args.value(0)), std::pair(int(text), QStringLiteral("Relay - station.scd")));
        EXPECT_EQ(access.devices.size(), 3u);
    }

    // A station file in UTF-16 holds no "<IED" byte string, and is asked about all the same.
    const QString text = QString::fromUtf8(readTestFile(station)).replace("UTF-8", "UTF-16");
    QByteArray wide("\xff\xfe", 2);
    wide.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    writeTestFile(source.filePath("wide.scd"), wide);
    ASSERT_TRUE(importSclFile(access, project.path(), source.filePath("wide.scd"), never, pick(1)).ok);
    EXPECT_EQ(offered, QStringList({"Client1", "Relay", "Meter"}));
    EXPECT_EQ(access.devices.back()->name, "Relay");
}

TEST(Catalog, FailedImportAddsNoDevice)
{
    QTemporaryDir project;
    AccessList access;
    const auto never = []() -> OverwriteAnswer {
        ADD_FAILURE() << "no question expected";
        return OverwriteAnswer::Cancel;
    };

    // A chosen file that cannot be read: reported, nothing copied.
    Result r = importSclFile(access, project.path(), project.filePath("nowhere.icd"), never);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(englishMessage(r).contains("nowhere.icd")) << englishMessage(r).toStdString();
    EXPECT_FALSE(QFile::exists(ConfigurationPaths(project.path()).catalogFolder() + "/nowhere.icd"));

    // A catalog that cannot be written (a file where the folder should be).
    QTemporaryDir blocked;
    writeTestFile(blocked.filePath("ICD_Catalog"), "not a folder");
    writeTestFile(blocked.filePath("A.icd"), testScl("IED1"));
    r = importSclFile(access, blocked.path(), blocked.filePath("A.icd"), never);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(englishMessage(r).contains("ICD_Catalog")) << englishMessage(r).toStdString();

    // A file that is not well-formed: the parser's message, no device, nothing copied.
    QTemporaryDir source;
    writeTestFile(source.filePath("bad.icd"), "<SCL><IED>\n</SCL>");
    r = importSclFile(access, project.path(), source.filePath("bad.icd"), never);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(englishMessage(r).contains("bad.icd") && englishMessage(r).contains("line 2")) << englishMessage(r).toStdString();
    EXPECT_FALSE(QFile::exists(ConfigurationPaths(project.path()).catalogFolder() + "/bad.icd"));
    EXPECT_TRUE(access.devices.empty());
}

namespace {

// SCL files that would only give a nameless device.
const char* const filesWithoutIed[] = {
    "<SCL/>",
    "<?xml version=\"1.0\"?><SCL xmlns=\"http://www.iec.ch/61850/2003/SCL\"><Header id=\"h\"/></SCL>",
    "<SCL><DataTypeTemplates/></SCL>",
    "<SCL><IED name=\"NoTypes\"/></SCL>", // an IED needs the type templates to be read
    "<Other><IED name=\"X\"/><DataTypeTemplates/></Other>",
    "<SCL><!-- <IED name=\"X\"/> --><DataTypeTemplates/></SCL>",
};

} // namespace

TEST(Catalog, FileWithoutIedIsRefusedAndNothingIsCopied)
{
    const auto never = []() -> OverwriteAnswer {
        ADD_FAILURE() << "no question expected";
        return OverwriteAnswer::Cancel;
    };
    for (const char* content : filesWithoutIed) {
        QTemporaryDir project;
        QTemporaryDir source;
        AccessList access;
        writeTestFile(source.filePath("empty.icd"), content);
        const Result r = importSclFile(access, project.path(), source.filePath("empty.icd"), never);
        EXPECT_FALSE(r.ok) << content;
        EXPECT_EQ(r.textNumber, Text::ErrorSclWithoutIed) << content;
        EXPECT_EQ(r.args.value(0), QDir::toNativeSeparators(source.filePath("empty.icd"))) << content;
        EXPECT_TRUE(access.devices.empty()) << content;
        EXPECT_FALSE(QFile::exists(ConfigurationPaths(project.path()).catalogFolder() + "/empty.icd")) << content;
    }
}

TEST(Catalog, RefusedFileNeverReplacesTheCopyInTheCatalog)
{
    struct Case {
        QByteArray content; // empty: the chosen file is a folder, which cannot be read
        int textNumber; // all but the file without an IED name the file
    };
    std::vector<Case> cases = {
        {"<SCL><IED name=\"NEW\">\n</SCL>", Text::ErrorXmlNotWellFormed},
        {"not xml at all", Text::ErrorXmlNotWellFormed},
        {"<SCL><DataTypeTemplates>", Text::ErrorXmlNotWellFormed},
        {"", Text::ErrorCannotReadNotFile},
    };
    for (const char* content : filesWithoutIed)
        cases.push_back({content, Text::ErrorSclWithoutIed});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.constData());
        QTemporaryDir project;
        QTemporaryDir source;
        QDir().mkpath(ConfigurationPaths(project.path()).catalogFolder());
        const QString copy = ConfigurationPaths(project.path()).catalogFolder() + "/A.icd";
        writeTestFile(copy, testScl("OLD"));
        const QString chosen = source.filePath("A.icd");
        if (c.content.isEmpty())
            QDir().mkpath(chosen);
        else
            writeTestFile(chosen, c.content);
        AccessList access;
        int asked = 0;
        const Result r = importSclFile(access, project.path(), chosen, [&] {
            ++asked;
            return OverwriteAnswer::Yes;
        });
        EXPECT_EQ(asked, 1);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.textNumber, c.textNumber);
        if (c.textNumber != Text::ErrorSclWithoutIed) {
            EXPECT_TRUE(englishMessage(r).contains("A.icd")) << englishMessage(r).toStdString();
        }
        EXPECT_TRUE(access.devices.empty());
        EXPECT_EQ(readTestFile(copy), testScl("OLD"));
        EXPECT_EQ(QDir(ConfigurationPaths(project.path()).catalogFolder()).entryList(QDir::Files), QStringList{"A.icd"})
            << "no temporary file is left behind";
    }
}

TEST(Catalog, KeptCopyWithoutIedIsRefusedToo)
{
    QTemporaryDir project;
    QTemporaryDir source;
    QDir().mkpath(ConfigurationPaths(project.path()).catalogFolder());
    writeTestFile(ConfigurationPaths(project.path()).catalogFolder() + "/A.icd", "<SCL/>");
    writeTestFile(source.filePath("A.icd"), testScl("NEW"));
    AccessList access;
    const Result r = importSclFile(access, project.path(), source.filePath("A.icd"), [] { return OverwriteAnswer::No; });
    EXPECT_EQ(r.textNumber, Text::ErrorSclWithoutIed);
    EXPECT_TRUE(access.devices.empty());
    EXPECT_EQ(readTestFile(ConfigurationPaths(project.path()).catalogFolder() + "/A.icd"), "<SCL/>");
}

// As bin and the images: a catalog, or a copy in it, that is a link leading out of the
// configuration is never written through; a link that stays inside is.
TEST(Catalog, ImportNeverWritesThroughALinkLeadingOutOfTheConfiguration)
{
    struct Case {
        const char* name;
        std::function<void(const QTemporaryDir& top)> make;
        QString written; // where the copy lands, relative to the top folder; empty when refused
        QString refused; // the path the refusal names, relative to the top folder
    };
    const Case cases[] = {
        {"catalog leading outside",
            [](const QTemporaryDir& top) {
                ASSERT_TRUE(QFile::link(top.filePath("outside"), top.filePath("Plant/ICD_Catalog")));
            },
            {}, "Plant/ICD_Catalog"},
        {"catalog leading nowhere",
            [](const QTemporaryDir& top) {
                ASSERT_TRUE(QFile::link(top.filePath("outside/missing"), top.filePath("Plant/ICD_Catalog")));
            },
            {}, "Plant/ICD_Catalog"},
        {"copy leading to a file outside",
            [](const QTemporaryDir& top) {
                QDir(top.path()).mkpath("Plant/ICD_Catalog");
                writeTestFile(top.filePath("outside/A.icd"), "outside");
                ASSERT_TRUE(QFile::link(top.filePath("outside/A.icd"), top.filePath("Plant/ICD_Catalog/A.icd")));
            },
            {}, "Plant/ICD_Catalog/A.icd"},
        {"catalog leading to a folder of the configuration",
            [](const QTemporaryDir& top) {
                QDir(top.path()).mkpath("Plant/Shared");
                ASSERT_TRUE(QFile::link(top.filePath("Plant/Shared"), top.filePath("Plant/ICD_Catalog")));
            },
            "Plant/Shared/A.icd", {}},
        {"plain catalog", [](const QTemporaryDir&) {}, "Plant/ICD_Catalog/A.icd", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir top;
        QDir(top.path()).mkpath("Plant");
        QDir(top.path()).mkpath("outside");
        QDir(top.path()).mkpath("source");
        writeTestFile(top.filePath("source/A.icd"), testScl("IED1"));
        c.make(top);
        const QStringList outsideBefore = QDir(top.filePath("outside")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        AccessList access;
        const Result r
            = importSclFile(access, top.filePath("Plant"), top.filePath("source/A.icd"), [] { return OverwriteAnswer::Yes; });
        EXPECT_EQ(QDir(top.filePath("outside")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), outsideBefore);
        if (c.written.isEmpty()) {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(englishMessage(r),
                "Cannot write " + QDir::toNativeSeparators(top.filePath(c.refused))
                    + ": it leads outside the configuration through a symbolic link");
            EXPECT_TRUE(access.devices.empty());
            if (QFileInfo::exists(top.filePath("outside/A.icd"))) {
                EXPECT_EQ(readTestFile(top.filePath("outside/A.icd")), "outside");
            }
            continue;
        }
        ASSERT_TRUE(r.ok) << englishMessage(r).toStdString();
        EXPECT_EQ(readTestFile(top.filePath(c.written)), testScl("IED1"));
        EXPECT_EQ(access.devices.size(), 1u);
    }
}
