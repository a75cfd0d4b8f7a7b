#pragma once
#include "access/core/AccessFileModel.h"
#include "access/core/Grid.h"
#include "scl/core/DeviceModel.h"
#include <memory>
#include <vector>

// The access list as the access window holds it: the three grids and the data set entries.

// The variables and data set grids show the row number in column 0, then the stored
// attributes of their item in stored order: each column is defined by its attribute, so that
// neither can move without the other.
constexpr int storedColumn(size_t attribute) { return static_cast<int>(attribute) + 1; }
constexpr size_t storedAttribute(int column) { return static_cast<size_t>(column - 1); }

// Columns of the variables grid.
namespace VariableColumn {
enum : int {
    Number = 0,
    Index = storedColumn(AccessItem::Index),
    BType = storedColumn(AccessItem::BType),
    Fc = storedColumn(AccessItem::Fc),
    Reference = storedColumn(AccessItem::Reference),
    StartByte = storedColumn(AccessItem::StartByte),
    NumByte = storedColumn(AccessItem::NumByte),
    IpAddress = storedColumn(AccessItem::IpAddress),
    Port = storedColumn(AccessItem::Port),
    OnChange = storedColumn(AccessItem::OnChange),
    OnCommand = storedColumn(AccessItem::OnCmd),
    OnTimer = storedColumn(AccessItem::OnTimer),
    Time = storedColumn(AccessItem::Time),
    Position = storedColumn(AccessItem::Position),
    StartBit = storedColumn(AccessItem::StartBit),
    ReadWrite = storedColumn(AccessItem::ReadWrite),
    Conversion = storedColumn(AccessItem::Conversion),
    MultFactor = storedColumn(AccessItem::MultFactor),
    Mnemonic = storedColumn(AccessItem::Mnemonic),
    Count = storedColumn(std::size(variableItemAttributes))
};
}
// Columns of the data set grid.
namespace DataSetColumn {
enum : int {
    Number = 0,
    Index = storedColumn(AccessItem::DsIndex),
    Reference = storedColumn(AccessItem::DsReference),
    GooseName = storedColumn(AccessItem::DsGooseName),
    EnGoose = storedColumn(AccessItem::DsEnGoose),
    IpAddress = storedColumn(AccessItem::DsIpAddress),
    Port = storedColumn(AccessItem::DsPort),
    Time = storedColumn(AccessItem::DsTime),
    Mnemonic = storedColumn(AccessItem::DsMnemonic),
    Count = storedColumn(std::size(dataSetItemAttributes))
};
}
static_assert(VariableColumn::Mnemonic + 1 == VariableColumn::Count && DataSetColumn::Mnemonic + 1 == DataSetColumn::Count,
    "every stored attribute has its column");
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
