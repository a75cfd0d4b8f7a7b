#include "image/core/RequestTables.h"
#include "base/Conversions.h"
#include "image/core/LittleEndian.h"
#include "base/WholeNumber.h"
#include "base/XmlFile.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Image {

void clearRequestTables(RequestTables& tables) { tables = RequestTables{}; }

namespace {

// Value size of the basic types whose size is fixed; other types take it from the item.
struct TypeSize {
    const char* type;
    quint8 startByte, numByte;
};
constexpr TypeSize typeSizes[] = {
    {"FLOAT32", 0, 4},
    {"INT32U", 0, 4},
    {"INT32", 0, 4},
    {"QUALITY", 0, 4},
    {"FLOAT64", 0, 8},
    {"INT64", 0, 8},
    {"INT8U", 0, 1},
    {"INT8", 0, 1},
    {"BOOLEAN", 0, 1},
    {"TIMESTAMP", 0, 1},
    {"ENUM", 0, 1},
    {"INT16U", 0, 2},
    {"INT16", 0, 2},
};

const TypeSize* fixedSize(const QString& bType)
{
    const QString upper = bType.toUpper();
    for (const TypeSize& t : typeSizes)
        if (upper == QLatin1String(t.type))
            return &t;
    return nullptr;
}

// The attributes of one item. An attribute read as text must be present: the first one that
// is absent is remembered, and the item is refused once all have been read.
class Item {
public:
    Item(pugi::xml_node element, QString place)
        : node(element)
        , where(std::move(place))
    {
    }

    QString text(const char* name)
    {
        const pugi::xml_attribute a = node.attribute(name);
        if (!a && missing.isEmpty())
            missing = QString::fromLatin1(name);
        return xmlToQString(a.value());
    }
    // An absent attribute reads as an empty text.
    QString optional(const char* name) const { return xmlToQString(node.attribute(name).value()); }
    bool is(const char* name, const char* value) const { return optional(name) == QLatin1String(value); }

    Result Check(const QString& file) const
    {
        if (node.type() != pugi::node_element)
            return Result::error(QStringLiteral("%1: %2 is not an element").arg(file, where));
        if (!missing.isEmpty())
            return Result::error(QStringLiteral("%1: %2 has no %3 attribute").arg(file, where, missing));
        return Result::success();
    }

    const pugi::xml_node node;
    const QString where;

private:
    QString missing;
};

qsizetype childCount(const pugi::xml_node& node)
{
    qsizetype n = 0;
    for (auto it = node.begin(); it != node.end(); ++it)
        ++n;
    return n;
}

quint8 low8(const QString& text, qsizetype i) { return i < text.size() ? static_cast<quint8>(text[i].unicode()) : 0; }

float multFactor(const QString& text, QChar separator)
{
    float value = 1.0f;
    parseDecimal(text, separator, value); // 1.0 for "None", an empty or any other text
    return value;
}

VariableRecord readVariable(Item& item, QChar separator)
{
    VariableRecord v;
    v.bType = item.text("bType");
    const QString fc = item.text("fc");
    v.fc = {low8(fc, 0), low8(fc, 1)};
    v.reference = item.text("Reference");
    if (const TypeSize* size = fixedSize(v.bType)) {
        v.startbyte = size->startByte;
        v.numbyte = size->numByte;
    } else {
        v.startbyte = static_cast<quint8>(toWholeNumber(item.optional("StartByte"), 0));
        v.numbyte = static_cast<quint8>(toWholeNumber(item.optional("NumByte"), 1));
    }
    v.hostname = item.text("IPAddress");
    v.tcpPort = static_cast<quint16>(toWholeNumber(item.text("Port"), 0));
    v.options = (item.is("OnChange", "Y") ? 1 : 0) | (item.is("OnCMD", "Y") ? 2 : 0) | (item.is("OnTimer", "Y") ? 4 : 0);
    v.time = static_cast<quint32>(toWholeNumber(item.text("Time"), 1000));
    v.position = static_cast<quint16>(toWholeNumber(item.text("Position"), 0));
    v.bitAddress = static_cast<quint8>(toWholeNumber(item.text("StartBit"), 0));
    v.rw = item.is("ReadWrite", "Read") ? 0 : 1;
    v.conversion = item.is("Convertion", "ItoF/FtoI") ? 1 : 0;
    v.moltFactor = multFactor(item.text("MoltFact"), separator);
    return v;
}

MemberRecord readVariableDs(Item& item, QChar separator)
{
    MemberRecord v;
    v.bType = item.text("bType");
    v.reference = item.text("Reference");
    v.position = static_cast<quint16>(toWholeNumber(item.text("Position"), 0));
    v.bitAddress = static_cast<quint8>(toWholeNumber(item.text("StartBit"), 0));
    v.conversion = item.is("Convertion", "ItoF/FtoI") ? 1 : 0;
    v.moltFactor = multFactor(item.text("MoltFact"), separator);
    return v;
}

DataSetRecord readDataSetHeader(Item& item)
{
    DataSetRecord d;
    d.tcpPort = static_cast<quint16>(toWholeNumber(item.text("Port"), 0));
    d.enGoose = item.is("EnGoose", "Y") ? 1 : 0;
    d.time = static_cast<quint32>(toWholeNumber(item.text("Time"), 1000));
    d.gooseName = item.text("GooseName");
    d.reference = item.text("Reference");
    d.hostname = item.text("IPAddress");
    return d;
}

Result readDataSet(Item& item, const QString& file, QChar separator, DataSetRecord& d)
{
    d = readDataSetHeader(item);
    if (auto checked = item.Check(file); !checked)
        return checked;
    const pugi::xml_node list = item.node.child("DataSet_List_DAs");
    if (!list)
        return Result::error(QStringLiteral("%1: %2 has no DataSet_List_DAs element").arg(file, item.where));
    const qsizetype count = childCount(list);
    if (count > DataSetRecord::maxVariables)
        return Result::error(QStringLiteral("%1: %2 has %3 attributes, more than the %4 a data set can hold")
                                 .arg(file, item.where)
                                 .arg(count)
                                 .arg(DataSetRecord::maxVariables));
    int n = 0;
    for (const pugi::xml_node& child : list.children()) {
        Item member(child, QStringLiteral("item %1 of DataSet_List_DAs of %2").arg(++n).arg(item.where));
        d.variableList.push_back(readVariableDs(member, separator));
        if (auto checked = member.Check(file); !checked)
            return checked;
    }
    d.nVariable = static_cast<quint8>(count);
    return Result::success();
}

Result readFile(RequestTables& tables, const QString& path, QChar separator)
{
    pugi::xml_document doc;
    if (auto loaded = loadXmlFile(path, doc, accessFileLimit); !loaded)
        return loaded;
    const QString file = QDir::toNativeSeparators(path);
    const pugi::xml_node root = doc.child("IEC_68850_Client");
    if (!root)
        return Result::error(QStringLiteral("%1: no IEC_68850_Client element").arg(file));
    const pugi::xml_node variables = root.child("List_DA_Selected");
    if (!variables)
        return Result::error(QStringLiteral("%1: IEC_68850_Client has no List_DA_Selected element").arg(file));

    int n = 0;
    for (const pugi::xml_node& child : variables.children()) {
        Item item(child, QStringLiteral("item %1 of List_DA_Selected").arg(++n));
        tables.variableList.push_back(readVariable(item, separator));
        if (auto checked = item.Check(file); !checked)
            return checked;
    }
    n = 0;
    for (const pugi::xml_node& child : root.child("List_DataSet_Selected").children()) {
        Item item(child, QStringLiteral("item %1 of List_DataSet_Selected").arg(++n));
        tables.dataSetList.emplace_back();
        if (auto read = readDataSet(item, file, separator, tables.dataSetList.back()); !read)
            return read;
    }
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

Result loadRequestTables(RequestTables& tables, const QString& iecClientFile, quint32 base, QChar decimalSeparator)
{
    tables.variableList.clear();
    tables.dataSetList.clear();
    tables.nVariable = tables.nDataSet = 0;
    if (QFileInfo::exists(iecClientFile))
        if (auto read = readFile(tables, iecClientFile, decimalSeparator); !read)
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
        return Result::error(QStringLiteral("The request tables need %1 bytes, more than the %2 bytes the device holds for them. "
                                            "Remove variables or data sets and update again.")
                                 .arg(tables.length)
                                 .arg(std::max<qsizetype>(limit - start, 0)));

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
        return Result::error(QStringLiteral("The request tables could not be laid out: %1 bytes written, %2 expected.")
                                 .arg(w.position() - start)
                                 .arg(tables.length));
    end = w.position();
    return Result::success();
}

} // namespace Image
