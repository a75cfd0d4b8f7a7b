#pragma once
#include <QString>

// What the program folder holds: the firmware, the configurations, the language files and the
// settings file.
inline const QString masterFolderName = QStringLiteral("MASTER");
inline const QString projectsFolderName = QStringLiteral("PROJECTS");
inline const QString languageFolderName = QStringLiteral("LANGUAGE");
inline const QString settingsFileName = QStringLiteral("Tessav.xml");

// The folder that holds the program's data (MASTER, PROJECTS, LANGUAGE, Tessav.xml): the
// executable's own folder when it is writable (portable use, the build tree), else the user's
// data folder, seeded on first use with the installed LANGUAGE and MASTER files and a link to
// the updater, so that a system-wide install keeps every user's data out of the system folders.
QString resolveProgramFolder(const QString& executableFolder, const QString& userDataFolder);

// Copies the installed LANGUAGE and MASTER files the user's folder lacks (never overwriting the
// user's own) and links the installed updater there.
void seedUserFolder(const QString& executableFolder, const QString& userDataFolder);
