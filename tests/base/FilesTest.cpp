#include "base/Files.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(Files, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.xml");
    writeTestFile(path, "old");
    const QByteArray big(4096, 'n');
    Result result;
    {
        const FileSizeLimit fullDisk(1000); // part of the data fits: a short write
        result = writeFileAtomically(path, big);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains("data.xml")) << result.message.toStdString();
    EXPECT_EQ(readTestFile(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.xml"});

    ASSERT_TRUE(writeFileAtomically(path, big).ok);
    EXPECT_EQ(readTestFile(path), big);
}
