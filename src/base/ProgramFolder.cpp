#include "base/ProgramFolder.h"
#include "base/Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace

QString resolveProgramFolder(const QString& executableFolder, const QString& userDataFolder)
{
    if (QFileInfo(executableFolder).isWritable())
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
        const QString link = joinPath(userDataFolder, QString::fromLatin1(updater));
        if (QFileInfo::exists(installed) && !QFileInfo(link).exists())
            QFile::link(installed, link);
    }
}
