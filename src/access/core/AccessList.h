#pragma once
#include "access/core/Grid.h"
#include "scl/core/DeviceModel.h"
#include <memory>
#include <vector>

// The access list as the access window holds it: the three grids and the data set entries.

// Columns of the variables grid; column c holds the stored attribute variableItemAttributes[c - 1].
namespace VariableColumn {
enum : int {
    Number,
    Index,
    BType,
    Fc,
    Reference,
    StartByte,
    NumByte,
    IpAddress,
    Port,
    OnChange,
    OnCommand,
    OnTimer,
    Time,
    Position,
    StartBit,
    ReadWrite,
    Conversion,
    MultFactor,
    Mnemonic,
    Count
};
}
// Columns of the data set grid.
namespace DataSetColumn {
enum : int { Number, Index, Reference, GooseName, EnGoose, IpAddress, Port, Time, Mnemonic, Count };
}
// Columns of the members grid.
namespace MemberColumn {
enum : int { Number, BType, Reference, Position, StartBit, Conversion, MultFactor, Mnemonic, Count };
}

// One member entry of a data set entry.
struct DataSetMember {
    DataAttribute* attribute = nullptr; // not owned; null for a member kept as stored (see below)
    QString position;
    QString bitAddress;
    QString conversion;
    QString multFactor;
    QString mnemonic;
    // As stored, for a member of a device whose SCL file is missing or unreadable, or that does
    // not match its SCL data set at its place: kept so that a save writes it back unchanged.
    QString storedBType;
    QString storedReference;

    QString bType() const { return attribute ? attribute->bType : storedBType; }
    QString reference() const { return attribute ? attribute->reference : storedReference; }
};

// One data set entry; the k-th row of the data set grid belongs to the k-th entry.
struct DataSetEntry {
    DataSet* dataSet = nullptr; // not owned; null when no SCL data set matches
    std::vector<std::unique_ptr<DataSetMember>> members;
};

// Everything the access window edits, without any widget.
struct AccessList {
    std::vector<std::unique_ptr<Ied>> devices;
    StringGrid variableGrid{QStringList(VariableColumn::Count, QString())};
    StringGrid dataSetGrid{{"N", "Index", "Reference", "Goose Name", "En. Goose", "IP Address", "Port", "Time (ms)", "Mnemonic"}};
    StringGrid memberGrid{{"N", "bType", "Reference", "Position", "Start Bit", "Convertion", "Mult Fact", "Mnemonic"}};
    std::vector<std::unique_ptr<DataSetEntry>> dataSets;
};
