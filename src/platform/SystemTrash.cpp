#include "platform/SystemServices.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#ifndef Q_OS_WIN
#include <QStandardPaths>
#include <QStorageInfo>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
// Qt's move to the freedesktop trash takes the first of these folders that it can establish,
// and, where it establishes none, the working folder: a configuration would land in
// ./files without a word, and a regular file ./info makes Qt try names for ever. So the
// trash is looked for here first, in Qt's order, and the move is made only into a real one.

// `name` in `top` as a folder, made (one level, owner only) where it is missing.
QString establishedFolder(const QString& top, const QString& name)
{
    QDir topFolder(top);
    const QString folder = topFolder.filePath(name);
    if (topFolder.mkdir(name))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return QFileInfo(folder).isDir() ? folder : QString();
}

// The trash of the file system that holds `path`, when that is not the home folder's:
// $topdir/.Trash/$uid (in a .Trash of the administrator's that is a sticky folder, not a
// link), else $topdir/.Trash-$uid.
QString topTrash(const QString& path)
{
    const QStorageInfo source(path);
    if (!source.isValid() || source == QStorageInfo(QDir::home()))
        return {};
    const QString top = source.rootPath();
    const QString user = QString::number(::getuid());
    const QString shared = QDir(top).filePath(QStringLiteral(".Trash"));
    struct stat info { };
    if (::lstat(QFile::encodeName(shared).constData(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0)
        if (QString trash = establishedFolder(shared, user); !trash.isEmpty())
            return trash;
    return establishedFolder(top, QStringLiteral(".Trash-") + user);
}

// The trash Qt moves `path` into, or empty when there is none: the home trash is
// $XDG_DATA_HOME/Trash, made in an existing data folder only.
QString trashOf(const QString& path)
{
    if (QString trash = topTrash(path); !trash.isEmpty())
        return trash;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    return establishedFolder(data, QStringLiteral("Trash"));
}

// A trash takes a file only where its files and info are folders that may be written.
bool takesFiles(const QString& trash)
{
    for (const QString& name : {QStringLiteral("files"), QStringLiteral("info")}) {
        const QString folder = establishedFolder(trash, name);
        if (folder.isEmpty() || !QFileInfo(folder).isWritable() || !QFileInfo(folder).isExecutable())
            return false;
    }
    return true;
}
#endif

// The freedesktop trash on Linux, the recycle bin on Windows.
class SystemTrash final : public Trash {
public:
    bool moveToTrash(const QString& path) override
    {
#ifndef Q_OS_WIN
        const QString trash = trashOf(QFileInfo(path).absoluteFilePath());
        if (trash.isEmpty() || !takesFiles(trash))
            return false;
#endif
        return QFile::moveToTrash(path);
    }
};

} // namespace

std::unique_ptr<Trash> makeSystemTrash() { return std::make_unique<SystemTrash>(); }
