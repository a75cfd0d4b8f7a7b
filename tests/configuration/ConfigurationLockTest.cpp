#include "configuration/core/ConfigurationLock.h"
#include "base/TextTable.h"
#include "base/TextNumbers.h"
#include "support/OtherHolder.h"
#include "support/TestSupport.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSysInfo>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString lockFile(const QTemporaryDir& dir) { return ConfigurationPaths(dir.path()).lockFile(); }

void makeOld(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
}

} // namespace

// Whatever stands in the configuration when a second writer comes: it is told who holds the
// configuration, or takes over a lock that nobody holds any more.
TEST(ConfigurationLock, SecondWriterIsToldWhoHoldsItAndTakesOverWhatIsLeftBehind)
{
    struct Case {
        const char* name;
        // Prepares the folder; what it keeps alive lives as long as the case.
        std::function<std::shared_ptr<void>(const QTemporaryDir& dir)> prepare;
        bool taken;
        // The holder named in the refusal: program, host, process (empty: not checked).
        std::function<QStringList(const std::shared_ptr<void>& kept)> holder;
    };
    const QString host = lockHostName();
    const Case cases[] = {
        {"free", [](const QTemporaryDir&) { return std::shared_ptr<void>(); }, true, {}},
        {"held by another program",
            [](const QTemporaryDir& dir) { return std::static_pointer_cast<void>(std::make_shared<OtherHolder>(dir.path())); },
            false,
            [&](const std::shared_ptr<void>& kept) {
                const auto* other = static_cast<const OtherHolder*>(kept.get());
                return QStringList{lockProgramName(QStringLiteral(SWQ_LOCK_HOLDER)), host, QString::number(other->processId())};
            }},
        {"left by a program that crashed",
            [](const QTemporaryDir& dir) {
                OtherHolder other(dir.path());
                other.crash();
                EXPECT_TRUE(QFileInfo::exists(ConfigurationPaths(dir.path()).lockFile()));
                return std::shared_ptr<void>();
            },
            true, {}},
        {"let go by a program that ended",
            [](const QTemporaryDir& dir) {
                OtherHolder other(dir.path());
                other.letGo();
                return std::shared_ptr<void>();
            },
            true, {}},
        {"held by this program elsewhere",
            [](const QTemporaryDir& dir) {
                auto other = std::make_shared<ConfigurationLock>(dir.path());
                EXPECT_TRUE(other->acquire().ok);
                return std::static_pointer_cast<void>(other);
            },
            false,
            [&](const std::shared_ptr<void>&) {
                return QStringList{lockProgramName(QCoreApplication::applicationFilePath()), host,
                    QString::number(QCoreApplication::applicationPid())};
            }},
        {"held on another computer, whose processes nobody can see",
            [](const QTemporaryDir& dir) {
                writeTestFile(lockFile(dir), "1\nSWQuelmor\nother-computer\n");
                makeOld(lockFile(dir));
                return std::shared_ptr<void>();
            },
            false,
            [](const std::shared_ptr<void>&) {
                return QStringList{"SWQuelmor", "other-computer", "1"};
            }},
        {"an empty lock file just made (its holder is writing it)",
            [](const QTemporaryDir& dir) {
                writeTestFile(lockFile(dir), "");
                return std::shared_ptr<void>();
            },
            false,
            [](const std::shared_ptr<void>&) {
                return QStringList{"?", "?", "?"};
            }},
        {"an empty lock file of long ago",
            [](const QTemporaryDir& dir) {
                writeTestFile(lockFile(dir), "");
                makeOld(lockFile(dir));
                return std::shared_ptr<void>();
            },
            true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const std::shared_ptr<void> kept = c.prepare(dir);
        ConfigurationLock mine(dir.path());
        const Result held = mine.acquire();
        EXPECT_EQ(held.ok, c.taken) << englishMessage(held).toStdString();
        EXPECT_EQ(mine.isHeld(), c.taken);
        if (c.taken) {
            mine.release();
            EXPECT_FALSE(QFileInfo::exists(lockFile(dir)));
            continue;
        }
        EXPECT_EQ(held.textNumber, Text::ErrorConfigurationInUse);
        ASSERT_EQ(held.args.size(), 5);
        EXPECT_EQ(held.args[0], QDir::toNativeSeparators(dir.path()));
        EXPECT_EQ(held.args.mid(1, 3), c.holder(kept));
        // Since when: the lock file's time, to the second.
        const QDateTime since = QDateTime::fromString(held.args[4], QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        EXPECT_TRUE(since.isValid()) << held.args[4].toStdString();
        EXPECT_LE(qAbs(since.secsTo(QFileInfo(lockFile(dir)).lastModified())), 1);
        EXPECT_TRUE(
            englishMessage(held).startsWith("The configuration " + QDir::toNativeSeparators(dir.path()) + " is in use by "))
            << englishMessage(held).toStdString();
    }
}

TEST(ConfigurationLock, IsLetGoWhenItsHolderEnds)
{
    QTemporaryDir dir;
    {
        ConfigurationLock first(dir.path());
        ASSERT_TRUE(first.acquire().ok);
        EXPECT_TRUE(first.acquire().ok); // held already
        EXPECT_FALSE(checkConfigurationFree(dir.path()).ok);
        EXPECT_TRUE(QFileInfo::exists(lockFile(dir)));
    }
    EXPECT_FALSE(QFileInfo::exists(lockFile(dir)));
    EXPECT_TRUE(checkConfigurationFree(dir.path()).ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST(ConfigurationLock, FolderWithoutRoomForALockSaysWhy)
{
    QTemporaryDir dir;
    ConfigurationLock missing(dir.filePath("gone"));
    const Result result = missing.acquire();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.textNumber, Text::ErrorConfigurationLockFailed);
    EXPECT_FALSE(missing.isHeld());
    // Nobody can hold what cannot be locked: renaming or deleting it is not stopped by a lock.
    EXPECT_TRUE(checkConfigurationFree(dir.filePath("gone")).ok);
}
