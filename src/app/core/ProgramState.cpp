#include "ProgramState.h"
#include "Files.h"
#include <QDir>

void TProgramState::Set_Program_Folder(const QString& folder)
{
    Program_Folder = folder;
    Master_Folder = Join_Path(folder, QStringLiteral("MASTER"));
    Projects_Folder = Join_Path(folder, QStringLiteral("PROJECTS"));
    Language_Folder = Join_Path(folder, QStringLiteral("LANGUAGE"));
    // A folder that cannot be created is not reported: later operations on it fail on their own.
    for (const QString& sub : {Master_Folder, Projects_Folder, Language_Folder})
        QDir().mkdir(sub);
}

void TProgramState::Set_Files()
{
    ParGen_File = Join_Path(Project_Folder, QStringLiteral("ParGen.xml"));
    IEC_Client_File = Join_Path(Project_Folder, QStringLiteral("IEC_61850_Client.xml"));
}

void TProgramState::Activate_Project(const QString& name)
{
    Project_Name = name;
    Project_Folder = Join_Path(Projects_Folder, name);
    Set_Files();
}
