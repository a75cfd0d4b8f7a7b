#include "ProgramFolder.h"
#include "Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Copies the files of one installed folder that the user's folder does not have yet; the
// user's own copies (an edited language file, say) are never overwritten.
void Seed_Folder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        if (!QFileInfo::exists(Join_Path(to, name)))
            QFile::copy(source.filePath(name), Join_Path(to, name));
}

} // namespace

QString Resolve_Program_Folder(const QString& executableFolder, const QString& userDataFolder)
{
    if (QFileInfo(executableFolder).isWritable())
        return executableFolder;
    Seed_User_Folder(executableFolder, userDataFolder);
    return userDataFolder;
}

void Seed_User_Folder(const QString& executableFolder, const QString& userDataFolder)
{
    QDir().mkpath(userDataFolder);
    for (const char* sub : {"LANGUAGE", "MASTER"})
        Seed_Folder(Join_Path(executableFolder, QString::fromLatin1(sub)), Join_Path(userDataFolder, QString::fromLatin1(sub)));
    for (const char* updater : {"Ethernet_Update", "Ethernet_Update.exe"}) {
        const QString installed = Join_Path(executableFolder, QString::fromLatin1(updater));
        const QString link = Join_Path(userDataFolder, QString::fromLatin1(updater));
        if (QFileInfo::exists(installed) && !QFileInfo(link).exists())
            QFile::link(installed, link);
    }
}
