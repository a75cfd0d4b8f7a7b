#include "configuration/core/ConfigurationLock.h"
#include "base/TextNumbers.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {

// A lock file without its holder's details was left by a process that died between making
// and filling it (or by someone else): after this long it counts as left behind.
constexpr int unreadableLockStaleMs = 10 * 1000;

Result heldBy(const QString& folder, QLockFile& lock)
{
    qint64 processId = 0;
    QString host, program;
    const bool known = lock.getLockInfo(&processId, &host, &program);
    const QString unknown = QStringLiteral("?");
    const QDateTime since = QFileInfo(ConfigurationPaths(folder).lockFile()).lastModified();
    return Result::failed(Text::ErrorConfigurationInUse,
        {QDir::toNativeSeparators(folder), known && !program.isEmpty() ? program : unknown,
            known && !host.isEmpty() ? host : unknown, known ? QString::number(processId) : unknown,
            since.isValid() ? since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : unknown});
}

} // namespace

ConfigurationLock::ConfigurationLock(QString configurationFolder)
    : configuration(std::move(configurationFolder))
{
}

ConfigurationLock::~ConfigurationLock() = default;

bool ConfigurationLock::isLockingFile(const QString& fileName)
{
    const QString& lock = ConfigurationPaths::lockFileName;
    return fileName == lock || fileName == lock + QStringLiteral(".rmlock");
}

bool ConfigurationLock::isHeld() const { return lock && lock->isLocked(); }

Result ConfigurationLock::acquire()
{
    if (isHeld())
        return Result::success();
    lock = std::make_unique<QLockFile>(ConfigurationPaths(configuration).lockFile());
    // Held as long as its process lives, however long an engineer edits: never stale by age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return Result::success();
    switch (lock->error()) {
    case QLockFile::LockFailedError: {
        qint64 processId = 0;
        QString host, program;
        if (!lock->getLockInfo(&processId, &host, &program)) {
            lock->setStaleLockTime(unreadableLockStaleMs);
            const bool taken = lock->tryLock(0);
            lock->setStaleLockTime(0);
            if (taken)
                return Result::success();
        }
        return heldBy(configuration, *lock);
    }
    case QLockFile::PermissionError:
        return Result::failed(Text::ErrorConfigurationLockDenied, {QDir::toNativeSeparators(configuration)});
    default:
        return Result::failed(Text::ErrorConfigurationLockFailed, {QDir::toNativeSeparators(configuration)});
    }
}

void ConfigurationLock::release()
{
    if (lock)
        lock->unlock();
    lock.reset();
}

Result checkConfigurationFree(const QString& configurationFolder)
{
    ConfigurationLock probe(configurationFolder);
    Result free = probe.acquire();
    // A folder where no lock file can be made cannot be in use through one.
    if (!free && free.textNumber != Text::ErrorConfigurationInUse)
        return Result::success();
    return free;
}
