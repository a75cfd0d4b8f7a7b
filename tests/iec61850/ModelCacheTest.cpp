#include "iec61850/AccessTestData.h"
#include "iec61850/core/AccessFile.h"
#include "iec61850/core/ModelCache.h"
#include "support/TestSupport.h"
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Files written just now are not trusted to show their next change: the tests date them back.
void setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

const QDateTime anHourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);

} // namespace

TEST(ModelCache, AModelGivenBackIsTakenAgainWhileItsFileIsUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("A.icd");
    writeTestFile(path, testScl("IED1"));
    setModified(path, anHourAgo);
    ModelCache cache;
    std::unique_ptr<Ied> device;

    struct Step {
        const char* what;
        std::function<void()> before;
        QString iedName;
        bool read; // whether the file is read
    };
    const Step steps[] = {
        {"first", [] {}, {}, true},
        {"unchanged", [] {}, {}, false},
        {"another IED name", [] {}, "IED2", true},
        {"the first name again", [] {}, {}, false},
        {"newer", [&] { setModified(path, anHourAgo.addSecs(1)); }, {}, true},
        {"longer, same time",
            [&] {
                writeTestFile(path, testScl("IED10"));
                setModified(path, anHourAgo.addSecs(1));
            },
            {}, true},
        {"idle models dropped", [&] { cache.dropIdle(); }, {}, true},
        {"written just now", [&] { writeTestFile(path, testScl("IED11")); }, {}, true},
        {"and read again", [] {}, {}, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.before();
        const int reads = cache.fileReads();
        ASSERT_TRUE(cache.take(path, step.iedName, device).ok);
        EXPECT_EQ(cache.fileReads() - reads, step.read ? 1 : 0);
        EXPECT_EQ(device->fileName, "A.icd");
        cache.giveBack(std::move(device));
    }
    // A device the cache did not lend is not kept.
    auto other = std::make_unique<Ied>();
    other->fileName = "A.icd";
    other->name = "IED11";
    cache.giveBack(std::move(other));
    const int reads = cache.fileReads();
    ASSERT_TRUE(cache.take(path, {}, device).ok);
    EXPECT_EQ(cache.fileReads() - reads, 1);
}

// The access list lends its devices from the program's cache and gives them back when it is
// emptied, so that loading the access file again reads no unchanged SCL file.
TEST(ModelCache, LoadingTheAccessFileAgainReadsNoUnchangedFile)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("A.icd"), testScl("IED1"));
    writeTestFile(dir.filePath("B.icd"), testScl("IED2"));
    setModified(dir.filePath("A.icd"), anHourAgo);
    setModified(dir.filePath("B.icd"), anHourAgo);
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
