#pragma once
#include "base/Files.h"
#include "base/Result.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QDateTime>
#include <QString>

// One line of the update log (update-log.csv) in the configuration folder: what was sent where, and how the
// updater ended.
struct UpdateLogEntry {
    QDateTime time;
    QString address;
    int option = 0;
    bool readBack = true;
    qint64 bank1Bytes = 0;
    qint64 bank2Bytes = 0;
    quint32 checksum = 0;
    QString outcome;
};

// A log that has reached this size is renamed to update-log.1.csv (replacing the one before)
// when the next run starts, and a new log begins: the newest runs are always kept, and a log
// never grows past what a reader takes.
inline constexpr qint64 updateLogRotateBytes = 4 * mebibyte;

// The outcome column's texts.
QString outcomeExitCode(int exitCode);
QString outcomeStillRunning();
QString outcomeNotStarted(const QString& reason);
// A run recorded when it started whose end the configurator never saw (it was closed or ended
// during the run).
QString outcomeUnknown();

// Appends the entry (and, to a new file, the heading line) in one atomic replacement of the file,
// rotating a log of updateLogRotateBytes or more first.
Result appendUpdateLog(const ConfigurationPaths& configuration, const UpdateLogEntry& entry);

// A run is recorded twice: when it starts, with the outcome unknown, and again when its outcome
// is known, which replaces the outcome of that same line. A program that ends during the run
// leaves the line with outcomeUnknown(), so no run is ever missing from the log.
Result startUpdateLog(const ConfigurationPaths& configuration, const UpdateLogEntry& entry);
// Gives the run that startUpdateLog recorded for `started` its outcome. The last line of that
// run is rewritten in place (the file replaced atomically); when it is no longer there (the log
// was edited or removed meanwhile) the completed line is appended.
Result completeUpdateLog(const ConfigurationPaths& configuration, const UpdateLogEntry& started, const QString& outcome);
