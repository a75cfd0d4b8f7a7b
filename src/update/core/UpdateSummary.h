#pragma once
#include "base/ProgramState.h"
#include "image/core/DeviceImage.h"
#include <QString>

// What an update step is about to send, gathered once the images are built: the engineer sees
// it before the update window opens, and the update log keeps the images' part of it.
struct UpdateSummary {
    QString configuration;
    QString address; // as the update window will offer it
    int option = 0;
    QString bank1File;
    QString bank2File;
    qint64 bank1Bytes = 0;
    qint64 bank2Bytes = 0; // the request tables' share of the device's room
    qint64 tablesRoom = Image::DeviceImage::bank2Size;
    int variables = 0;
    int dataSets = 0;
    quint32 checksum = 0; // of the parameter block
    QString firmwareFile;
    bool firmwarePresent = false;
};

// `option` is the update window's choice (UpdateOption).
UpdateSummary summarizeUpdate(const Image::DeviceImage& image, const ProgramState& state, const QString& address, int option);
