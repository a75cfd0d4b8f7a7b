#pragma once
#include "base/Result.h"
#include <QString>
#include <pugixml.hpp>

// The interface to the external updater: it lies in the program folder, is started without
// arguments and performs the descriptor Ethernet_Update.xml that lies beside it.

// The updater's file name: Ethernet_Update.exe on Windows, Ethernet_Update (no extension) elsewhere.
QString updaterFileName();
QString updaterProgram(const QString& programFolder);
QString updateDescriptorFile(const QString& programFolder);
// The firmware image that the firmware operation sends, expected in MASTER.
QString firmwareFile(const QString& masterFolder);

// What to update: the indexes of the update window's option list.
enum UpdateOption { FirmwareAndConfiguration = 0, Firmware = 1, Configuration = 2 };

// Whether the option sends the firmware.
inline bool includesFirmware(int option) { return option == FirmwareAndConfiguration || option == Firmware; }

// The update window's choices, kept for the run by the window that owns the update step: read
// back is on again at every start of the program.
struct UpdateChoices {
    int option = FirmwareAndConfiguration; // index in the window's list
    bool readBack = true;
};

struct UpdateRequest {
    QString address; // the device address exactly as typed
    int option = FirmwareAndConfiguration;
    bool readBack = true;
    QString masterFolder;
    QString configurationFolder;
};

// Replaces `doc` with the descriptor of the request.
void buildUpdateDescriptor(const UpdateRequest& request, pugi::xml_document& doc);

// Writes the descriptor into the program folder, replacing the file of an earlier run.
Result writeUpdateDescriptor(const UpdateRequest& request, const QString& programFolder);
