#include "AccessTestData.h"
#include "Catalog.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

TEST(Catalog, StoredFileNamesArePlainNames)
{
    const std::pair<const char*, bool> cases[] = {{"A.icd", true}, {"Zähler 2.scd", true}, {"", false}, {"..", false},
        {"../A.icd", false}, {"..\\A.icd", false}, {"sub/A.icd", false}, {"/etc/A.icd", false}, {"C:\\A.icd", false}, {"a..b.icd", false}};
    for (const auto& [name, ok] : cases)
        EXPECT_EQ(Is_Catalog_File_Name(QString::fromUtf8(name)), ok) << name;
}

TEST(Catalog, RemovalRenumbersLaterDevicesAndRefusesADeviceInUse)
{
    TAccess_List access;
    for (int i = 0; i < 4; ++i)
        access.List_IEC_Dev.push_back(std::make_unique<TIEC_Device>());
    access.List_IEC_Dev[2]->Name = "third";
    // Variables refer to devices 1, 3 and a cell that is no whole number; the data set to 3.
    access.ACG_DA.Set_Row_Count(4);
    const char* varIndexes[] = {"1", "3", "x"};
    for (int r = 1; r <= 3; ++r)
        access.ACG_DA.Set_Cell(Var_Col::Index, r, varIndexes[r - 1]);
    access.ACG_DataSet.Set_Cell(DS_Col::Index, 1, "3");

    EXPECT_TRUE(Device_In_Use(access, 1));
    EXPECT_TRUE(Device_In_Use(access, 3));
    EXPECT_FALSE(Device_In_Use(access, 0));
    EXPECT_FALSE(Device_In_Use(access, -1)) << "a cell that is no whole number counts as -1, but -1 is no device";

    EXPECT_FALSE(Remove_Device(access, 1));
    EXPECT_FALSE(Remove_Device(access, 4));
    EXPECT_EQ(access.List_IEC_Dev.size(), 4u);

    ASSERT_TRUE(Remove_Device(access, 0));
    ASSERT_EQ(access.List_IEC_Dev.size(), 3u);
    EXPECT_EQ(access.List_IEC_Dev[1]->Name, "third");
    EXPECT_EQ(access.ACG_DA.Cell(Var_Col::Index, 1), "0");
    EXPECT_EQ(access.ACG_DA.Cell(Var_Col::Index, 2), "2");
    EXPECT_EQ(access.ACG_DA.Cell(Var_Col::Index, 3), "x");
    EXPECT_EQ(access.ACG_DataSet.Cell(DS_Col::Index, 1), "2");
}

TEST(Catalog, FailedImportAddsNoDevice)
{
    QTemporaryDir project;
    TAccess_List access;
    const auto never = []() -> TOverwrite_Answer {
        ADD_FAILURE() << "no question expected";
        return TOverwrite_Answer::Cancel;
    };

    // A chosen file that cannot be read: reported, nothing copied.
    TResult r = Import_SCL_File(access, project.path(), project.filePath("nowhere.icd"), never);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Message.contains("nowhere.icd")) << r.Message.toStdString();
    EXPECT_FALSE(QFile::exists(Catalog_Folder(project.path()) + "/nowhere.icd"));

    // A catalog that cannot be written (a file where the folder should be).
    QTemporaryDir blocked;
    Write_Test_File(blocked.filePath("ICD_Catalog"), "not a folder");
    Write_Test_File(blocked.filePath("A.icd"), Test_SCL("IED1"));
    r = Import_SCL_File(access, blocked.path(), blocked.filePath("A.icd"), never);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Message.contains("ICD_Catalog")) << r.Message.toStdString();

    // A file that is not well-formed: the parser's message, no device, the copy stays.
    QTemporaryDir source;
    Write_Test_File(source.filePath("bad.icd"), "<SCL><IED>\n</SCL>");
    r = Import_SCL_File(access, project.path(), source.filePath("bad.icd"), never);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Message.contains("bad.icd") && r.Message.contains("line 2")) << r.Message.toStdString();
    EXPECT_TRUE(QFile::exists(Catalog_Folder(project.path()) + "/bad.icd"));
    EXPECT_TRUE(access.List_IEC_Dev.empty());
}
