#include "ImageInspect.h"
#include "LittleEndian.h"
#include "ParameterBlock.h"
#include "RequestTables.h"
#include <QStringList>
#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

namespace Image {

namespace {

QString Hex(quint32 value, int digits = 8) { return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, u'0'); }

class TReport {
public:
    TInspection Result;

    void Line(const QString& text) { Result.Text += text + u'\n'; }
    void Field(const QString& name, const QString& value) { Line(QStringLiteral("  %1 = %2").arg(name.leftJustified(26), value)); }
    void Problem(const QString& text)
    {
        ++Result.Problems;
        Line(QStringLiteral("  PROBLEM: ") + text);
    }
};

// Reads the request tables record by record, resolving each address to its string.
class TTables_Reader {
public:
    TTables_Reader(std::span<const quint8> bytes, quint32 base, TReport& report)
        : Bytes(bytes), Base(base), Out(report) {}

    // Starts a record of `size` bytes at `address`; false (and a problem) if the file ends inside it.
    bool Record(const QString& title, quint32 address, qsizetype size)
    {
        Pos = static_cast<qint64>(address) - Base;
        Out.Line(QStringLiteral("%1 at offset %2 (%3)").arg(title).arg(Pos).arg(Hex(address)));
        if (Pos < 0 || Pos + size > static_cast<qint64>(Bytes.size())) {
            Out.Problem(QStringLiteral("the record lies outside the file"));
            return false;
        }
        return true;
    }
    quint32 U8() { return Bytes[static_cast<size_t>(Pos++)]; }
    quint32 U16() { return Get_U16(Bytes, std::exchange(Pos, Pos + 2)); }
    quint32 U32() { return Get_U32(Bytes, std::exchange(Pos, Pos + 4)); }
    QString F32()
    {
        const quint32 bits = U32();
        return QStringLiteral("%1 (%2)").arg(QString::number(std::bit_cast<float>(bits), 'g', 9), Hex(bits));
    }
    // An address field and the string it points at.
    void Text_Address(const char* name)
    {
        const quint32 address = U32();
        const qint64 at = static_cast<qint64>(address) - Base;
        qint64 end = at;
        while (end >= 0 && end < static_cast<qint64>(Bytes.size()) && Bytes[static_cast<size_t>(end)] != 0)
            ++end;
        if (at < 0 || end >= static_cast<qint64>(Bytes.size())) {
            Out.Field(QLatin1String(name), Hex(address));
            Out.Problem(QStringLiteral("%1 does not point at a terminated string inside the file").arg(QLatin1String(name)));
            return;
        }
        const QString text = QString::fromLatin1(reinterpret_cast<const char*>(Bytes.data() + at), static_cast<qsizetype>(end - at));
        Out.Field(QLatin1String(name), QStringLiteral("%1 -> \"%2\"").arg(Hex(address), text));
        Strings_End = std::max(Strings_End, end + 1);
    }

    std::span<const quint8> Bytes;
    quint32 Base;
    TReport& Out;
    qint64 Pos = 0;
    qint64 Strings_End = 0;
};

QString Options_Text(quint32 options)
{
    QStringList on;
    if (options & 1)
        on << QStringLiteral("on change");
    if (options & 2)
        on << QStringLiteral("on command");
    if (options & 4)
        on << QStringLiteral("on timer");
    return QStringLiteral("%1 (%2)").arg(options).arg(on.isEmpty() ? QStringLiteral("no trigger") : on.join(QStringLiteral(", ")));
}

QString Conversion_Text(quint32 c) { return QStringLiteral("%1 (%2)").arg(c).arg(c == 1 ? QStringLiteral("ItoF/FtoI") : c == 0 ? QStringLiteral("none") : QStringLiteral("?")); }

} // namespace

TInspection Describe_Parameter_Block(std::span<const quint8> bytes)
{
    TReport r;
    r.Line(QStringLiteral("Parameter block, %1 bytes").arg(bytes.size()));
    if (static_cast<qsizetype>(bytes.size()) != TParameterBlock::Size) {
        r.Problem(QStringLiteral("a parameter block has %1 bytes").arg(TParameterBlock::Size));
        return r.Result;
    }
    std::vector<bool> covered(bytes.size());
    for (const TBlock_Field& f : Block_Fields) {
        QString value;
        bool initial = true;
        if (f.Kind == TBlock_Field::TKind::Octets) {
            QStringList octets;
            for (int i = 0; i < f.Count; ++i) {
                const quint8 b = bytes[static_cast<size_t>(f.Offset + i)];
                octets << QString::number(b);
                initial = initial && b == f.Initial[static_cast<size_t>(i)];
            }
            value = octets.join(f.Count == 4 ? u'.' : u' ');
        } else {
            const quint32 number = f.Kind == TBlock_Field::TKind::U32 ? Get_U32(bytes, f.Offset) : Get_U16(bytes, f.Offset);
            value = f.Offset == Block::Request_Tables_Add ? Hex(number) : QString::number(number);
            initial = number == f.Initial[0];
        }
        for (qsizetype i = 0; i < f.Size(); ++i)
            covered[static_cast<size_t>(f.Offset + i)] = true;
        r.Field(QStringLiteral("%1 %2").arg(Hex(static_cast<quint32>(f.Offset), 3), QLatin1String(f.Name)), value);
        if (f.Fixed && !initial)
            r.Problem(QStringLiteral("%1 is fixed and should hold its initial value").arg(QLatin1String(f.Name)));
    }
    const quint32 sum = Parameter_Block_Checksum(bytes);
    if (Get_U32(bytes, Block::Checksum) == sum)
        r.Line(QStringLiteral("  checksum correct"));
    else
        r.Problem(QStringLiteral("wrong checksum: the first %1 bytes add up to %2").arg(Block::Checksum).arg(sum));
    if (Get_U32(bytes, Block::Request_Tables_Add) != Request_Tables_Address)
        r.Problem(QStringLiteral("the request tables are loaded at %1").arg(Hex(Request_Tables_Address)));
    int reservedSet = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!covered[i] && bytes[i] != 0 && ++reservedSet <= 8)
            r.Problem(QStringLiteral("reserved byte %1 is %2, not 0").arg(Hex(static_cast<quint32>(i), 3)).arg(bytes[i]));
    if (reservedSet == 0)
        r.Line(QStringLiteral("  reserved bytes all 0"));
    else if (reservedSet > 8)
        r.Problem(QStringLiteral("%1 reserved bytes are not 0 in all").arg(reservedSet));
    return r.Result;
}

TInspection Describe_Request_Tables(std::span<const quint8> bytes, quint32 base)
{
    TReport r;
    TTables_Reader in(bytes, base, r);
    r.Line(QStringLiteral("Request tables, %1 bytes, loaded at %2").arg(bytes.size()).arg(Hex(base)));
    if (!in.Record(QStringLiteral("Header"), base, TIEC61850_Client::Header_Size))
        return r.Result;
    const quint32 nVariable = in.U32(), nDataSet = in.U32();
    r.Field(QStringLiteral("nVariable"), QString::number(nVariable));
    r.Field(QStringLiteral("nDataSet"), QString::number(nDataSet));
    r.Field(QStringLiteral("vLan"), QString::number(static_cast<qint32>(in.U32())));
    r.Field(QStringLiteral("appID"), QString::number(static_cast<qint32>(in.U32())));
    const quint32 variableAdd = in.U32(), dataSetAdd = in.U32();
    r.Field(QStringLiteral("Variable_Add"), Hex(variableAdd));
    r.Field(QStringLiteral("DataSet_Add"), Hex(dataSetAdd));

    for (quint32 i = 0; i < nVariable; ++i) {
        if (!in.Record(QStringLiteral("Variable %1").arg(i + 1), variableAdd + i * TIEC61850_Client::Variable_Size, TIEC61850_Client::Variable_Size))
            return r.Result;
        const quint32 fc0 = in.U8(), fc1 = in.U8();
        r.Field(QStringLiteral("fc"), QStringLiteral("\"%1%2\" (%3 %4)").arg(QChar(fc0)).arg(QChar(fc1)).arg(Hex(fc0, 2), Hex(fc1, 2)));
        const quint32 rw = in.U8();
        r.Field(QStringLiteral("rw"), QStringLiteral("%1 (%2)").arg(rw).arg(rw == 0 ? QStringLiteral("read") : QStringLiteral("write")));
        r.Field(QStringLiteral("bit_address"), QString::number(in.U8()));
        r.Field(QStringLiteral("options"), Options_Text(in.U8()));
        r.Field(QStringLiteral("conversion"), Conversion_Text(in.U8()));
        r.Field(QStringLiteral("startbyte"), QString::number(in.U8()));
        r.Field(QStringLiteral("numbyte"), QString::number(in.U8()));
        r.Field(QStringLiteral("position"), QString::number(in.U16()));
        r.Field(QStringLiteral("tcpPort"), QString::number(in.U16()));
        r.Field(QStringLiteral("time"), QString::number(in.U32()));
        r.Field(QStringLiteral("moltFactor"), in.F32());
        in.Text_Address("bType_Add");
        in.Text_Address("hostname_Add");
        in.Text_Address("reference_Add");
    }
    struct TMembers {
        quint32 Count, Add;
    };
    std::vector<TMembers> members;
    for (quint32 i = 0; i < nDataSet; ++i) {
        if (!in.Record(QStringLiteral("Data set %1").arg(i + 1), dataSetAdd + i * TIEC61850_Client::DataSet_Size, TIEC61850_Client::DataSet_Size))
            return r.Result;
        const quint32 count = in.U8();
        r.Field(QStringLiteral("nVariable"), QString::number(count));
        r.Field(QStringLiteral("options"), Options_Text(in.U8()));
        r.Field(QStringLiteral("tcpPort"), QString::number(in.U16()));
        r.Field(QStringLiteral("enGoose"), QString::number(in.U8()));
        quint32 spare = 0;
        for (int k = 0; k < 3; ++k)
            spare |= in.U8();
        if (spare != 0)
            r.Problem(QStringLiteral("spare bytes are not 0"));
        r.Field(QStringLiteral("time"), QString::number(in.U32()));
        in.Text_Address("goose_name_Add");
        in.Text_Address("reference_Add");
        in.Text_Address("hostname_Add");
        const quint32 listAdd = in.U32();
        r.Field(QStringLiteral("VariableList_Add"), Hex(listAdd));
        members.push_back({count, listAdd});
    }
    for (quint32 i = 0; i < members.size(); ++i)
        for (quint32 k = 0; k < members[i].Count; ++k) {
            if (!in.Record(QStringLiteral("Data set %1, attribute %2").arg(i + 1).arg(k + 1), members[i].Add + k * TIEC61850_Client::Variable_DS_Size,
                    TIEC61850_Client::Variable_DS_Size))
                return r.Result;
            r.Field(QStringLiteral("position"), QString::number(in.U16()));
            r.Field(QStringLiteral("bitAddress"), QString::number(in.U8()));
            r.Field(QStringLiteral("conversion"), Conversion_Text(in.U8()));
            r.Field(QStringLiteral("moltFactor"), in.F32());
            in.Text_Address("bType_Add");
            in.Text_Address("reference_Add");
        }

    if (variableAdd != base + TIEC61850_Client::Header_Size)
        r.Problem(QStringLiteral("Variable_Add should be %1").arg(Hex(base + TIEC61850_Client::Header_Size)));
    if (dataSetAdd != variableAdd + nVariable * TIEC61850_Client::Variable_Size)
        r.Problem(QStringLiteral("DataSet_Add should follow the variable records"));
    const qint64 end = std::max<qint64>(in.Strings_End, in.Pos);
    if (end != static_cast<qint64>(bytes.size()))
        r.Problem(QStringLiteral("the tables end at offset %1 but the file has %2 bytes").arg(end).arg(bytes.size()));
    return r.Result;
}

TInspection Inspect_Image(std::span<const quint8> bytes)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (size >= TIEC61850_Client::Header_Size && Get_U32(bytes, 16) == Request_Tables_Address + TIEC61850_Client::Header_Size)
        return Describe_Request_Tables(bytes, Request_Tables_Address);
    if (size == TParameterBlock::Size)
        return Describe_Parameter_Block(bytes);
    return {QStringLiteral("Neither a parameter block (%1 bytes) nor request tables loaded at %2 (%3 bytes).\n")
                .arg(TParameterBlock::Size).arg(Hex(Request_Tables_Address)).arg(size),
        1};
}

} // namespace Image
