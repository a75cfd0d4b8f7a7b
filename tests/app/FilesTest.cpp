#include "Files.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

TEST(Files, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.xml");
    Write_Test_File(path, "old");
    const QByteArray big(4096, 'n');
    TResult result;
    {
        const TFile_Size_Limit full_Disk(1000); // part of the data fits: a short write
        result = Write_File_Atomic(path, big);
    }
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.Message.contains("data.xml")) << result.Message.toStdString();
    EXPECT_EQ(Read_Test_File(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.xml"});

    ASSERT_TRUE(Write_File_Atomic(path, big).Ok);
    EXPECT_EQ(Read_Test_File(path), big);
}
