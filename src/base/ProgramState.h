#pragma once
#include <QString>
#include <optional>

// A configuration is named by one folder directly inside PROJECTS: a name with a path separator, or
// "." or "..", never is one.
bool isConfigurationName(const QString& name);

// The seven values of the program state that the settings file remembers between runs.
struct RememberedValues {
    QString configurationName;
    QString lastIpAddress;
    QString languageName;
    bool enableInternet = false;
    bool enableUpdate = false;
    bool enableJumpFieldTables = false;
    bool doubleClickAutoSize = false;
    bool operator==(const RememberedValues&) const = default;
};

// The program state shared by every window for the whole run.
struct ProgramState {
    QString programFolder;
    QString masterFolder;
    QString projectsFolder;
    QString languageFolder;

    // The active configuration: its name as remembered and its folder in PROJECTS (the files in
    // it: configuration/core/ConfigurationPaths). The folder is empty exactly when no
    // configuration is active.
    QString configurationName;
    QString configurationFolder;

    QString lastIpAddress = QStringLiteral("192.168.2.205");
    QString languageName = QStringLiteral("English");
    bool enableInternet = false;
    bool enableUpdate = false;
    bool enableJumpFieldTables = false;
    bool doubleClickAutoSize = false;

    // The remembered values as this run last read them from the settings file or wrote them
    // there; none before either. Saving writes only what changed since, so that another
    // instance's newer choices stay (see writeSettings()).
    std::optional<RememberedValues> settingsBaseline;

    bool hasConfiguration() const { return !configurationFolder.isEmpty(); }
    RememberedValues rememberedValues() const;
    void setRememberedValues(const RememberedValues& values);

    // programFolder and the three folders beside the program; creates those that are missing.
    void setProgramFolder(const QString& folder);
    // The folder of the configuration `name` when it is a folder that stays inside PROJECTS
    // (links resolved), else empty: a name from the settings file cannot lead elsewhere.
    QString existingConfigurationFolder(const QString& name) const;
    // The folder name of the active configuration as it was activated; empty when none is.
    QString activeConfigurationFolderName() const;
    // Whether the folder `name` of PROJECTS is the active configuration's, also when the letters'
    // case differs on a file system that ignores it.
    bool isActiveConfiguration(const QString& name) const;
    // Makes the configuration `name` of PROJECTS the active one; openConfiguration()
    // (configuration/core/ConfigurationFolders) also clears what interrupted saves left in it.
    void setActiveConfiguration(const QString& name);
};
