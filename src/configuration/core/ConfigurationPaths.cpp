#include "configuration/core/ConfigurationPaths.h"
#include "base/Files.h"
#include "base/ProgramState.h"
#include <utility>

ConfigurationPaths::ConfigurationPaths(QString folder)
    : configurationFolder(std::move(folder))
{
}

ConfigurationPaths configurationPaths(const ProgramState& state) { return ConfigurationPaths(state.configurationFolder); }

QString ConfigurationPaths::communicationFile() const { return joinPath(configurationFolder, communicationFileName); }
QString ConfigurationPaths::accessFile() const { return joinPath(configurationFolder, accessFileName); }
QString ConfigurationPaths::catalogFolder() const { return joinPath(configurationFolder, catalogFolderName); }
QString ConfigurationPaths::imageFolder() const { return joinPath(configurationFolder, imageFolderName); }
QString ConfigurationPaths::bank1File() const { return joinPath(imageFolder(), bank1FileName); }
QString ConfigurationPaths::bank2File() const { return joinPath(imageFolder(), bank2FileName); }
QString ConfigurationPaths::updateLogFile() const { return joinPath(configurationFolder, updateLogFileName); }
QString ConfigurationPaths::olderUpdateLogFile() const { return joinPath(configurationFolder, olderUpdateLogFileName); }
QString ConfigurationPaths::lockFile() const { return joinPath(configurationFolder, lockFileName); }
