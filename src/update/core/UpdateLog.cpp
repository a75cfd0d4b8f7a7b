#include "update/core/UpdateLog.h"
#include "base/TextNumbers.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const char* const heading = "time,address,option,read_back,bank1_bytes,bank2_bytes,bank1_checksum,outcome\n";
const char* const optionNames[] = {"Firmware + Configuration", "Firmware", "Configuration"};
// Far above the size at which a log is rotated: only a log grown by hand comes near it.
constexpr ReadLimit updateLogLimit{64 * mebibyte, "an update log"};

// A field with a comma, a quote or a line break is quoted, its quotes doubled.
QString csvField(QString text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The entry's line with its line break.
QByteArray logLine(const UpdateLogEntry& entry)
{
    const QString option
        = entry.option >= 0 && entry.option < 3 ? QString::fromLatin1(optionNames[entry.option]) : QString::number(entry.option);
    const QStringList fields
        = {entry.time.toString(Qt::ISODate), entry.address, option, entry.readBack ? QStringLiteral("1") : QStringLiteral("0"),
            QString::number(entry.bank1Bytes), QString::number(entry.bank2Bytes), QString::number(entry.checksum), entry.outcome};
    QStringList line;
    for (const QString& field : fields)
        line << csvField(field);
    return line.join(u',').toUtf8() + '\n';
}

// Moves a full log aside as the older log, replacing the one before. The log is not read: a
// log grown past any limit is rotated as well.
Result rotate(const QString& file, const QString& older)
{
    const QFileInfo previous(older);
    if ((previous.exists() || previous.isSymLink()) && !previous.isDir())
        QFile::remove(older);
    QFile log(file);
    if (!log.rename(older))
        return Result::failed(Text::ErrorCannotWrite, {QDir::toNativeSeparators(older), log.errorString()});
    return Result::success();
}

} // namespace

QString outcomeExitCode(int exitCode) { return QStringLiteral("exit code %1").arg(exitCode); }
QString outcomeStillRunning() { return QStringLiteral("still running after 150 s"); }
QString outcomeNotStarted(const QString& reason) { return QStringLiteral("not started: ") + reason; }
QString outcomeUnknown() { return QStringLiteral("unknown: the configurator did not see the updater end"); }

Result appendUpdateLog(const ConfigurationPaths& configuration, const UpdateLogEntry& entry)
{
    const QString file = configuration.updateLogFile();
    const QFileInfo info(file);
    QByteArray log;
    if (info.isFile() && info.size() >= updateLogRotateBytes) {
        if (Result rotated = rotate(file, configuration.olderUpdateLogFile()); !rotated)
            return rotated;
        log = heading;
    } else if (info.exists()) {
        if (auto read = readWholeFile(file, log, updateLogLimit); !read)
            return read;
    } else {
        log = heading;
    }
    if (!log.isEmpty() && !log.endsWith('\n'))
        log += '\n';
    log += logLine(entry);
    return writeFileAtomically(file, log);
}

Result startUpdateLog(const ConfigurationPaths& configuration, const UpdateLogEntry& entry)
{
    UpdateLogEntry started = entry;
    started.outcome = outcomeUnknown();
    return appendUpdateLog(configuration, started);
}

Result completeUpdateLog(const ConfigurationPaths& configuration, const UpdateLogEntry& started, const QString& outcome)
{
    UpdateLogEntry unknown = started, done = started;
    unknown.outcome = outcomeUnknown();
    done.outcome = outcome;
    const QString file = configuration.updateLogFile();
    QByteArray log;
    if (QFileInfo::exists(file))
        if (auto read = readWholeFile(file, log, updateLogLimit); !read)
            return read;
    // The run's own line: the last whole line that reads as it was started.
    const QByteArray before = logLine(unknown);
    qsizetype at = log.lastIndexOf(before);
    while (at > 0 && log[at - 1] != '\n')
        at = log.lastIndexOf(before, at - 1);
    if (at < 0)
        return appendUpdateLog(configuration, done);
    log.replace(at, before.size(), logLine(done));
    return writeFileAtomically(file, log);
}
