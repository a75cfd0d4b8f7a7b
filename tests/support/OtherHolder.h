#pragma once
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QString>
#include <gtest/gtest.h>

// How a lock file names a program: without ".exe" on Windows.
inline QString lockProgramName(const QString& path) { return QFileInfo(path).completeBaseName(); }
// How a lock file names this computer: on Windows, by the computer's name as Windows keeps it.
inline QString lockHostName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

// Another program holding a configuration's lock (tests/support/LockHolder.cpp) while it lives.
class OtherHolder {
public:
    explicit OtherHolder(const QString& configurationFolder)
    {
        process.start(QStringLiteral(SWQ_LOCK_HOLDER), {configurationFolder});
        EXPECT_TRUE(process.waitForReadyRead(30000));
        const QByteArray said = process.readLine().trimmed();
        EXPECT_EQ(said, "held");
    }
    ~OtherHolder()
    {
        if (process.state() != QProcess::NotRunning)
            letGo();
    }
    OtherHolder(const OtherHolder&) = delete;
    OtherHolder& operator=(const OtherHolder&) = delete;

    qint64 processId() const { return process.processId(); }
    // Ends as a program does that lets the configuration go.
    void letGo()
    {
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(30000));
    }
    // Ends as a crash does: the lock file stays behind.
    void crash()
    {
        process.kill();
        EXPECT_TRUE(process.waitForFinished(30000));
    }

private:
    QProcess process;
};
