#pragma once
#include "base/Result.h"
#include <QDateTime>
#include <QString>

// One line of update-log.csv in the configuration folder: what was sent where, and how the
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

QString updateLogFile(const QString& projectFolder);

// The outcome column's texts.
QString outcomeExitCode(int exitCode);
QString outcomeStillRunning();
QString outcomeNotStarted(const QString& reason);

// Appends the entry (and, to a new file, the heading line) in one atomic replacement of the file.
Result appendUpdateLog(const QString& projectFolder, const UpdateLogEntry& entry);
