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

// Bytes the request tables take for the last item of the model: its record and its strings.
qint64 lastItemBytes(const AccessFileModel& model, bool dataSet)
{
    using namespace AccessItem;
    if (!dataSet) {
        const StoredVariable& v = model.variables.back();
        return RequestTables::variableSize + imageTextSize(v[BType].text) + imageTextSize(normalizedIpAddress(v[IpAddress].text))
            + imageTextSize(v[Reference].text);
    }
    const StoredDataSet& d = model.dataSets.back();
    qint64 bytes = RequestTables::dataSetSize + imageTextSize(d[DsGooseName].text) + imageTextSize(d[DsReference].text)
        + imageTextSize(normalizedIpAddress(d[DsIpAddress].text));
    for (const StoredMember& m : d.members)
        bytes += RequestTables::variableDsSize + imageTextSize(m[MBType].text) + imageTextSize(m[MReference].text);
    return bytes;
}

Result readFile(RequestTables& tables, const QString& path, QChar separator, qint64 room)
{
    // Stops reading as soon as the tables certainly exceed the device's room: a file of a
    // million items is refused without converting them all. The last item is left to the
    // writer, whose message gives the exact size.
    qint64 bytes = RequestTables::headerSize;
    size_t dataSetsSeen = 0;
    const AccessItemCheck fits = [&](const AccessFileModel& model, bool more) {
        const bool dataSet = model.dataSets.size() > dataSetsSeen;
        bytes += lastItemBytes(model, dataSet);
        dataSetsSeen = model.dataSets.size();
        if (more && bytes > room)
            return Result::failed(Text::ErrorRequestTablesAtLeast, {QString::number(bytes), QString::number(room)});
        return Result::success();
    };
    AccessFileModel model;
    if (Result read = readAccessFileModel(path, model, room > 0 ? fits : AccessItemCheck{}); !read)
        return read;
    const QString file = QDir::toNativeSeparators(path);
    for (size_t i = 0; i < model.dataSets.size(); ++i)
        if (const size_t count = model.dataSets[i].members.size(); count > DataSetRecord::maxVariables)
            return Result::failed(Text::ErrorDataSetTooManyMembers,
                {file, QString::number(i + 1), QString::number(count), QString::number(DataSetRecord::maxVariables)});
    for (const StoredVariable& item : model.variables)
        tables.variableList.push_back(toRecord(item, separator));
    for (const StoredDataSet& item : model.dataSets)
        tables.dataSetList.push_back(toRecord(item, separator));
    tables.nVariable = static_cast<qint32>(tables.variableList.size());
    tables.nDataSet = static_cast<qint32>(tables.dataSetList.size());
    return Result::success();
}

// Every record and string gets the device address at which the writer will put it.
void computeAddresses(RequestTables& tables, quint32 base)
{
    qint64 at = base + RequestTables::headerSize;
    auto take = [&at](qint64 size) {
        const auto address = static_cast<quint32>(at);
        at += size;
        return address;
    };
    auto text = [&take](const QString& s) { return take(imageTextSize(s)); };

    tables.variableListAddress = take(RequestTables::variableSize * static_cast<qint64>(tables.variableList.size()));
    tables.dataSetListAddress = take(RequestTables::dataSetSize * static_cast<qint64>(tables.dataSetList.size()));
    for (DataSetRecord& d : tables.dataSetList)
        d.variableListAddress = take(RequestTables::variableDsSize * static_cast<qint64>(d.variableList.size()));
    for (VariableRecord& v : tables.variableList) {
        v.bTypeAddress = text(v.bType);
        v.hostNameAddress = text(v.hostname);
        v.referenceAddress = text(v.reference);
    }
    for (DataSetRecord& d : tables.dataSetList) {
        d.gooseNameAddress = text(d.gooseName);
        d.referenceAddress = text(d.reference);
        d.hostNameAddress = text(d.hostname);
    }
    for (DataSetRecord& d : tables.dataSetList)
        for (MemberRecord& v : d.variableList) {
            v.bTypeAddress = text(v.bType);
            v.referenceAddress = text(v.reference);
        }
    tables.length = at - base;
}

} // namespace

Result loadRequestTables(RequestTables& tables, const QString& iecClientFile, quint32 base, QChar decimalSeparator, qint64 room)
{
    tables.variableList.clear();
    tables.dataSetList.clear();
    tables.nVariable = tables.nDataSet = 0;
    if (QFileInfo::exists(iecClientFile))
        if (auto read = readFile(tables, iecClientFile, decimalSeparator, room); !read)
            return read;
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
    w.U32(static_cast<quint32>(tables.nVariable));
    w.U32(static_cast<quint32>(tables.nDataSet));
    w.U32(static_cast<quint32>(tables.vLan));
    w.U32(static_cast<quint32>(tables.appID));
    w.U32(tables.variableListAddress);
    w.U32(tables.dataSetListAddress);
    for (const VariableRecord& v : tables.variableList) {
        w.U8(v.fc[0]);
        w.U8(v.fc[1]);
        w.U8(v.rw);
        w.U8(v.bitAddress);
        w.U8(v.options);
        w.U8(v.conversion);
        w.U8(v.startbyte);
        w.U8(v.numbyte);
        w.U16(v.position);
        w.U16(v.tcpPort);
        w.U32(v.time);
        w.F32(v.moltFactor);
        w.U32(v.bTypeAddress);
        w.U32(v.hostNameAddress);
        w.U32(v.referenceAddress);
    }
    for (const DataSetRecord& d : tables.dataSetList) {
        w.U8(d.nVariable);
        w.U8(d.options);
        w.U16(d.tcpPort);
        w.U8(d.enGoose);
        for (quint8 s : d.spare)
            w.U8(s);
        w.U32(d.time);
        w.U32(d.gooseNameAddress);
        w.U32(d.referenceAddress);
        w.U32(d.hostNameAddress);
        w.U32(d.variableListAddress);
    }
    for (const DataSetRecord& d : tables.dataSetList)
        for (const MemberRecord& v : d.variableList) {
            w.U16(v.position);
            w.U8(v.bitAddress);
            w.U8(v.conversion);
            w.F32(v.moltFactor);
            w.U32(v.bTypeAddress);
            w.U32(v.referenceAddress);
        }
    for (const VariableRecord& v : tables.variableList) {
        w.text(v.bType);
        w.text(v.hostname);
        w.text(v.reference);
    }
    for (const DataSetRecord& d : tables.dataSetList) {
        w.text(d.gooseName);
        w.text(d.reference);
        w.text(d.hostname);
    }
    for (const DataSetRecord& d : tables.dataSetList)
        for (const MemberRecord& v : d.variableList) {
            w.text(v.bType);
            w.text(v.reference);
        }
    // The addresses were computed from the same layout; a mismatch would corrupt the device's pointers.
    if (w.overflowed() || w.position() != start + tables.length)
        return Result::failed(
            Text::ErrorRequestTablesLayout, {QString::number(w.position() - start), QString::number(tables.length)});
    end = w.position();
    return Result::success();
}

} // namespace Image
