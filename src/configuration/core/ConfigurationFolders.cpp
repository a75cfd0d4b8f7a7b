#include "configuration/core/ConfigurationFolders.h"
#include "base/Files.h"
#include "base/ProgramFolder.h"
#include "base/ProgramState.h"
#include "base/TextNumbers.h"
#include "configuration/core/ConfigurationLock.h"
#include "configuration/core/ConfigurationPaths.h"
#include "scl/core/SclFiles.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

namespace {

// Device names that Windows reserves in every folder, with or without an extension.
bool isReservedDeviceName(const QString& name)
{
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (fixed.contains(stem))
        return true;
    // COM1-COM9 and LPT1-LPT9, the superscript digits 1-3 included.
    static const QString digits = QStringLiteral("123456789\u00B9\u00B2\u00B3");
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))
        && digits.contains(stem[3]);
}

// The name as two configurations are compared: without blanks and case.
QString comparable(const QString& name)
{
    QString key;
    for (const QChar c : name)
        if (!c.isSpace())
            key += c;
    return key.toCaseFolded();
}

// Copies the folder `from` into the new folder `to`: folders and files, links to files as the
// files they lead to; links to folders are left out (they could lead anywhere), and so is a
// lock file.
bool copyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkdir(to))
        return false;
    for (const QFileInfo& entry :
        QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = joinPath(to, entry.fileName());
        // The copy is nobody's yet: a lock of the original stays behind.
        if (ConfigurationLock::isLockingFile(entry.fileName()))
            continue;
        if (entry.isDir()) {
            if (!entry.isSymLink() && !copyFolder(entry.filePath(), target))
                return false;
        } else if (!QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// Whether the folder holds a file or folder that only a configuration has.
bool holdsConfigurationEntries(const QString& folder)
{
    const ConfigurationPaths paths(folder);
    return QFileInfo::exists(paths.communicationFile()) || QFileInfo::exists(paths.accessFile())
        || QFileInfo(paths.imageFolder()).isDir() || QFileInfo(paths.catalogFolder()).isDir();
}

} // namespace

bool isPortableFolderName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'.') || name.endsWith(u'.') || name.endsWith(u' '))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 32 || QStringLiteral("<>:\"/\\|?*").contains(c))
            return false;
    return !isReservedDeviceName(name);
}

QString clashingConfiguration(const QString& projectsFolder, const QString& name, const QString& renamed)
{
    const QString key = comparable(name);
    for (const QString& existing : QDir(projectsFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (existing != renamed && comparable(existing) == key)
            return existing;
    return {};
}

Result checkNewConfigurationName(const QString& projectsFolder, const QString& name, const QString& renamed)
{
    if (name.isEmpty())
        return Result::failed(Text::ErrorNameEmpty);
    if (!isPortableFolderName(name))
        return Result::failed(Text::ErrorNameNotCreated);
    if (!clashingConfiguration(projectsFolder, name, renamed).isEmpty())
        return Result::failed(Text::ErrorNameExists);
    return Result::success();
}

Result createConfiguration(const QString& projectsFolder, const QString& name)
{
    const ConfigurationPaths paths(joinPath(projectsFolder, name));
    if (!QDir().mkdir(paths.folder()))
        return Result::failed(Text::ErrorNameNotCreated);
    QDir().mkpath(paths.imageFolder());
    return Result::success();
}

Result renameConfiguration(const QString& projectsFolder, const QString& from, const QString& to)
{
    if (!QDir(projectsFolder).rename(from, to))
        return Result::failed(Text::ErrorConfigurationNotRenamed, {from});
    return Result::success();
}

Result duplicateConfiguration(const QString& projectsFolder, const QString& from, const QString& to)
{
    // A hidden name is never listed, so a half copy cannot be opened.
    const QString partial = joinPath(projectsFolder, QStringLiteral(".copy-") + QUuid::createUuid().toString(QUuid::Id128));
    if (copyFolder(joinPath(projectsFolder, from), partial) && QDir(projectsFolder).rename(QFileInfo(partial).fileName(), to))
        return Result::success();
    QDir(partial).removeRecursively();
    return Result::failed(Text::ErrorConfigurationNotCopied, {from});
}

Result deleteConfigurationFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const bool removed = info.isSymLink() ? QFile::remove(folder) : QDir(folder).removeRecursively();
    if (!removed)
        return Result::failed(Text::ErrorConfigurationNotDeleted, {info.fileName()});
    return Result::success();
}

Result checkConfigurationFolder(const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    const QFileInfo info(folder);
    if (!info.isDir())
        return Result::failed(Text::ErrorNotAFolder, {shown});
    // By the folder's own name, also for "." or a link.
    const QFileInfo real(info.canonicalFilePath());
    const QDir program = real.dir();
    if (real.fileName().compare(projectsFolderName, Qt::CaseInsensitive) == 0
        && (QFileInfo(program.filePath(languageFolderName)).isDir() || QFileInfo(program.filePath(masterFolderName)).isDir()
            || QFileInfo::exists(program.filePath(settingsFileName))))
        return Result::failed(Text::ErrorProjectsFolderNotConfiguration, {shown});
    const QDir inside(real.absoluteFilePath());
    for (const QString& name : inside.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        if (name != ConfigurationPaths::imageFolderName && name != ConfigurationPaths::catalogFolderName
            && holdsConfigurationEntries(inside.filePath(name)))
            return Result::failed(Text::ErrorFolderOfConfigurations, {shown, name});
    if (!holdsConfigurationEntries(inside.absolutePath()))
        return Result::failed(Text::ErrorNotAConfiguration, {shown});
    return Result::success();
}

void removeStaleConfigurationTemporaries(const ConfigurationPaths& configuration)
{
    for (const QString& file :
        {configuration.accessFile(), configuration.communicationFile(), configuration.bank1File(), configuration.bank2File()})
        removeStaleTemporaries(file);
    // A catalog copy interrupted on its first import has no file of its own name yet: every SCL
    // name of the catalog folder is looked at.
    const QDir catalog(configuration.catalogFolder());
    static const QRegularExpression copyTemporary(
        QStringLiteral("^(.+\\.(%1))\\.[A-Za-z0-9]{6}$").arg(sclFileSuffixes.join(u'|')),
        QRegularExpression::CaseInsensitiveOption);
    QStringList copies;
    for (const QString& name : catalog.entryList(QDir::Files | QDir::Hidden))
        if (const auto match = copyTemporary.match(name); match.hasMatch() && !copies.contains(match.captured(1)))
            copies << match.captured(1);
    for (const QString& copy : copies)
        removeStaleTemporaries(catalog.filePath(copy));
}

void openConfiguration(ProgramState& state, const QString& name)
{
    state.setActiveConfiguration(name);
    // What a save killed half-way left behind goes when the configuration is opened again.
    removeStaleConfigurationTemporaries(ConfigurationPaths(state.configurationFolder));
}
