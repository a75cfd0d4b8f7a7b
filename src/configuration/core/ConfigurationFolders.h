#pragma once
#include "base/Result.h"
#include <QString>

class ConfigurationPaths;
struct ProgramState;

// Naming, making, renaming, copying, deleting and opening configuration folders under PROJECTS. A configuration
// travels between Linux and Windows machines, so its name must be one both accept and that no
// other configuration's name equals once case and blanks are ignored.

// A name Windows accepts as a folder name (no reserved device name such as CON or aux.txt, none
// of <>:"/\|?*, no control character, no trailing dot or blank) and that Linux does not hide
// (no leading dot).
bool isPortableFolderName(const QString& name);

// The existing configuration of `projectsFolder` that a configuration called `name` could not
// stand beside: the same name once case and blanks are ignored. `renamed`, the configuration
// being renamed, does not count. Empty when there is none.
QString clashingConfiguration(const QString& projectsFolder, const QString& name, const QString& renamed = {});

// The rules for a name typed for a new, renamed or copied configuration, `name` already
// trimmed: text 107 when empty, 105 when not portable, 106 when it clashes.
Result checkNewConfigurationName(const QString& projectsFolder, const QString& name, const QString& renamed = {});

// Makes the folder of the new configuration `name` in `projectsFolder`, with its folder for the
// device images; text 105 when the configuration's folder cannot be made. An image folder that
// cannot be made is not reported: the image build reports its own failure.
Result createConfiguration(const QString& projectsFolder, const QString& name);

// Gives configuration `from` the name `to` (both folders of `projectsFolder`).
Result renameConfiguration(const QString& projectsFolder, const QString& from, const QString& to);

// Copies configuration `from` with all its files to the new configuration `to`. The copy is
// made under a hidden name and renamed when complete, so a failed copy leaves no half
// configuration in the list.
Result duplicateConfiguration(const QString& projectsFolder, const QString& from, const QString& to);

// Deletes the configuration folder for good (a link to a folder loses only the link).
Result deleteConfigurationFolder(const QString& folder);

// Whether `folder`, named by an engineer on the command line, is a configuration: a folder
// (links followed) that holds the communication file, the access file, the image folder or the
// catalog folder, and is not a folder of configurations: neither a program's PROJECTS folder
// (named PROJECTS, beside the program's LANGUAGE or MASTER folder or settings file) nor a folder
// with a folder in it (other than the image and catalog folders) that holds one of those. Else
// an error naming the folder and why.
Result checkConfigurationFolder(const QString& folder);

// Removes the temporary files that interrupted saves left beside the configuration's files: its
// communication and access files, both images and the copies in the SCL catalog (see
// removeStaleTemporaries()).
void removeStaleConfigurationTemporaries(const ConfigurationPaths& configuration);

// Makes the configuration `name` of PROJECTS the active one of `state` and removes what
// interrupted saves left in it.
void openConfiguration(ProgramState& state, const QString& name);
