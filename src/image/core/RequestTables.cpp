#include "image/core/RequestTables.h"
#include "base/Conversions.h"
#include "base/TextNumbers.h"
#include "image/core/LittleEndian.h"
#include "access/core/AccessFileModel.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Image {

void clearRequestTables(RequestTables& tables) { tables = RequestTables{}; }

namespace {

quint8 low8(const QString& text, qsizetype i) { return i < text.size() ? static_cast<quint8>(text[i].unicode()) : 0; }

float multFactor(const QString& text, QChar separator)
{
    float value = 1.0f;
    parseDecimal(text, separator, value); // 1.0 for "None", an empty or any other text
    return value;
}

VariableRecord toRecord(const StoredVariable& item, QChar separator)
{
    using namespace AccessItem;
    VariableRecord v;
    v.bType = item[BType].text;
    const QString& fc = item[Fc].text;
    v.fc = {low8(fc, 0), low8(fc, 1)};
    v.reference = item[Reference].text;
    if (const int numByte = fixedNumByte(v.bType); numByte > 0) {
        v.startbyte = 0;
        v.numbyte = static_cast<quint8>(numByte);
    } else {
        v.startbyte = static_cast<quint8>(item[StartByte].numberOr(0));
        v.numbyte = static_cast<quint8>(item[NumByte].numberOr(1));
    }
    v.hostname = normalizedIpAddress(item[IpAddress].text); // never with blanks
    v.tcpPort = static_cast<quint16>(item[Port].numberOr(0));
    v.options = (item[OnChange].is("Y") ? 1 : 0) | (item[OnCmd].is("Y") ? 2 : 0) | (item[OnTimer].is("Y") ? 4 : 0);
    v.time = static_cast<quint32>(item[Time].numberOr(1000));
    v.position = static_cast<quint16>(item[Position].numberOr(0));
    v.bitAddress = static_cast<quint8>(item[StartBit].numberOr(0));
    v.rw = item[ReadWrite].is("Read") ? 0 : 1;
    v.conversion = item[Conversion].is("ItoF/FtoI") ? 1 : 0;
    v.moltFactor = multFactor(item[MultFactor].text, separator);
    return v;
}

MemberRecord toRecord(const StoredMember& item, QChar separator)
{
    using namespace AccessItem;
    MemberRecord v;
    v.bType = item[MBType].text;
    v.reference = item[MReference].text;
    v.position = static_cast<quint16>(item[MPosition].numberOr(0));
    v.bitAddress = static_cast<quint8>(item[MStartBit].numberOr(0));
    v.conversion = item[MConversion].is("ItoF/FtoI") ? 1 : 0;
    v.moltFactor = multFactor(item[MMultFactor].text, separator);
    return v;
}

DataSetRecord toRecord(const StoredDataSet& item, QChar separator)
{
    using namespace AccessItem;
    DataSetRecord d;
    d.tcpPort = static_cast<quint16>(item[DsPort].numberOr(0));
    d.enGoose = item[DsEnGoose].is("Y") ? 1 : 0;
    d.time = static_cast<quint32>(item[DsTime].numberOr(1000));
    d.gooseName = item[DsGooseName].text;
    d.reference = item[DsReference].text;
    d.hostname = normalizedIpAddress(item[DsIpAddress].text);
    for (const StoredMember& member : item.members)
        d.variableList.push_back(toRecord(member, separator));
    d.nVariable = static_cast<quint8>(item.members.size());
    return d;
}

// Writes a record's fields in their order; a text field gets its string's address.
template <typename Record, size_t N>
void writeRecord(LittleEndianWriter& w, const Record& record, const RecordField<Record> (&fields)[N])
{
    for (const RecordField<Record>& f : fields)
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, typename RecordField<Record>::Spare>) {
                    for (qsizetype i = 0; i < m.size; ++i)
                        w.U8(0);
                } else if constexpr (std::is_same_v<M, typename RecordField<Record>::Text>)
                    w.U32(record.*m.address);
                else if constexpr (std::is_same_v<M, quint8 Record::*>)
                    w.U8(record.*m);
                else if constexpr (std::is_same_v<M, quint16 Record::*>)
                    w.U16(record.*m);
                else if constexpr (std::is_same_v<M, float Record::*>)
                    w.F32(record.*m);
                else if constexpr (std::is_same_v<M, std::array<quint8, 2> Record::*>) {
                    for (const quint8 b : record.*m)
                        w.U8(b);
                } else
                    w.U32(static_cast<quint32>(record.*m));
            },
            f.member);
}

// Visits the text fields of a record in their order, with the text and its address.
template <typename Item, typename Record, size_t N, typename Visit>
void forEachText(Item& record, const RecordField<Record> (&fields)[N], Visit visit)
{
    for (const RecordField<Record>& f : fields)
        if (const auto* t = std::get_if<typename RecordField<Record>::Text>(&f.member))
            visit(record.*(t->text), record.*(t->address));
}

// Bytes a record and its strings take in the tables.
template <typename Record, size_t N> qint64 storedSize(const Record& record, const RecordField<Record> (&fields)[N])
{
    qint64 bytes = recordSize(fields);
    forEachText(record, fields, [&bytes](const QString& text, quint32) { bytes += imageTextSize(text); });
    return bytes;
}

qint64 storedSize(const VariableRecord& v) { return storedSize(v, variableFields); }

qint64 storedSize(const DataSetRecord& d)
{
    qint64 bytes = storedSize(d, dataSetFields);
    for (const MemberRecord& m : d.variableList)
        bytes += storedSize(m, memberFields);
    return bytes;
}

Result readFile(RequestTables& tables, const QString& path, QChar separator, qint64 room)
{
    // Each item becomes its record as soon as it is read. With a `room`, reading stops as soon
    // as the tables certainly exceed it: a file of a million items is refused without reading
    // them all. The last item is left to the writer, whose message gives the exact size.
    qint64 bytes = headerSize;
    const AccessItemCheck convert = [&](const AccessFileModel& model, bool more) {
        if (model.dataSets.size() > tables.dataSetList.size()) {
            tables.dataSetList.push_back(toRecord(model.dataSets.back(), separator));
            bytes += storedSize(tables.dataSetList.back());
        } else {
            tables.variableList.push_back(toRecord(model.variables.back(), separator));
            bytes += storedSize(tables.variableList.back());
        }
        if (room > 0 && more && bytes > room)
            return Result::failed(Text::ErrorRequestTablesAtLeast, {QString::number(bytes), QString::number(room)});
        return Result::success();
    };
    AccessFileModel model;
    if (Result read = readAccessFileModel(path, model, convert); !read)
        return read;
    const QString file = QDir::toNativeSeparators(path);
    for (size_t i = 0; i < model.dataSets.size(); ++i)
        if (const size_t count = model.dataSets[i].members.size(); count > DataSetRecord::maxVariables)
            return Result::failed(Text::ErrorDataSetTooManyMembers,
                {file, QString::number(i + 1), QString::number(count), QString::number(DataSetRecord::maxVariables)});
    tables.nVariable = static_cast<qint32>(tables.variableList.size());
    tables.nDataSet = static_cast<qint32>(tables.dataSetList.size());
    return Result::success();
}

// Visits every record after the header in the order the tables hold them: the variables, the
// data sets, then the attributes of each data set in turn.
template <typename Tables, typename Visit> void forEachRecord(Tables& tables, Visit visit)
{
    for (auto& v : tables.variableList)
        visit(v, variableFields);
    for (auto& d : tables.dataSetList)
        visit(d, dataSetFields);
    for (auto& d : tables.dataSetList)
        for (auto& m : d.variableList)
            visit(m, memberFields);
}

// Every record and string gets the device address at which the writer will put it: the
// records in the order of forEachRecord(), then their strings in the same order.
void computeAddresses(RequestTables& tables, quint32 base)
{
    qint64 at = base + headerSize;
    auto take = [&at](qint64 size) {
        const auto address = static_cast<quint32>(at);
        at += size;
        return address;
    };
    tables.variableListAddress = take(variableRecordSize * static_cast<qint64>(tables.variableList.size()));
    tables.dataSetListAddress = take(dataSetRecordSize * static_cast<qint64>(tables.dataSetList.size()));
    for (DataSetRecord& d : tables.dataSetList)
        d.variableListAddress = take(memberRecordSize * static_cast<qint64>(d.variableList.size()));
    forEachRecord(tables, [&take](auto& record, const auto& fields) {
        forEachText(record, fields, [&take](const QString& text, quint32& address) { address = take(imageTextSize(text)); });
    });
    tables.length = at - base;
}

} // namespace

Result loadRequestTables(RequestTables& tables, const QString& iecClientFile, quint32 base, QChar decimalSeparator, qint64 room)
{
    tables.variableList.clear();
    tables.dataSetList.clear();
    tables.nVariable = tables.nDataSet = 0;
    if (QFileInfo::exists(iecClientFile))
        if (auto read = readFile(tables, iecClientFile, decimalSeparator, room); !read) {
            tables.variableList.clear();
            tables.dataSetList.clear();
            return read;
        }
    computeAddresses(tables, base);
    return Result::success();
}

Result writeRequestTables(
    const RequestTables& tables, std::span<quint8> buffer, qsizetype start, qsizetype highest, qsizetype& end)
{
    end = start;
    const qsizetype limit = std::min(highest + 1, static_cast<qsizetype>(buffer.size()));
    if (start < 0 || tables.length > limit - start)
        return Result::failed(Text::ErrorRequestTablesTooLarge,
            {QString::number(tables.length), QString::number(std::max<qsizetype>(limit - start, 0))});

    LittleEndianWriter w(buffer.first(static_cast<size_t>(limit)), start);
    writeRecord(w, tables, headerFields);
    forEachRecord(tables, [&w](const auto& record, const auto& fields) { writeRecord(w, record, fields); });
    forEachRecord(tables, [&w](const auto& record, const auto& fields) {
        forEachText(record, fields, [&w](const QString& text, quint32) { w.text(text); });
    });
    // The addresses were computed from the same layout; a mismatch would corrupt the device's pointers.
    if (w.overflowed() || w.position() != start + tables.length)
        return Result::failed(
            Text::ErrorRequestTablesLayout, {QString::number(w.position() - start), QString::number(tables.length)});
    end = w.position();
    return Result::success();
}

} // namespace Image
