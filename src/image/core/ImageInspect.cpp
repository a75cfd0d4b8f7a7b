#include "image/core/ImageInspect.h"
#include "image/core/LittleEndian.h"
#include "image/core/ParameterBlock.h"
#include "image/core/RequestTables.h"
#include <QStringList>
#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

namespace Image {

namespace {

QString hex(quint32 value, int digits = 8)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

class Report {
public:
    Inspection result;

    void line(const QString& text) { result.text += text + u'\n'; }
    void field(const QString& name, const QString& value)
    {
        line(QStringLiteral("  %1 = %2").arg(name.leftJustified(26), value));
    }
    void problem(const QString& text)
    {
        ++result.problems;
        line(QStringLiteral("  PROBLEM: ") + text);
    }
};

// Address of entry `index` of a table of `size`-byte records. Addresses are 32 bits in the
// device: a count read from a broken file wraps as it would there.
quint32 entryAddress(quint32 first, quint32 index, qsizetype size) { return static_cast<quint32>(first + index * size); }

// Reads the request tables record by record, resolving each address to its string.
class TablesReader {
public:
    TablesReader(std::span<const quint8> image, quint32 base, Report& report)
        : bytes(image)
        , Base(base)
        , out(report)
    {
    }

    // Starts a record of `size` bytes at `address`; false (and a problem) if the file ends inside it.
    bool record(const QString& title, quint32 address, qsizetype size)
    {
        pos = static_cast<qint64>(address) - Base;
        out.line(QStringLiteral("%1 at offset %2 (%3)").arg(title).arg(pos).arg(hex(address)));
        if (pos < 0 || pos + size > static_cast<qint64>(bytes.size())) {
            out.problem(QStringLiteral("the record lies outside the file"));
            return false;
        }
        return true;
    }
    quint32 U8() { return bytes[static_cast<size_t>(pos++)]; }
    quint32 U16() { return getU16(bytes, std::exchange(pos, pos + 2)); }
    quint32 U32() { return getU32(bytes, std::exchange(pos, pos + 4)); }
    QString F32()
    {
        const quint32 bits = U32();
        return QStringLiteral("%1 (%2)").arg(QString::number(std::bit_cast<float>(bits), 'g', 9), hex(bits));
    }
    // An address field and the string it points at; returns the address.
    quint32 textAddress(const char* name)
    {
        const quint32 address = U32();
        const qint64 at = static_cast<qint64>(address) - Base;
        qint64 end = at;
        while (end >= 0 && end < static_cast<qint64>(bytes.size()) && bytes[static_cast<size_t>(end)] != 0)
            ++end;
        if (at < 0 || end >= static_cast<qint64>(bytes.size())) {
            out.field(QLatin1String(name), hex(address));
            out.problem(QStringLiteral("%1 does not point at a terminated string inside the file").arg(QLatin1String(name)));
            return address;
        }
        const QString text
            = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data() + at), static_cast<qsizetype>(end - at));
        out.field(QLatin1String(name), QStringLiteral("%1 -> \"%2\"").arg(hex(address), text));
        stringsEnd = std::max(stringsEnd, end + 1);
        return address;
    }

    std::span<const quint8> bytes;
    quint32 Base;
    Report& out;
    qint64 pos = 0;
    qint64 stringsEnd = 0;
};

QString optionsText(quint32 options)
{
    QStringList on;
    if (options & 1)
        on << QStringLiteral("on change");
    if (options & 2)
        on << QStringLiteral("on command");
    if (options & 4)
        on << QStringLiteral("on timer");
    return QStringLiteral("%1 (%2)").arg(options).arg(
        on.isEmpty() ? QStringLiteral("no trigger") : on.join(QStringLiteral(", ")));
}

QString conversionText(quint32 c)
{
    return QStringLiteral("%1 (%2)").arg(c).arg(c == 1 ? QStringLiteral("ItoF/FtoI")
            : c == 0                                   ? QStringLiteral("none")
                                                       : QStringLiteral("?"));
}

QString shownNumber(quint32 value, FieldShown shown)
{
    switch (shown) {
    case FieldShown::Signed:
        return QString::number(static_cast<qint32>(value));
    case FieldShown::Hex:
        return hex(value);
    case FieldShown::ReadWrite:
        return QStringLiteral("%1 (%2)").arg(value).arg(value == 0 ? QStringLiteral("read") : QStringLiteral("write"));
    case FieldShown::Options:
        return optionsText(value);
    case FieldShown::Conversion:
        return conversionText(value);
    case FieldShown::Number:
        break;
    }
    return QString::number(value);
}

// Reads a record field by field as its table describes it, showing each field; `record`
// receives the numbers and addresses read.
template <typename Record, size_t N> void describeRecord(TablesReader& in, Record& record, const RecordField<Record> (&fields)[N])
{
    Report& out = in.out;
    for (const RecordField<Record>& f : fields)
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                const QString name = QLatin1String(f.name);
                if constexpr (std::is_same_v<M, typename RecordField<Record>::Spare>) {
                    quint32 spare = 0;
                    for (qsizetype k = 0; k < m.size; ++k)
                        spare |= in.U8();
                    if (spare != 0)
                        out.problem(QStringLiteral("%1 bytes are not 0").arg(name));
                } else if constexpr (std::is_same_v<M, typename RecordField<Record>::Text>)
                    record.*m.address = in.textAddress(f.name);
                else if constexpr (std::is_same_v<M, float Record::*>)
                    out.field(name, in.F32());
                else if constexpr (std::is_same_v<M, std::array<quint8, 2> Record::*>) {
                    const quint32 c0 = in.U8(), c1 = in.U8();
                    out.field(name, QStringLiteral("\"%1%2\" (%3 %4)").arg(QChar(c0)).arg(QChar(c1)).arg(hex(c0, 2), hex(c1, 2)));
                } else {
                    using Value = std::remove_reference_t<decltype(record.*m)>;
                    const quint32 value = sizeof(Value) == 1 ? in.U8() : sizeof(Value) == 2 ? in.U16() : in.U32();
                    record.*m = static_cast<Value>(value);
                    out.field(name, shownNumber(value, f.shown));
                }
            },
            f.member);
}

} // namespace

Inspection describeParameterBlock(std::span<const quint8> bytes)
{
    Report r;
    r.line(QStringLiteral("Parameter block, %1 bytes").arg(bytes.size()));
    if (static_cast<qsizetype>(bytes.size()) != ParameterBlock::size) {
        r.problem(QStringLiteral("a parameter block has %1 bytes").arg(ParameterBlock::size));
        return r.result;
    }
    std::vector<bool> covered(bytes.size());
    for (const BlockField& f : blockFields) {
        QString value;
        bool initial = true;
        if (f.kind == BlockField::Kind::Octets) {
            QStringList octets;
            for (int i = 0; i < f.count; ++i) {
                const quint8 b = bytes[static_cast<size_t>(f.offset + i)];
                octets << QString::number(b);
                initial = initial && b == f.Initial[static_cast<size_t>(i)];
            }
            value = octets.join(f.count == 4 ? u'.' : u' ');
        } else {
            const quint32 number = f.kind == BlockField::Kind::U32 ? getU32(bytes, f.offset) : getU16(bytes, f.offset);
            value = f.offset == block::requestTablesAdd ? hex(number) : QString::number(number);
            initial = number == f.Initial[0];
        }
        for (qsizetype i = 0; i < f.size(); ++i)
            covered[static_cast<size_t>(f.offset + i)] = true;
        r.field(QStringLiteral("%1 %2").arg(hex(static_cast<quint32>(f.offset), 3), QLatin1String(f.name)), value);
        if (f.fixed && !initial)
            r.problem(QStringLiteral("%1 is fixed and should hold its initial value").arg(QLatin1String(f.name)));
    }
    const quint32 sum = parameterBlockChecksum(bytes);
    if (getU32(bytes, block::checksum) == sum)
        r.line(QStringLiteral("  checksum correct"));
    else
        r.problem(QStringLiteral("wrong checksum: the first %1 bytes add up to %2").arg(block::checksum).arg(sum));
    if (getU32(bytes, block::requestTablesAdd) != requestTablesAddress)
        r.problem(QStringLiteral("the request tables are loaded at %1").arg(hex(requestTablesAddress)));
    int reservedSet = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!covered[i] && bytes[i] != 0 && ++reservedSet <= 8)
            r.problem(QStringLiteral("reserved byte %1 is %2, not 0").arg(hex(static_cast<quint32>(i), 3)).arg(bytes[i]));
    if (reservedSet == 0)
        r.line(QStringLiteral("  reserved bytes all 0"));
    else if (reservedSet > 8)
        r.problem(QStringLiteral("%1 reserved bytes are not 0 in all").arg(reservedSet));
    return r.result;
}

Inspection describeRequestTables(std::span<const quint8> bytes, quint32 base)
{
    Report r;
    TablesReader in(bytes, base, r);
    r.line(QStringLiteral("Request tables, %1 bytes, loaded at %2").arg(bytes.size()).arg(hex(base)));
    if (!in.record(QStringLiteral("Header"), base, headerSize))
        return r.result;
    RequestTables header;
    describeRecord(in, header, headerFields);
    const auto nVariable = static_cast<quint32>(header.nVariable), nDataSet = static_cast<quint32>(header.nDataSet);
    const quint32 variableListAddress = header.variableListAddress, dataSetListAddress = header.dataSetListAddress;

    for (quint32 i = 0; i < nVariable; ++i) {
        if (!in.record(QStringLiteral("Variable %1").arg(i + 1), entryAddress(variableListAddress, i, variableRecordSize),
                variableRecordSize))
            return r.result;
        VariableRecord variable;
        describeRecord(in, variable, variableFields);
    }
    std::vector<DataSetRecord> dataSets;
    for (quint32 i = 0; i < nDataSet; ++i) {
        if (!in.record(QStringLiteral("Data set %1").arg(i + 1), entryAddress(dataSetListAddress, i, dataSetRecordSize),
                dataSetRecordSize))
            return r.result;
        dataSets.emplace_back();
        describeRecord(in, dataSets.back(), dataSetFields);
    }
    for (quint32 i = 0; i < dataSets.size(); ++i)
        for (quint32 k = 0; k < dataSets[i].nVariable; ++k) {
            if (!in.record(QStringLiteral("Data set %1, attribute %2").arg(i + 1).arg(k + 1),
                    entryAddress(dataSets[i].variableListAddress, k, memberRecordSize), memberRecordSize))
                return r.result;
            MemberRecord member;
            describeRecord(in, member, memberFields);
        }

    if (variableListAddress != base + headerSize)
        r.problem(QStringLiteral("Variable_Add should be %1").arg(hex(base + headerSize)));
    if (dataSetListAddress != variableListAddress + nVariable * variableRecordSize)
        r.problem(QStringLiteral("DataSet_Add should follow the variable records"));
    const qint64 end = std::max<qint64>(in.stringsEnd, in.pos);
    if (end != static_cast<qint64>(bytes.size()))
        r.problem(QStringLiteral("the tables end at offset %1 but the file has %2 bytes").arg(end).arg(bytes.size()));
    return r.result;
}

Inspection inspectImage(std::span<const quint8> bytes)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (size >= headerSize && getU32(bytes, fieldOffset(headerFields, "Variable_Add")) == requestTablesAddress + headerSize)
        return describeRequestTables(bytes, requestTablesAddress);
    if (size == ParameterBlock::size)
        return describeParameterBlock(bytes);
    return {QStringLiteral("Neither a parameter block (%1 bytes) nor request tables loaded at %2 (%3 bytes).\n")
                .arg(ParameterBlock::size)
                .arg(hex(requestTablesAddress))
                .arg(size),
        1};
}

} // namespace Image
