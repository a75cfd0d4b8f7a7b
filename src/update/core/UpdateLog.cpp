#include "update/core/UpdateLog.h"
#include "base/Files.h"
#include <QFileInfo>
#include <QStringList>

namespace {

const char* const heading = "time,address,option,read_back,bank1_bytes,bank2_bytes,bank1_checksum,outcome\n";
const char* const optionNames[] = {"Firmware + Configuration", "Firmware", "Configuration"};
constexpr ReadLimit updateLogLimit{64 * mebibyte, "an update log"};

// A field with a comma, a quote or a line break is quoted, its quotes doubled.
QString csvField(QString text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString updateLogFile(const QString& projectFolder) { return joinPath(projectFolder, QStringLiteral("update-log.csv")); }

QString outcomeExitCode(int exitCode) { return QStringLiteral("exit code %1").arg(exitCode); }
QString outcomeStillRunning() { return QStringLiteral("still running after 150 s"); }
QString outcomeNotStarted(const QString& reason) { return QStringLiteral("not started: ") + reason; }

Result appendUpdateLog(const QString& projectFolder, const UpdateLogEntry& entry)
{
    const QString file = updateLogFile(projectFolder);
    QByteArray log;
    if (QFileInfo::exists(file)) {
        if (auto read = readWholeFile(file, log, updateLogLimit); !read)
            return read;
    } else {
        log = heading;
    }
    const QString option
        = entry.option >= 0 && entry.option < 3 ? QString::fromLatin1(optionNames[entry.option]) : QString::number(entry.option);
    const QStringList fields
        = {entry.time.toString(Qt::ISODate), entry.address, option, entry.readBack ? QStringLiteral("1") : QStringLiteral("0"),
            QString::number(entry.bank1Bytes), QString::number(entry.bank2Bytes), QString::number(entry.checksum), entry.outcome};
    QStringList line;
    for (const QString& field : fields)
        line << csvField(field);
    if (!log.isEmpty() && !log.endsWith('\n'))
        log += '\n';
    log += line.join(u',').toUtf8() + '\n';
    return writeFileAtomically(file, log);
}
