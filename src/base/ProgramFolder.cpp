#include "base/ProgramFolder.h"
#include "base/Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// Copies the files of one installed folder that the user's folder does not have yet; the
// user's own copies (an edited language file, say) are never overwritten.
void seedFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        if (!QFileInfo::exists(joinPath(to, name)))
            QFile::copy(source.filePath(name), joinPath(to, name));
}

// Whether this user may create files in `folder`, asked of the file system itself: Windows keeps
// its permissions out of a folder's attributes, so QFileInfo::isWritable() says yes to Program
// Files, and a read-only mount looks writable too.
bool mayWriteInto(const QString& folder)
{
    QTemporaryFile probe(joinPath(folder, QStringLiteral(".swquelmor-probe-XXXXXX")));
    return probe.open();
}

// A program under Program Files is installed for every user: its folder is never written, also
// when an administrator could.
bool isInstalledForEveryUser(const QString& executableFolder)
{
#ifdef Q_OS_WIN
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(executableFolder)) + u'/';
    for (const char* variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
        const QString programFiles = QDir::fromNativeSeparators(qEnvironmentVariable(variable));
        if (!programFiles.isEmpty() && folder.startsWith(QDir::cleanPath(programFiles) + u'/', Qt::CaseInsensitive))
            return true;
    }
#else
    Q_UNUSED(executableFolder);
#endif
    return false;
}

// The updater reads its descriptor from its own folder, so the user's folder needs one beside
// the descriptor: a link to the installed program, or on Windows (where a link is a shortcut
// file, not a program) a copy, renewed when the installed one is newer.
void provideUpdater(const QString& installed, const QString& inUserFolder)
{
#ifdef Q_OS_WIN
    const QFileInfo copy(inUserFolder);
    if (copy.exists() && copy.lastModified() >= QFileInfo(installed).lastModified())
        return;
    QFile::remove(inUserFolder);
    QFile::copy(installed, inUserFolder);
#else
    if (!QFileInfo(inUserFolder).exists())
        QFile::link(installed, inUserFolder);
#endif
}

} // namespace

QString resolveProgramFolder(const QString& executableFolder, const QString& userDataFolder)
{
    if (!isInstalledForEveryUser(executableFolder) && mayWriteInto(executableFolder))
        return executableFolder;
    seedUserFolder(executableFolder, userDataFolder);
    return userDataFolder;
}

void seedUserFolder(const QString& executableFolder, const QString& userDataFolder)
{
    QDir().mkpath(userDataFolder);
    for (const QString& sub : {languageFolderName, masterFolderName})
        seedFolder(joinPath(executableFolder, sub), joinPath(userDataFolder, sub));
    for (const char* updater : {"Ethernet_Update", "Ethernet_Update.exe"}) {
        const QString installed = joinPath(executableFolder, QString::fromLatin1(updater));
        const QString beside = joinPath(userDataFolder, QString::fromLatin1(updater));
        if (QFileInfo::exists(installed))
            provideUpdater(installed, beside);
    }
}
