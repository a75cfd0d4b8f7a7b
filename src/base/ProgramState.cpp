#include "base/ProgramState.h"
#include "base/Files.h"
#include <QDir>

void ProgramState::setProgramFolder(const QString& folder)
{
    programFolder = folder;
    masterFolder = joinPath(folder, QStringLiteral("MASTER"));
    projectsFolder = joinPath(folder, QStringLiteral("PROJECTS"));
    languageFolder = joinPath(folder, QStringLiteral("LANGUAGE"));
    // A folder that cannot be created is not reported: later operations on it fail on their own.
    for (const QString& sub : {masterFolder, projectsFolder, languageFolder})
        QDir().mkdir(sub);
}

void ProgramState::setProjectFiles()
{
    parGenFile = joinPath(projectFolder, QStringLiteral("ParGen.xml"));
    accessFile = joinPath(projectFolder, QStringLiteral("IEC_61850_Client.xml"));
}

void ProgramState::activateConfiguration(const QString& name)
{
    configurationName = name;
    projectFolder = joinPath(projectsFolder, name);
    setProjectFiles();
    // What a save killed half-way left behind goes when the configuration is opened again.
    removeStaleConfigurationTemporaries(projectFolder);
}
