#pragma once
#include "support/TestSupport.h"
#include "update/core/UpdateDescriptor.h"
#include <QFile>
#include <QHash>
#include <QThread>

// Installs the stand-in updater as the updater of `programFolder`, ending with `exitCode`
// after `delayMs`. Returns the updater's path.
inline QString installStandInUpdater(const QString& programFolder, int exitCode, int delayMs = 0)
{
    const QString updater = updaterProgram(programFolder);
    QFile::remove(updater);
    if (!QFile::copy(QStringLiteral(SWQ_STAND_IN_UPDATER), updater))
        qFatal("cannot install the stand-in updater in %s", qPrintable(programFolder));
    writeTestFile(programFolder + QStringLiteral("/StandIn_Behaviour.txt"),
        QByteArray::number(exitCode) + ' ' + QByteArray::number(delayMs));
    return updater;
}

// What the stand-in recorded at its start (pid, arguments, folder, descriptor, session_leader),
// waiting up to `waitMs` for it to appear; empty when it never ran.
inline QHash<QString, QString> standInRecord(const QString& programFolder, int waitMs = 0)
{
    const QString path = programFolder + QStringLiteral("/StandIn_Record.txt");
    for (int waited = 0; !QFile::exists(path) && waited < waitMs; waited += 10)
        QThread::msleep(10);
    QHash<QString, QString> record;
    for (const QByteArray& line : readTestFile(path).split('\n'))
        if (const qsizetype eq = line.indexOf('='); eq > 0)
            record.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    return record;
}
