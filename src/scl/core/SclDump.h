#pragma once
#include "scl/core/DeviceModel.h"
#include <QString>
#include <QTextStream>

// The model as one JSON document, keys in a fixed order and lists in model order, for
// looking into a file without the configurator and for comparing readings.
void writeDeviceJson(const Ied& device, QTextStream& out);

// How much a model holds: every data object (sub data objects too), every attribute
// (components too) and, of those, the leaves; data set members counted per data set.
struct ModelCounts {
    qint64 logicalDevices = 0, logicalNodes = 0, dataObjects = 0, dataAttributes = 0, leaves = 0, dataSets = 0, members = 0;
};
ModelCounts countModel(const Ied& device);
// One line: "lDevices=1 lns=5 dos=40 das=300 leaves=250 dataSets=2 members=12".
QString formatCounts(const ModelCounts& counts);
