#pragma once
#include "IEC_Model.h"
#include <QString>
#include <QTextStream>

// The model as one JSON document, keys in a fixed order and lists in model order, for
// looking into a file without the configurator and for comparing readings.
void Write_Device_Json(const TIEC_Device& device, QTextStream& out);

// How much a model holds: every data object (sub data objects too), every attribute
// (components too) and, of those, the leaves; data set members counted per data set.
struct TModel_Counts {
    qint64 LDevices = 0, LNs = 0, DOs = 0, DAs = 0, Leaves = 0, DataSets = 0, Members = 0;
};
TModel_Counts Count_Model(const TIEC_Device& device);
// One line: "lDevices=1 lns=5 dos=40 das=300 leaves=250 dataSets=2 members=12".
QString Format_Counts(const TModel_Counts& counts);
