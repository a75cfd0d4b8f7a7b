#include "base/ProgramState.h"
#include "base/Files.h"
#include "base/ProgramFolder.h"
#include <QDir>
#include <QFileInfo>

void ProgramState::setProgramFolder(const QString& folder)
{
    programFolder = folder;
    masterFolder = joinPath(folder, masterFolderName);
    projectsFolder = joinPath(folder, projectsFolderName);
    languageFolder = joinPath(folder, languageFolderName);
    // A folder that cannot be created is not reported: later operations on it fail on their own.
    for (const QString& sub : {masterFolder, projectsFolder, languageFolder})
        QDir().mkdir(sub);
}

RememberedValues ProgramState::rememberedValues() const
{
    return {
        configurationName, lastIpAddress, languageName, enableInternet, enableUpdate, enableJumpFieldTables, doubleClickAutoSize};
}

void ProgramState::setRememberedValues(const RememberedValues& values)
{
    configurationName = values.configurationName;
    lastIpAddress = values.lastIpAddress;
    languageName = values.languageName;
    enableInternet = values.enableInternet;
    enableUpdate = values.enableUpdate;
    enableJumpFieldTables = values.enableJumpFieldTables;
    doubleClickAutoSize = values.doubleClickAutoSize;
}

bool isConfigurationName(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") && !name.contains(u'/')
        && !name.contains(u'\\') && !name.contains(QChar(0));
}

QString ProgramState::existingConfigurationFolder(const QString& name) const
{
    if (!isConfigurationName(name))
        return {};
    const QString folder = joinPath(projectsFolder, name);
    const QFileInfo info(folder);
    if (!info.isDir() || !staysInside(folder, projectsFolder)
        || info.canonicalFilePath() == QFileInfo(projectsFolder).canonicalFilePath())
        return {};
    return folder;
}

QString ProgramState::activeConfigurationFolderName() const
{
    return hasConfiguration() ? configurationFolder.mid(projectsFolder.size() + 1) : QString();
}

bool ProgramState::isActiveConfiguration(const QString& name) const
{
    const QString active = activeConfigurationFolderName();
    if (active.isEmpty() || active.compare(name, Qt::CaseInsensitive) != 0)
        return false;
    // "Plant" and "PLANT" are one folder on Windows and two on Linux.
    const QString canonical = QFileInfo(configurationFolder).canonicalFilePath();
    return active == name || (!canonical.isEmpty() && canonical == QFileInfo(joinPath(projectsFolder, name)).canonicalFilePath());
}

void ProgramState::setActiveConfiguration(const QString& name)
{
    configurationName = name;
    configurationFolder = joinPath(projectsFolder, name);
}
