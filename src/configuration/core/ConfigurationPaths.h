#pragma once
#include <QString>

struct ProgramState;

// Where everything of one configuration lies: its folder in PROJECTS and the files and folders
// the program keeps in it. The one place that spells their names.
class ConfigurationPaths {
public:
    // The names inside a configuration folder.
    static inline const QString communicationFileName = QStringLiteral("ParGen.xml");
    static inline const QString accessFileName = QStringLiteral("IEC_61850_Client.xml");
    static inline const QString catalogFolderName = QStringLiteral("ICD_Catalog");
    static inline const QString imageFolderName = QStringLiteral("bin");
    static inline const QString bank1FileName = QStringLiteral("bank1.bin");
    static inline const QString bank2FileName = QStringLiteral("bank2.bin");
    static inline const QString updateLogFileName = QStringLiteral("update-log.csv");
    static inline const QString olderUpdateLogFileName = QStringLiteral("update-log.1.csv");
    static inline const QString lockFileName = QStringLiteral(".swquelmor.lock");

    explicit ConfigurationPaths(QString configurationFolder);

    const QString& folder() const { return configurationFolder; }
    // The communication settings (Step 2).
    QString communicationFile() const;
    // The access list (Step 3).
    QString accessFile() const;
    // The copies of the imported SCL files.
    QString catalogFolder() const;
    // The device images: the parameter block (bank1.bin) and the request tables (bank2.bin).
    QString imageFolder() const;
    QString bank1File() const;
    QString bank2File() const;
    // The log of update runs, and the older runs once it has been rotated.
    QString updateLogFile() const;
    QString olderUpdateLogFile() const;
    // Held by whatever writes into the configuration (see ConfigurationLock).
    QString lockFile() const;

private:
    QString configurationFolder;
};

// The paths of the active configuration of `state` (empty paths when none is active).
ConfigurationPaths configurationPaths(const ProgramState& state);
