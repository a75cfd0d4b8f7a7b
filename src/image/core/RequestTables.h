#pragma once
#include "Result.h"
#include <QChar>
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>
#include <vector>

// The request tables of bin/bank2.bin: what the device, as IEC 61850 client, exchanges with
// its servers. Records point at each other and at their strings by device address.
// These types live in their own namespace: the access list has an unrelated TDataSet.
namespace Image {

// One selected data attribute: a 32-byte record.
struct TIEC61850_Variable {
    std::array<quint8, 2> fc{};
    quint8 rw = 0;          // 0 read, 1 write
    quint8 bit_address = 0;
    quint8 options = 0;     // 1 on change, 2 on command, 4 on timer
    quint8 conversion = 0;  // 1 integer/float conversion
    quint8 startbyte = 0;
    quint8 numbyte = 0;
    quint16 position = 0;
    quint16 tcpPort = 0;
    quint32 time = 0;
    float moltFactor = 1.0f;
    QString bType;
    quint32 bType_Add = 0;
    QString hostname;
    quint32 hostname_Add = 0;
    QString reference;
    quint32 reference_Add = 0;
};

// One attribute of a data set: a 16-byte record.
struct TIEC61850_Variable_DS {
    quint16 position = 0;
    quint8 bitAddress = 0;
    quint8 conversion = 0;
    float moltFactor = 1.0f;
    QString bType;
    quint32 bType_Add = 0;
    QString reference;
    quint32 reference_Add = 0;
};

// One selected data set: a 28-byte record.
struct TDataSet {
    static constexpr int Max_Variables = 255; // its count is one byte
    quint8 nVariable = 0;
    quint8 options = 4;
    quint16 tcpPort = 0;
    quint8 enGoose = 0;
    std::array<quint8, 3> spare{};
    quint32 time = 0;
    QString goose_name;
    quint32 goose_name_Add = 0;
    QString reference;
    quint32 reference_Add = 0;
    QString hostname;
    quint32 hostname_Add = 0;
    std::vector<TIEC61850_Variable_DS> VariableList;
    quint32 VariableList_Add = 0;
};

struct TIEC61850_Client {
    static constexpr qsizetype Header_Size = 24;
    static constexpr qsizetype Variable_Size = 32;
    static constexpr qsizetype DataSet_Size = 28;
    static constexpr qsizetype Variable_DS_Size = 16;

    qint32 nVariable = 0;
    qint32 nDataSet = 0;
    qint32 vLan = 0;
    qint32 appID = 0;
    std::vector<TIEC61850_Variable> VariableList;
    quint32 Variable_Add = 0;
    std::vector<TDataSet> DataSetList;
    quint32 DataSet_Add = 0;
    // Bytes that Write_IEC61850_Client writes, known once the addresses are computed.
    qint64 Length = 0;
};

// Counts, vLan, appID and addresses to 0, both lists empty.
void Clear_IEC61850_Client(TIEC61850_Client& tables);

// Reads IEC_61850_Client.xml into the lists (a missing file gives empty lists) and computes
// every address from `base`. Multiplication factors accept "," and "." whatever the user's
// `decimalSeparator`. A malformed file, an item without an attribute read as text, or a data
// set of more than 255 attributes is an error naming the file and the item.
TResult Load_IEC61850_Client(TIEC61850_Client& tables, const QString& iecClientFile, quint32 base, QChar decimalSeparator);

// Writes header, records and strings from `start` on, never beyond index `highest` nor the
// end of `buffer`; `end` receives the position after the last byte. Tables that do not fit
// are an error, and then nothing is written.
TResult Write_IEC61850_Client(const TIEC61850_Client& tables, std::span<quint8> buffer, qsizetype start, qsizetype highest, qsizetype& end);

} // namespace Image
