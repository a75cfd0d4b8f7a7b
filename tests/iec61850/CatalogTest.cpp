#include "iec61850/AccessTestData.h"
#include "iec61850/core/Catalog.h"
#include "support/TestSupport.h"
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
    EXPECT_TRUE(r.message.contains("nowhere.icd")) << r.message.toStdString();
    EXPECT_FALSE(QFile::exists(catalogFolder(project.path()) + "/nowhere.icd"));

    // A catalog that cannot be written (a file where the folder should be).
    QTemporaryDir blocked;
    writeTestFile(blocked.filePath("ICD_Catalog"), "not a folder");
    writeTestFile(blocked.filePath("A.icd"), testScl("IED1"));
    r = importSclFile(access, blocked.path(), blocked.filePath("A.icd"), never);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("ICD_Catalog")) << r.message.toStdString();

    // A file that is not well-formed: the parser's message, no device, the copy stays.
    QTemporaryDir source;
    writeTestFile(source.filePath("bad.icd"), "<SCL><IED>\n</SCL>");
    r = importSclFile(access, project.path(), source.filePath("bad.icd"), never);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("bad.icd") && r.message.contains("line 2")) << r.message.toStdString();
    EXPECT_TRUE(QFile::exists(catalogFolder(project.path()) + "/bad.icd"));
    EXPECT_TRUE(access.devices.empty());
}
