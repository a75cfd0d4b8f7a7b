#pragma once
#include "base/Result.h"
#include <QDateTime>
#include <QString>
#include <memory>

class QLockFile;

// One writer per configuration. Whatever writes into a configuration (the communication and
// access windows, swquelmor-cli build and import-csv, the image build of the update step) or
// reads its images for an updater holds the configuration's lock file while it works; a second
// one is told who holds it. The lock file records the holder's process, program and computer
// (QLockFile), so that a lock left behind by a process that has ended on this computer is taken
// over; on another computer's lock (a shared folder) nobody can tell, and it stays until that
// process lets it go or someone removes the file.
class ConfigurationLock {
public:
    explicit ConfigurationLock(QString configurationFolder);
    ~ConfigurationLock();
    ConfigurationLock(const ConfigurationLock&) = delete;
    ConfigurationLock& operator=(const ConfigurationLock&) = delete;

    // Takes the configuration for this process; success when it holds it already. Fails with
    // who holds it (Text::ErrorConfigurationInUse), or why no lock file can be made there.
    Result acquire();
    // Lets the configuration go; nothing when it is not held.
    void release();
    bool isHeld() const;
    const QString& folder() const { return configuration; }

    // Whether a file of a configuration folder belongs to the locking (the lock file and the
    // file QLockFile makes for a moment while it removes a stale one): not part of a copy.
    static bool isLockingFile(const QString& fileName);

private:
    QString configuration;
    std::unique_ptr<QLockFile> lock;
};

// Success when nobody holds the configuration now (it is taken and let go at once), else who
// holds it: for renaming or deleting a folder, which cannot be done while a lock file in it is
// held open.
Result checkConfigurationFree(const QString& configurationFolder);
