#include "ProgramFolder.h"
#include "TestSupport.h"
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(ProgramFolder, WritableExecutableFolderIsTheProgramFolder)
{
    QTemporaryDir exe, user;
    EXPECT_EQ(Resolve_Program_Folder(exe.path(), user.filePath("data")), exe.path());
    EXPECT_FALSE(QFileInfo::exists(user.filePath("data")));
}

TEST(ProgramFolder, SeedingCopiesTheInstalledFilesWithoutOverwriting)
{
    QTemporaryDir install, user;
    QDir(install.path()).mkpath("LANGUAGE");
    QDir(install.path()).mkpath("MASTER");
    Write_Test_File(install.filePath("LANGUAGE/English.lng"), "STR0000 = Begin\n");
    Write_Test_File(install.filePath("LANGUAGE/Italiano.lng"), "STR0000 = Inizio\n");
    Write_Test_File(install.filePath("MASTER/SimQuelmor.sim"), "firmware");
    Write_Test_File(install.filePath("Ethernet_Update"), "#!/bin/sh\n");
    const QString data = user.filePath("SWQuelmor");
    QDir(data).mkpath("LANGUAGE");
    Write_Test_File(data + "/LANGUAGE/Italiano.lng", "edited by the user");
    Seed_User_Folder(install.path(), data);
    EXPECT_EQ(Read_Test_File(data + "/LANGUAGE/English.lng"), "STR0000 = Begin\n");
    EXPECT_EQ(Read_Test_File(data + "/LANGUAGE/Italiano.lng"), "edited by the user");
    EXPECT_EQ(Read_Test_File(data + "/MASTER/SimQuelmor.sim"), "firmware");
    EXPECT_TRUE(QFileInfo(data + "/Ethernet_Update").isSymLink());
}
