#pragma once
#include "Grid.h"
#include "IEC_Model.h"
#include <memory>
#include <vector>

// The access list as the access window holds it: the three grids and the data set entries.

// Columns of the variables grid (ACG_DA); column c holds the field Var_Fields[c].
namespace Var_Col {
enum : int { N, Index, bType, fc, Reference, StartByte, NumByte, IPAddress, Port, OnChange, OnCMD, OnTimer, Time,
    Position, StartBit, ReadWrite, Convertion, MoltFact, Mnemonic, Count };
}
// Columns of the data set grid (ACG_DataSet).
namespace DS_Col {
enum : int { N, Index, Reference, GooseName, EnGoose, IPAddress, Port, Time, Mnemonic, Count };
}
// Columns of the members grid (ACG_DS_Vars).
namespace Member_Col {
enum : int { N, bType, Reference, Position, StartBit, Convertion, MoltFact, Mnemonic, Count };
}

// XML attribute names of a DA_Item, by variables-grid column (column 0 is not stored).
inline const char* const Var_Attributes[Var_Col::Count] = {nullptr, "Index", "bType", "fc", "Reference", "StartByte", "NumByte",
    "IPAddress", "Port", "OnChange", "OnCMD", "OnTimer", "Time", "Position", "StartBit", "ReadWrite", "Convertion", "MoltFact",
    "Mnemonic"};
// XML attribute names of a DataSet_Item, by data-set-grid column.
inline const char* const DS_Attributes[DS_Col::Count] = {nullptr, "Index", "Reference", "GooseName", "EnGoose", "IPAddress",
    "Port", "Time", "Mnemonic"};

// One member entry of a data set entry.
struct TDataSet_DA {
    TIEC_DA* Select_DA = nullptr; // not owned
    QString Position;
    QString bitAddress;
    QString conversion;
    QString multFactor;
    QString Mnemonic;
};

// One data set entry; the k-th row of the data set grid belongs to the k-th entry.
struct TDataSet {
    TIEC_DataSet* Select_DataSet = nullptr; // not owned; null when no SCL data set matches
    std::vector<std::unique_ptr<TDataSet_DA>> List_DAs;
};

// Everything the access window edits, without any widget.
struct TAccess_List {
    std::vector<std::unique_ptr<TIEC_Device>> List_IEC_Dev;
    TGrid ACG_DA{QStringList(Var_Col::Count, QString())};
    TGrid ACG_DataSet{{"N", "Index", "Reference", "Goose Name", "En. Goose", "IP Address", "Port", "Time (ms)", "Mnemonic"}};
    TGrid ACG_DS_Vars{{"N", "bType", "Reference", "Position", "Start Bit", "Convertion", "Mult Fact", "Mnemonic"}};
    std::vector<std::unique_ptr<TDataSet>> List_DataSet;
};
