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
    // An address field and the string it points at.
    void textAddress(const char* name)
    {
        const quint32 address = U32();
        const qint64 at = static_cast<qint64>(address) - Base;
        qint64 end = at;
        while (end >= 0 && end < static_cast<qint64>(bytes.size()) && bytes[static_cast<size_t>(end)] != 0)
            ++end;
        if (at < 0 || end >= static_cast<qint64>(bytes.size())) {
            out.field(QLatin1String(name), hex(address));
            out.problem(QStringLiteral("%1 does not point at a terminated string inside the file").arg(QLatin1String(name)));
            return;
        }
        const QString text
            = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data() + at), static_cast<qsizetype>(end - at));
        out.field(QLatin1String(name), QStringLiteral("%1 -> \"%2\"").arg(hex(address), text));
        stringsEnd = std::max(stringsEnd, end + 1);
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
    if (!in.record(QStringLiteral("Header"), base, RequestTables::headerSize))
        return r.result;
    const quint32 nVariable = in.U32(), nDataSet = in.U32();
    r.field(QStringLiteral("nVariable"), QString::number(nVariable));
    r.field(QStringLiteral("nDataSet"), QString::number(nDataSet));
    r.field(QStringLiteral("vLan"), QString::number(static_cast<qint32>(in.U32())));
    r.field(QStringLiteral("appID"), QString::number(static_cast<qint32>(in.U32())));
    const quint32 variableListAddress = in.U32(), dataSetListAddress = in.U32();
    r.field(QStringLiteral("Variable_Add"), hex(variableListAddress));
    r.field(QStringLiteral("DataSet_Add"), hex(dataSetListAddress));

    for (quint32 i = 0; i < nVariable; ++i) {
        if (!in.record(QStringLiteral("Variable %1").arg(i + 1),
                entryAddress(variableListAddress, i, RequestTables::variableSize), RequestTables::variableSize))
            return r.result;
        const quint32 fc0 = in.U8(), fc1 = in.U8();
        r.field(QStringLiteral("fc"),
            QStringLiteral("\"%1%2\" (%3 %4)").arg(QChar(fc0)).arg(QChar(fc1)).arg(hex(fc0, 2), hex(fc1, 2)));
        const quint32 rw = in.U8();
        r.field(QStringLiteral("rw"),
            QStringLiteral("%1 (%2)").arg(rw).arg(rw == 0 ? QStringLiteral("read") : QStringLiteral("write")));
        r.field(QStringLiteral("bit_address"), QString::number(in.U8()));
        r.field(QStringLiteral("options"), optionsText(in.U8()));
        r.field(QStringLiteral("conversion"), conversionText(in.U8()));
        r.field(QStringLiteral("startbyte"), QString::number(in.U8()));
        r.field(QStringLiteral("numbyte"), QString::number(in.U8()));
        r.field(QStringLiteral("position"), QString::number(in.U16()));
        r.field(QStringLiteral("tcpPort"), QString::number(in.U16()));
        r.field(QStringLiteral("time"), QString::number(in.U32()));
        r.field(QStringLiteral("moltFactor"), in.F32());
        in.textAddress("bType_Add");
        in.textAddress("hostname_Add");
        in.textAddress("reference_Add");
    }
    struct Members {
        quint32 count, add;
    };
    std::vector<Members> members;
    for (quint32 i = 0; i < nDataSet; ++i) {
        if (!in.record(QStringLiteral("Data set %1").arg(i + 1), entryAddress(dataSetListAddress, i, RequestTables::dataSetSize),
                RequestTables::dataSetSize))
            return r.result;
        const quint32 count = in.U8();
        r.field(QStringLiteral("nVariable"), QString::number(count));
        r.field(QStringLiteral("options"), optionsText(in.U8()));
        r.field(QStringLiteral("tcpPort"), QString::number(in.U16()));
        r.field(QStringLiteral("enGoose"), QString::number(in.U8()));
        quint32 spare = 0;
        for (int k = 0; k < 3; ++k)
            spare |= in.U8();
        if (spare != 0)
            r.problem(QStringLiteral("spare bytes are not 0"));
        r.field(QStringLiteral("time"), QString::number(in.U32()));
        in.textAddress("goose_name_Add");
        in.textAddress("reference_Add");
        in.textAddress("hostname_Add");
        const quint32 listAdd = in.U32();
        r.field(QStringLiteral("VariableList_Add"), hex(listAdd));
        members.push_back({count, listAdd});
    }
    for (quint32 i = 0; i < members.size(); ++i)
        for (quint32 k = 0; k < members[i].count; ++k) {
            if (!in.record(QStringLiteral("Data set %1, attribute %2").arg(i + 1).arg(k + 1),
                    entryAddress(members[i].add, k, RequestTables::variableDsSize), RequestTables::variableDsSize))
                return r.result;
            r.field(QStringLiteral("position"), QString::number(in.U16()));
            r.field(QStringLiteral("bitAddress"), QString::number(in.U8()));
            r.field(QStringLiteral("conversion"), conversionText(in.U8()));
            r.field(QStringLiteral("moltFactor"), in.F32());
            in.textAddress("bType_Add");
            in.textAddress("reference_Add");
        }

    if (variableListAddress != base + RequestTables::headerSize)
        r.problem(QStringLiteral("Variable_Add should be %1").arg(hex(base + RequestTables::headerSize)));
    if (dataSetListAddress != variableListAddress + nVariable * RequestTables::variableSize)
        r.problem(QStringLiteral("DataSet_Add should follow the variable records"));
    const qint64 end = std::max<qint64>(in.stringsEnd, in.pos);
    if (end != static_cast<qint64>(bytes.size()))
        r.problem(QStringLiteral("the tables end at offset %1 but the file has %2 bytes").arg(end).arg(bytes.size()));
    return r.result;
}

Inspection inspectImage(std::span<const quint8> bytes)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (size >= RequestTables::headerSize && getU32(bytes, 16) == requestTablesAddress + RequestTables::headerSize)
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
