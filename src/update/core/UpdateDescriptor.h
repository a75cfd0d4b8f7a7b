#pragma once
#include "Result.h"
#include <QString>
#include <pugixml.hpp>

// The interface to the external updater: it lies in the program folder, is started without
// arguments and performs the descriptor Ethernet_Update.xml that lies beside it.

// The updater's file name: Ethernet_Update.exe on Windows, Ethernet_Update (no extension) elsewhere.
QString Updater_File_Name();
QString Updater_Program(const QString& programFolder);
QString Update_Descriptor_File(const QString& programFolder);

// What to update: the indexes of the update window's option list.
enum TUpdate_Option { Firmware_And_Configuration = 0, Firmware = 1, Configuration = 2 };

struct TUpdate_Request {
    QString Address; // the device address exactly as typed
    int Option = Firmware_And_Configuration;
    bool Read_Back = true;
    QString Master_Folder;
    QString Project_Folder;
};

// Replaces `doc` with the descriptor of the request.
void Build_Update_Descriptor(const TUpdate_Request& request, pugi::xml_document& doc);

// Writes the descriptor into the program folder, replacing the file of an earlier run.
TResult Compile_XML_Parameter_New_Boot(const TUpdate_Request& request, const QString& programFolder);
