#include "RequestTables.h"
#include "Common.h"
#include "LittleEndian.h"
#include "WholeNumber.h"
#include "XmlFile.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Image {

void Clear_IEC61850_Client(TIEC61850_Client& tables)
{
    tables = TIEC61850_Client{};
}

namespace {

// Value size of the basic types whose size is fixed; other types take it from the item.
struct TType_Size {
    const char* Type;
    quint8 Start_Byte, Num_Byte;
};
constexpr TType_Size Type_Sizes[] = {
    {"FLOAT32", 0, 4}, {"INT32U", 0, 4}, {"INT32", 0, 4}, {"QUALITY", 0, 4},
    {"FLOAT64", 0, 8}, {"INT64", 0, 8},
    {"INT8U", 0, 1}, {"INT8", 0, 1}, {"BOOLEAN", 0, 1}, {"TIMESTAMP", 0, 1}, {"ENUM", 0, 1},
    {"INT16U", 0, 2}, {"INT16", 0, 2},
};

const TType_Size* Fixed_Size(const QString& bType)
{
    const QString upper = bType.toUpper();
    for (const TType_Size& t : Type_Sizes)
        if (upper == QLatin1String(t.Type))
            return &t;
    return nullptr;
}

// The attributes of one item. An attribute read as text must be present: the first one that
// is absent is remembered, and the item is refused once all have been read.
class TItem {
public:
    TItem(pugi::xml_node node, QString where)
        : Node(node), Where(std::move(where)) {}

    QString Text(const char* name)
    {
        const pugi::xml_attribute a = Node.attribute(name);
        if (!a && Missing.isEmpty())
            Missing = QString::fromLatin1(name);
        return Xml_To_QString(a.value());
    }
    // An absent attribute reads as an empty text.
    QString Optional(const char* name) const { return Xml_To_QString(Node.attribute(name).value()); }
    bool Is(const char* name, const char* value) const { return Optional(name) == QLatin1String(value); }

    TResult Check(const QString& file) const
    {
        if (Node.type() != pugi::node_element)
            return TResult::Error(QStringLiteral("%1: %2 is not an element").arg(file, Where));
        if (!Missing.isEmpty())
            return TResult::Error(QStringLiteral("%1: %2 has no %3 attribute").arg(file, Where, Missing));
        return TResult::Success();
    }

    const pugi::xml_node Node;
    const QString Where;

private:
    QString Missing;
};

qsizetype Child_Count(const pugi::xml_node& node)
{
    qsizetype n = 0;
    for (auto it = node.begin(); it != node.end(); ++it)
        ++n;
    return n;
}

quint8 Low_8(const QString& text, qsizetype i) { return i < text.size() ? static_cast<quint8>(text[i].unicode()) : 0; }

float Mult_Factor(const QString& text, QChar separator)
{
    float value = 1.0f;
    Conv_Float(text, separator, value); // 1.0 for "None", an empty or any other text
    return value;
}

TIEC61850_Variable Read_Variable(TItem& item, QChar separator)
{
    TIEC61850_Variable v;
    v.bType = item.Text("bType");
    const QString fc = item.Text("fc");
    v.fc = {Low_8(fc, 0), Low_8(fc, 1)};
    v.reference = item.Text("Reference");
    if (const TType_Size* size = Fixed_Size(v.bType)) {
        v.startbyte = size->Start_Byte;
        v.numbyte = size->Num_Byte;
    } else {
        v.startbyte = static_cast<quint8>(To_Whole_Number(item.Optional("StartByte"), 0));
        v.numbyte = static_cast<quint8>(To_Whole_Number(item.Optional("NumByte"), 1));
    }
    v.hostname = item.Text("IPAddress");
    v.tcpPort = static_cast<quint16>(To_Whole_Number(item.Text("Port"), 0));
    v.options = (item.Is("OnChange", "Y") ? 1 : 0) | (item.Is("OnCMD", "Y") ? 2 : 0) | (item.Is("OnTimer", "Y") ? 4 : 0);
    v.time = static_cast<quint32>(To_Whole_Number(item.Text("Time"), 1000));
    v.position = static_cast<quint16>(To_Whole_Number(item.Text("Position"), 0));
    v.bit_address = static_cast<quint8>(To_Whole_Number(item.Text("StartBit"), 0));
    v.rw = item.Is("ReadWrite", "Read") ? 0 : 1;
    v.conversion = item.Is("Convertion", "ItoF/FtoI") ? 1 : 0;
    v.moltFactor = Mult_Factor(item.Text("MoltFact"), separator);
    return v;
}

TIEC61850_Variable_DS Read_Variable_DS(TItem& item, QChar separator)
{
    TIEC61850_Variable_DS v;
    v.bType = item.Text("bType");
    v.reference = item.Text("Reference");
    v.position = static_cast<quint16>(To_Whole_Number(item.Text("Position"), 0));
    v.bitAddress = static_cast<quint8>(To_Whole_Number(item.Text("StartBit"), 0));
    v.conversion = item.Is("Convertion", "ItoF/FtoI") ? 1 : 0;
    v.moltFactor = Mult_Factor(item.Text("MoltFact"), separator);
    return v;
}

TDataSet Read_DataSet_Header(TItem& item)
{
    TDataSet d;
    d.tcpPort = static_cast<quint16>(To_Whole_Number(item.Text("Port"), 0));
    d.enGoose = item.Is("EnGoose", "Y") ? 1 : 0;
    d.time = static_cast<quint32>(To_Whole_Number(item.Text("Time"), 1000));
    d.goose_name = item.Text("GooseName");
    d.reference = item.Text("Reference");
    d.hostname = item.Text("IPAddress");
    return d;
}

TResult Read_DataSet(TItem& item, const QString& file, QChar separator, TDataSet& d)
{
    d = Read_DataSet_Header(item);
    if (auto checked = item.Check(file); !checked)
        return checked;
    const pugi::xml_node list = item.Node.child("DataSet_List_DAs");
    if (!list)
        return TResult::Error(QStringLiteral("%1: %2 has no DataSet_List_DAs element").arg(file, item.Where));
    const qsizetype count = Child_Count(list);
    if (count > TDataSet::Max_Variables)
        return TResult::Error(QStringLiteral("%1: %2 has %3 attributes, more than the %4 a data set can hold")
                .arg(file, item.Where).arg(count).arg(TDataSet::Max_Variables));
    int n = 0;
    for (const pugi::xml_node& child : list.children()) {
        TItem member(child, QStringLiteral("item %1 of DataSet_List_DAs of %2").arg(++n).arg(item.Where));
        d.VariableList.push_back(Read_Variable_DS(member, separator));
        if (auto checked = member.Check(file); !checked)
            return checked;
    }
    d.nVariable = static_cast<quint8>(count);
    return TResult::Success();
}

TResult Read_File(TIEC61850_Client& tables, const QString& path, QChar separator)
{
    pugi::xml_document doc;
    if (auto loaded = Load_Xml_File(path, doc); !loaded)
        return loaded;
    const QString file = QDir::toNativeSeparators(path);
    const pugi::xml_node root = doc.child("IEC_68850_Client");
    if (!root)
        return TResult::Error(QStringLiteral("%1: no IEC_68850_Client element").arg(file));
    const pugi::xml_node variables = root.child("List_DA_Selected");
    if (!variables)
        return TResult::Error(QStringLiteral("%1: IEC_68850_Client has no List_DA_Selected element").arg(file));

    int n = 0;
    for (const pugi::xml_node& child : variables.children()) {
        TItem item(child, QStringLiteral("item %1 of List_DA_Selected").arg(++n));
        tables.VariableList.push_back(Read_Variable(item, separator));
        if (auto checked = item.Check(file); !checked)
            return checked;
    }
    n = 0;
    for (const pugi::xml_node& child : root.child("List_DataSet_Selected").children()) {
        TItem item(child, QStringLiteral("item %1 of List_DataSet_Selected").arg(++n));
        tables.DataSetList.emplace_back();
        if (auto read = Read_DataSet(item, file, separator, tables.DataSetList.back()); !read)
            return read;
    }
    tables.nVariable = static_cast<qint32>(tables.VariableList.size());
    tables.nDataSet = static_cast<qint32>(tables.DataSetList.size());
    return TResult::Success();
}

// Every record and string gets the device address at which the writer will put it.
void Compute_Addresses(TIEC61850_Client& tables, quint32 base)
{
    qint64 at = base + TIEC61850_Client::Header_Size;
    auto take = [&at](qint64 size) {
        const auto address = static_cast<quint32>(at);
        at += size;
        return address;
    };
    auto text = [&take](const QString& s) { return take(Image_Text_Size(s)); };

    tables.Variable_Add = take(TIEC61850_Client::Variable_Size * static_cast<qint64>(tables.VariableList.size()));
    tables.DataSet_Add = take(TIEC61850_Client::DataSet_Size * static_cast<qint64>(tables.DataSetList.size()));
    for (TDataSet& d : tables.DataSetList)
        d.VariableList_Add = take(TIEC61850_Client::Variable_DS_Size * static_cast<qint64>(d.VariableList.size()));
    for (TIEC61850_Variable& v : tables.VariableList) {
        v.bType_Add = text(v.bType);
        v.hostname_Add = text(v.hostname);
        v.reference_Add = text(v.reference);
    }
    for (TDataSet& d : tables.DataSetList) {
        d.goose_name_Add = text(d.goose_name);
        d.reference_Add = text(d.reference);
        d.hostname_Add = text(d.hostname);
    }
    for (TDataSet& d : tables.DataSetList)
        for (TIEC61850_Variable_DS& v : d.VariableList) {
            v.bType_Add = text(v.bType);
            v.reference_Add = text(v.reference);
        }
    tables.Length = at - base;
}

} // namespace

TResult Load_IEC61850_Client(TIEC61850_Client& tables, const QString& iecClientFile, quint32 base, QChar decimalSeparator)
{
    tables.VariableList.clear();
    tables.DataSetList.clear();
    tables.nVariable = tables.nDataSet = 0;
    if (QFileInfo::exists(iecClientFile))
        if (auto read = Read_File(tables, iecClientFile, decimalSeparator); !read)
            return read;
    Compute_Addresses(tables, base);
    return TResult::Success();
}

TResult Write_IEC61850_Client(const TIEC61850_Client& tables, std::span<quint8> buffer, qsizetype start, qsizetype highest, qsizetype& end)
{
    end = start;
    const qsizetype limit = std::min(highest + 1, static_cast<qsizetype>(buffer.size()));
    if (start < 0 || tables.Length > limit - start)
        return TResult::Error(QStringLiteral("The request tables need %1 bytes, more than the %2 bytes the device holds for them. "
                                             "Remove variables or data sets and update again.")
                .arg(tables.Length).arg(std::max<qsizetype>(limit - start, 0)));

    TLE_Writer w(buffer.first(static_cast<size_t>(limit)), start);
    w.U32(static_cast<quint32>(tables.nVariable));
    w.U32(static_cast<quint32>(tables.nDataSet));
    w.U32(static_cast<quint32>(tables.vLan));
    w.U32(static_cast<quint32>(tables.appID));
    w.U32(tables.Variable_Add);
    w.U32(tables.DataSet_Add);
    for (const TIEC61850_Variable& v : tables.VariableList) {
        w.U8(v.fc[0]);
        w.U8(v.fc[1]);
        w.U8(v.rw);
        w.U8(v.bit_address);
        w.U8(v.options);
        w.U8(v.conversion);
        w.U8(v.startbyte);
        w.U8(v.numbyte);
        w.U16(v.position);
        w.U16(v.tcpPort);
        w.U32(v.time);
        w.F32(v.moltFactor);
        w.U32(v.bType_Add);
        w.U32(v.hostname_Add);
        w.U32(v.reference_Add);
    }
    for (const TDataSet& d : tables.DataSetList) {
        w.U8(d.nVariable);
        w.U8(d.options);
        w.U16(d.tcpPort);
        w.U8(d.enGoose);
        for (quint8 s : d.spare)
            w.U8(s);
        w.U32(d.time);
        w.U32(d.goose_name_Add);
        w.U32(d.reference_Add);
        w.U32(d.hostname_Add);
        w.U32(d.VariableList_Add);
    }
    for (const TDataSet& d : tables.DataSetList)
        for (const TIEC61850_Variable_DS& v : d.VariableList) {
            w.U16(v.position);
            w.U8(v.bitAddress);
            w.U8(v.conversion);
            w.F32(v.moltFactor);
            w.U32(v.bType_Add);
            w.U32(v.reference_Add);
        }
    for (const TIEC61850_Variable& v : tables.VariableList) {
        w.Text(v.bType);
        w.Text(v.hostname);
        w.Text(v.reference);
    }
    for (const TDataSet& d : tables.DataSetList) {
        w.Text(d.goose_name);
        w.Text(d.reference);
        w.Text(d.hostname);
    }
    for (const TDataSet& d : tables.DataSetList)
        for (const TIEC61850_Variable_DS& v : d.VariableList) {
            w.Text(v.bType);
            w.Text(v.reference);
        }
    // The addresses were computed from the same layout; a mismatch would corrupt the device's pointers.
    if (w.Overflowed() || w.Position() != start + tables.Length)
        return TResult::Error(QStringLiteral("The request tables could not be laid out: %1 bytes written, %2 expected.")
                .arg(w.Position() - start).arg(tables.Length));
    end = w.Position();
    return TResult::Success();
}

} // namespace Image
