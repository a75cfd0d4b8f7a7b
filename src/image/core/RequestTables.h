#pragma once
#include "base/Result.h"
#include <QChar>
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>
#include <vector>

// The request tables of bin/bank2.bin: what the device, as IEC 61850 client, exchanges with
// its servers. Records point at each other and at their strings by device address.
// These types live in their own namespace, apart from the access list's model.
namespace Image {

// One selected data attribute: a 32-byte record.
struct VariableRecord {
    std::array<quint8, 2> fc{};
    quint8 rw = 0; // 0 read, 1 write
    quint8 bitAddress = 0;
    quint8 options = 0; // 1 on change, 2 on command, 4 on timer
    quint8 conversion = 0; // 1 integer/float conversion
    quint8 startbyte = 0;
    quint8 numbyte = 0;
    quint16 position = 0;
    quint16 tcpPort = 0;
    quint32 time = 0;
    float moltFactor = 1.0f;
    QString bType;
    quint32 bTypeAddress = 0;
    QString hostname;
    quint32 hostNameAddress = 0;
    QString reference;
    quint32 referenceAddress = 0;
};

// One attribute of a data set: a 16-byte record.
struct MemberRecord {
    quint16 position = 0;
    quint8 bitAddress = 0;
    quint8 conversion = 0;
    float moltFactor = 1.0f;
    QString bType;
    quint32 bTypeAddress = 0;
    QString reference;
    quint32 referenceAddress = 0;
};

// One selected data set: a 28-byte record.
struct DataSetRecord {
    static constexpr int maxVariables = 255; // its count is one byte
    quint8 nVariable = 0;
    quint8 options = 4;
    quint16 tcpPort = 0;
    quint8 enGoose = 0;
    std::array<quint8, 3> spare{};
    quint32 time = 0;
    QString gooseName;
    quint32 gooseNameAddress = 0;
    QString reference;
    quint32 referenceAddress = 0;
    QString hostname;
    quint32 hostNameAddress = 0;
    std::vector<MemberRecord> variableList;
    quint32 variableListAddress = 0;
};

struct RequestTables {
    static constexpr qsizetype headerSize = 24;
    static constexpr qsizetype variableSize = 32;
    static constexpr qsizetype dataSetSize = 28;
    static constexpr qsizetype variableDsSize = 16;

    qint32 nVariable = 0;
    qint32 nDataSet = 0;
    qint32 vLan = 0;
    qint32 appID = 0;
    std::vector<VariableRecord> variableList;
    quint32 variableListAddress = 0;
    std::vector<DataSetRecord> dataSetList;
    quint32 dataSetListAddress = 0;
    // Bytes that writeRequestTables() writes, known once the addresses are computed.
    qint64 length = 0;
};

// Counts, vLan, appID and addresses to 0, both lists empty.
void clearRequestTables(RequestTables& tables);

// Reads IEC_61850_Client.xml (through readAccessFileModel) into the lists (a missing file gives empty lists) and computes
// every address from `base`. Server addresses are taken without blanks (normalizedIpAddress()).
// Multiplication factors accept "," and "." whatever the user's
// `decimalSeparator`. A malformed file, an item without an attribute read as text, or a data
// set of more than 255 attributes is an error naming the file and the item. A `room` above 0
// stops reading as soon as the tables certainly need more bytes than that.
Result loadRequestTables(
    RequestTables& tables, const QString& iecClientFile, quint32 base, QChar decimalSeparator, qint64 room = 0);

// Writes header, records and strings from `start` on, never beyond index `highest` nor the
// end of `buffer`; `end` receives the position after the last byte. Tables that do not fit
// are an error, and then nothing is written.
Result writeRequestTables(
    const RequestTables& tables, std::span<quint8> buffer, qsizetype start, qsizetype highest, qsizetype& end);

} // namespace Image
