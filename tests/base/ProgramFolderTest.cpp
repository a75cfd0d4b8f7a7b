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

#ifdef Q_OS_WIN
TEST(ProgramFolder, ProgramFilesIsNeverTheProgramFolder)
{
    QTemporaryDir programFiles, user;
    const QString exe = programFiles.filePath("SWQuelmor");
    QDir().mkpath(exe);
    qputenv("ProgramFiles", QDir::toNativeSeparators(programFiles.path()).toUtf8());
    EXPECT_EQ(resolveProgramFolder(exe, user.filePath("data")), user.filePath("data"));
    EXPECT_TRUE(QFileInfo::exists(user.filePath("data")));
}
#endif

TEST(ProgramFolder, SeedingCopiesTheInstalledFilesWithoutOverwriting)
{
    QTemporaryDir install, user;
    QDir(install.path()).mkpath("LANGUAGE");
    QDir(install.path()).mkpath("MASTER");
    writeTestFile(install.filePath("LANGUAGE/English.lng"), "STR0000 = Begin\n");
    writeTestFile(install.filePath("LANGUAGE/Italiano.lng"), "STR0000 = Inizio\n");
    writeTestFile(install.filePath("MASTER/SimQuelmor.sim"), "firmware");
    writeTestFile(install.filePath("Ethernet_Update"), "#!/bin/sh\n");
    writeTestFile(install.filePath("Ethernet_Update.exe"), "MZ");
    const QString data = user.filePath("SWQuelmor");
    QDir(data).mkpath("LANGUAGE");
    writeTestFile(data + "/LANGUAGE/Italiano.lng", "edited by the user");
    seedUserFolder(install.path(), data);
    EXPECT_EQ(readTestFile(data + "/LANGUAGE/English.lng"), "STR0000 = Begin\n");
    EXPECT_EQ(readTestFile(data + "/LANGUAGE/Italiano.lng"), "edited by the user");
    EXPECT_EQ(readTestFile(data + "/MASTER/SimQuelmor.sim"), "firmware");
#ifdef Q_OS_WIN
    // A shortcut is no program: the updater is copied.
    EXPECT_EQ(readTestFile(data + "/Ethernet_Update.exe"), "MZ");
    EXPECT_FALSE(QFileInfo(data + "/Ethernet_Update.exe").isSymLink());
#else
    EXPECT_TRUE(QFileInfo(data + "/Ethernet_Update").isSymLink());
#endif
}
