#pragma once
#include "base/Result.h"
#include <QChar>
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

// The request tables of bin/bank2.bin: what the device, as IEC 61850 client, exchanges with
// its servers. Records point at each other and at their strings by device address.
// These types live in their own namespace, apart from the access list's model.
namespace Image {

// One selected data attribute: its record is variableFields below.
struct VariableRecord {
    std::array<quint8, 2> fc{}; // two characters
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

// One attribute of a data set: its record is memberFields below.
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

// One selected data set: its record is dataSetFields below.
struct DataSetRecord {
    static constexpr int maxVariables = 255; // its count is one byte
    quint8 nVariable = 0;
    quint8 options = 4;
    quint16 tcpPort = 0;
    quint8 enGoose = 0;
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

// The request tables: the header's fields (headerFields) and the records of both lists.
struct RequestTables {
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

// How `inspect` shows a number.
enum class FieldShown { Number, Signed, Hex, ReadWrite, Options, Conversion };

// One field of a record as the device reads it. The tables below are the one description of
// each record: the writer, the address computation, the size estimate and `inspect` follow
// them. Numbers are little-endian; a text is stored as the device address of its 0-terminated
// string, the strings following all records; spare bytes are 0.
template <typename Record> struct RecordField {
    struct Text {
        QString Record::*text;
        quint32 Record::*address;
    };
    struct Spare {
        qsizetype size;
    };
    using Member = std::variant<quint8 Record::*, quint16 Record::*, quint32 Record::*, qint32 Record::*, float Record::*,
        std::array<quint8, 2> Record::*, Text, Spare>;

    const char* name; // as `inspect` names it
    Member member;
    FieldShown shown = FieldShown::Number;

    constexpr qsizetype size() const
    {
        return std::visit(
            [](auto m) -> qsizetype {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, Spare>)
                    return m.size;
                else if constexpr (std::is_same_v<M, Text>)
                    return 4;
                else
                    return sizeof(std::declval<Record&>().*m);
            },
            member);
    }
};

// Bytes of a record.
template <typename Record, size_t N> constexpr qsizetype recordSize(const RecordField<Record> (&fields)[N])
{
    qsizetype size = 0;
    for (const RecordField<Record>& f : fields)
        size += f.size();
    return size;
}

// Offset of the field of that name in its record; -1 for none.
template <typename Record, size_t N>
constexpr qsizetype fieldOffset(const RecordField<Record> (&fields)[N], std::string_view name)
{
    qsizetype offset = 0;
    for (const RecordField<Record>& f : fields) {
        if (name == f.name)
            return offset;
        offset += f.size();
    }
    return -1;
}

template <typename Record> constexpr typename RecordField<Record>::Text text(QString Record::*text, quint32 Record::*address)
{
    return {text, address};
}

inline constexpr RecordField<RequestTables> headerFields[] = {
    {"nVariable", &RequestTables::nVariable},
    {"nDataSet", &RequestTables::nDataSet},
    {"vLan", &RequestTables::vLan, FieldShown::Signed},
    {"appID", &RequestTables::appID, FieldShown::Signed},
    {"Variable_Add", &RequestTables::variableListAddress, FieldShown::Hex},
    {"DataSet_Add", &RequestTables::dataSetListAddress, FieldShown::Hex},
};

inline constexpr RecordField<VariableRecord> variableFields[] = {
    {"fc", &VariableRecord::fc},
    {"rw", &VariableRecord::rw, FieldShown::ReadWrite},
    {"bit_address", &VariableRecord::bitAddress},
    {"options", &VariableRecord::options, FieldShown::Options},
    {"conversion", &VariableRecord::conversion, FieldShown::Conversion},
    {"startbyte", &VariableRecord::startbyte},
    {"numbyte", &VariableRecord::numbyte},
    {"position", &VariableRecord::position},
    {"tcpPort", &VariableRecord::tcpPort},
    {"time", &VariableRecord::time},
    {"moltFactor", &VariableRecord::moltFactor},
    {"bType_Add", text(&VariableRecord::bType, &VariableRecord::bTypeAddress)},
    {"hostname_Add", text(&VariableRecord::hostname, &VariableRecord::hostNameAddress)},
    {"reference_Add", text(&VariableRecord::reference, &VariableRecord::referenceAddress)},
};

inline constexpr RecordField<DataSetRecord> dataSetFields[] = {
    {"nVariable", &DataSetRecord::nVariable},
    {"options", &DataSetRecord::options, FieldShown::Options},
    {"tcpPort", &DataSetRecord::tcpPort},
    {"enGoose", &DataSetRecord::enGoose},
    {"spare", RecordField<DataSetRecord>::Spare{3}},
    {"time", &DataSetRecord::time},
    {"goose_name_Add", text(&DataSetRecord::gooseName, &DataSetRecord::gooseNameAddress)},
    {"reference_Add", text(&DataSetRecord::reference, &DataSetRecord::referenceAddress)},
    {"hostname_Add", text(&DataSetRecord::hostname, &DataSetRecord::hostNameAddress)},
    {"VariableList_Add", &DataSetRecord::variableListAddress, FieldShown::Hex},
};

inline constexpr RecordField<MemberRecord> memberFields[] = {
    {"position", &MemberRecord::position},
    {"bitAddress", &MemberRecord::bitAddress},
    {"conversion", &MemberRecord::conversion, FieldShown::Conversion},
    {"moltFactor", &MemberRecord::moltFactor},
    {"bType_Add", text(&MemberRecord::bType, &MemberRecord::bTypeAddress)},
    {"reference_Add", text(&MemberRecord::reference, &MemberRecord::referenceAddress)},
};

// Sizes of the records; the device expects exactly these.
inline constexpr qsizetype headerSize = recordSize(headerFields);
inline constexpr qsizetype variableRecordSize = recordSize(variableFields);
inline constexpr qsizetype dataSetRecordSize = recordSize(dataSetFields);
inline constexpr qsizetype memberRecordSize = recordSize(memberFields);
static_assert(headerSize == 24 && variableRecordSize == 32 && dataSetRecordSize == 28 && memberRecordSize == 16);

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
