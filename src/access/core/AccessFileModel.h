#pragma once
#include "base/Result.h"
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// IEC_61850_Client.xml as stored, read by one reader for every consumer (the access window and
// the image build), so that both accept and refuse the same files.
//
// Verdicts: no file is an empty model; a missing list is an empty list; comments, processing
// instructions and text between items are skipped; an item of another element name, an item
// without a required attribute, or a data set Index that is not a whole number stops reading with
// an error naming the file, the item and the attribute. A data set without DataSet_List_DAs has
// no members, like an empty list: the program always writes one, and nothing is lost either way.

// Attribute names of each item, in stored order.
inline constexpr const char* deviceItemAttributes[] = {"Name", "FileName"};
inline constexpr const char* variableItemAttributes[] = {"Index", "bType", "fc", "Reference", "StartByte", "NumByte", "IPAddress",
    "Port", "OnChange", "OnCMD", "OnTimer", "Time", "Position", "StartBit", "ReadWrite", "Convertion", "MoltFact", "Mnemonic"};
inline constexpr const char* dataSetItemAttributes[]
    = {"Index", "Reference", "GooseName", "EnGoose", "IPAddress", "Port", "Time", "Mnemonic"};
inline constexpr const char* memberItemAttributes[]
    = {"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact", "Mnemonic"};

// One attribute as stored: its text, whether the item had it, and its value when the text is a
// whole number (parsed once, by the whole-number rule).
struct StoredAttribute {
    QString text;
    bool present = false;
    std::optional<qint32> number;

    qint32 numberOr(qint32 fallback) const { return number.value_or(fallback); }
    bool is(const char* value) const { return text == QLatin1String(value); }
};

// An item's attributes by position in its name table above.
template <size_t N> struct StoredItem {
    StoredAttribute attributes[N];

    const StoredAttribute& operator[](size_t i) const { return attributes[i]; }
};

namespace AccessItem {
// Positions in variableItemAttributes.
enum VariableAt : size_t {
    Index,
    BType,
    Fc,
    Reference,
    StartByte,
    NumByte,
    IpAddress,
    Port,
    OnChange,
    OnCmd,
    OnTimer,
    Time,
    Position,
    StartBit,
    ReadWrite,
    Conversion,
    MultFactor,
    Mnemonic
};
// Positions in dataSetItemAttributes.
enum DataSetAt : size_t { DsIndex, DsReference, DsGooseName, DsEnGoose, DsIpAddress, DsPort, DsTime, DsMnemonic };
// Positions in memberItemAttributes.
enum MemberAt : size_t { MBType, MReference, MPosition, MStartBit, MConversion, MMultFactor, MMnemonic };
} // namespace AccessItem
static_assert(std::size(variableItemAttributes) == AccessItem::Mnemonic + 1
        && std::size(dataSetItemAttributes) == AccessItem::DsMnemonic + 1
        && std::size(memberItemAttributes) == AccessItem::MMnemonic + 1,
    "every stored attribute has its position");

using StoredDevice = StoredItem<std::size(deviceItemAttributes)>;
using StoredVariable = StoredItem<std::size(variableItemAttributes)>;
using StoredMember = StoredItem<std::size(memberItemAttributes)>;
struct StoredDataSet : StoredItem<std::size(dataSetItemAttributes)> {
    std::vector<StoredMember> members;
};

struct AccessFileModel {
    std::vector<StoredDevice> devices;
    std::vector<StoredVariable> variables;
    std::vector<StoredDataSet> dataSets;
};

// Called after each variable and each data set item with the model so far and whether more
// items follow; an error stops reading with it (a consumer that knows reading is pointless).
using AccessItemCheck = std::function<Result(const AccessFileModel& model, bool more)>;

// Reads `path` into `model` (no file: empty). A malformed file or item stops with an error like
// "FILE: item 2 of List_DA_Selected has no Port attribute"; the items read before it stay.
Result readAccessFileModel(const QString& path, AccessFileModel& model, const AccessItemCheck& check = {});

// Value size of the basic types whose size is fixed (bType compared in upper case), 0 for the
// types whose Start Byte and Num Byte the engineer enters (VisString255, Octet64, Dbpos, ...).
// TIMESTAMP counts 1 byte, as the request tables count it. The one table for every consumer.
int fixedNumByte(const QString& bType);
