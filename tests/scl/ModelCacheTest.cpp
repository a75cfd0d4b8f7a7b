#include "scl/SclTestData.h"
#include "scl/core/ModelCache.h"
#include "support/TestSupport.h"
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime anHourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);

} // namespace

TEST(ModelCache, AModelGivenBackIsTakenAgainWhileItsFileIsUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("A.icd");
    writeTestFile(path, testScl("IED1"));
    setModifiedTime(path, anHourAgo);
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
        {"newer", [&] { setModifiedTime(path, anHourAgo.addSecs(1)); }, {}, true},
        {"longer, same time",
            [&] {
                writeTestFile(path, testScl("IED10"));
                setModifiedTime(path, anHourAgo.addSecs(1));
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
