#pragma once
#include <QString>

// The program state shared by every window for the whole run.
struct TProgramState {
    QString Program_Folder;
    QString Master_Folder;
    QString Projects_Folder;
    QString Language_Folder;

    QString Project_Name;
    QString Project_Folder; // empty exactly when no configuration is active
    QString ParGen_File;
    QString IEC_Client_File;

    QString Last_IP_Address = QStringLiteral("192.168.2.205");
    QString Language_Name = QStringLiteral("English");
    bool Enable_Internet = false;
    bool Enable_Update = false;
    bool Enable_Jump_Field_Tables = false;
    bool Double_Click_Auto_Size = false;

    // The update window's remembered choices: the update kind (index in its list) and read back.
    int Last_Update_Option = 0;
    bool Last_Read_Back = true;

    bool Configuration_Active() const { return !Project_Folder.isEmpty(); }

    // Program_Folder and the three folders beside the program; creates those that are missing.
    void Set_Program_Folder(const QString& folder);
    // ParGen_File and IEC_Client_File from Project_Folder.
    void Set_Files();
    // Makes the configuration `name` active.
    void Activate_Project(const QString& name);
};
