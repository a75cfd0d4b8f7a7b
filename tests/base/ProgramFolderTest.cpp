#include "base/ProgramFolder.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(ProgramFolder, WritableExecutableFolderIsTheProgramFolder)
{
    QTemporaryDir exe, user;
    EXPECT_EQ(resolveProgramFolder(exe.path(), user.filePath("data")), exe.path());
    EXPECT_FALSE(QFileInfo::exists(user.filePath("data")));
}

TEST(ProgramFolder, SeedingCopiesTheInstalledFilesWithoutOverwriting)
{
    QTemporaryDir install, user;
    QDir(install.path()).mkpath("LANGUAGE");
    QDir(install.path()).mkpath("MASTER");
    writeTestFile(install.filePath("LANGUAGE/English.lng"), "STR0000 = Begin\n");
    writeTestFile(install.filePath("LANGUAGE/Italiano.lng"), "STR0000 = Inizio\n");
    writeTestFile(install.filePath("MASTER/SimQuelmor.sim"), "firmware");
    writeTestFile(install.filePath("Ethernet_Update"), "#!/bin/sh\n");
    const QString data = user.filePath("SWQuelmor");
    QDir(data).mkpath("LANGUAGE");
    writeTestFile(data + "/LANGUAGE/Italiano.lng", "edited by the user");
    seedUserFolder(install.path(), data);
    EXPECT_EQ(readTestFile(data + "/LANGUAGE/English.lng"), "STR0000 = Begin\n");
    EXPECT_EQ(readTestFile(data + "/LANGUAGE/Italiano.lng"), "edited by the user");
    EXPECT_EQ(readTestFile(data + "/MASTER/SimQuelmor.sim"), "firmware");
    EXPECT_TRUE(QFileInfo(data + "/Ethernet_Update").isSymLink());
}
