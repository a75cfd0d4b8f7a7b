#include "access/core/AccessFile.h"
#include "scl/SclTestData.h"
#include "scl/core/ModelCache.h"
#include "support/TestSupport.h"
#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime anHourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);

} // namespace

// The access list lends its devices from the program's cache and gives them back when it is
// emptied, so that loading the access file again reads no unchanged SCL file.
TEST(ModelCache, LoadingTheAccessFileAgainReadsNoUnchangedFile)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("A.icd"), testScl("IED1"));
    writeTestFile(dir.filePath("B.icd"), testScl("IED2"));
    setModifiedTime(dir.filePath("A.icd"), anHourAgo);
    setModifiedTime(dir.filePath("B.icd"), anHourAgo);
    const QString accessFile = dir.filePath("IEC_61850_Client.xml");
    writeTestFile(accessFile,
        R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/>)"
        R"(<ICD_File Name="IED2" FileName="B.icd"/></List_ICD_Files></IEC_68850_Client>)");
    AccessList access;
    AccessFileReport report;
    ASSERT_TRUE(loadAccessFile(accessFile, dir.path(), access, report).ok);
    const int reads = catalogModels().fileReads();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(loadAccessFile(accessFile, dir.path(), access, report).ok);
        ASSERT_EQ(access.devices.size(), 2u);
        EXPECT_EQ(access.devices[1]->name, "IED2");
    }
    EXPECT_EQ(catalogModels().fileReads(), reads);
    clearAccessList(access);
}
