#include "scl/core/SclDump.h"

namespace {

void writeString(QTextStream& out, const QString& text)
{
    out << '"';
    qsizetype plain = 0; // start of the run of characters written as they are
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        out << QStringView(text).mid(plain, i - plain);
        switch (c) {
        case u'"':
            out << "\\\"";
            break;
        case u'\\':
            out << "\\\\";
            break;
        case u'\n':
            out << "\\n";
            break;
        case u'\r':
            out << "\\r";
            break;
        case u'\t':
            out << "\\t";
            break;
        default:
            out << QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0'));
        }
        plain = i + 1;
    }
    out << QStringView(text).mid(plain) << '"';
}

void writeKey(QTextStream& out, const char* key, const QString& value)
{
    out << '"' << key << "\": ";
    writeString(out, value);
    out << ", ";
}

template <typename List, typename Write> void writeList(QTextStream& out, const char* key, const List& list, Write write)
{
    out << '"' << key << "\": [";
    bool first = true;
    for (const auto& item : list) {
        if (!first)
            out << ", ";
        first = false;
        write(*item);
    }
    out << ']';
}

void writeDa(QTextStream& out, const DataAttribute& da)
{
    out << '{';
    writeKey(out, "name", da.name);
    writeKey(out, "reference", da.reference);
    writeKey(out, "fc", da.fc);
    writeKey(out, "bType", da.bType);
    writeList(out, "das", da.attributes, [&](const DataAttribute& c) { writeDa(out, c); });
    out << '}';
}

void writeDo(QTextStream& out, const DataObject& dataObject)
{
    out << '{';
    writeKey(out, "name", dataObject.name);
    writeList(out, "dos", dataObject.dataObjects, [&](const DataObject& d) { writeDo(out, d); });
    out << ", ";
    writeList(out, "das", dataObject.attributes, [&](const DataAttribute& a) { writeDa(out, a); });
    out << '}';
}

void writeDataSet(QTextStream& out, const DataSet& dataSet)
{
    out << '{';
    writeKey(out, "name", dataSet.name);
    writeKey(out, "reference", dataSet.reference);
    writeKey(out, "gooseName", dataSet.gooseName);
    out << "\"members\": [";
    for (size_t i = 0; i < dataSet.attributes.size(); ++i) {
        if (i)
            out << ", ";
        writeString(out, dataSet.attributes[i]->reference);
    }
    out << "]}";
}

void writeLn(QTextStream& out, const LogicalNode& ln)
{
    out << '{';
    writeKey(out, "prefix", ln.prefix);
    writeKey(out, "lnClass", ln.lnClass);
    writeKey(out, "inst", ln.inst);
    writeKey(out, "lnType", ln.lnType);
    writeList(out, "dos", ln.dataObjects, [&](const DataObject& d) { writeDo(out, d); });
    out << ", ";
    writeList(out, "dataSets", ln.dataSets, [&](const DataSet& s) { writeDataSet(out, s); });
    out << '}';
}

void countDa(const DataAttribute& da, ModelCounts& counts)
{
    ++counts.dataAttributes;
    if (da.isLeaf())
        ++counts.leaves;
    for (const auto& c : da.attributes)
        countDa(*c, counts);
}

void countDo(const DataObject& dataObject, ModelCounts& counts)
{
    ++counts.dataObjects;
    for (const auto& d : dataObject.dataObjects)
        countDo(*d, counts);
    for (const auto& a : dataObject.attributes)
        countDa(*a, counts);
}

} // namespace

void writeDeviceJson(const Ied& device, QTextStream& out)
{
    out << '{';
    writeKey(out, "name", device.name);
    writeKey(out, "fileName", device.fileName);
    writeList(out, "lDevices", device.logicalDevices, [&](const LogicalDevice& ld) {
        out << '{';
        writeKey(out, "name", ld.name);
        writeList(out, "lns", ld.logicalNodes, [&](const LogicalNode& ln) { writeLn(out, ln); });
        out << '}';
    });
    out << "}\n";
}

ModelCounts countModel(const Ied& device)
{
    ModelCounts counts;
    for (const auto& ld : device.logicalDevices) {
        ++counts.logicalDevices;
        for (const auto& ln : ld->logicalNodes) {
            ++counts.logicalNodes;
            for (const auto& d : ln->dataObjects)
                countDo(*d, counts);
            counts.dataSets += qint64(ln->dataSets.size());
            for (const auto& s : ln->dataSets)
                counts.members += qint64(s->attributes.size());
        }
    }
    return counts;
}

QString formatCounts(const ModelCounts& c)
{
    return QStringLiteral("lDevices=%1 lns=%2 dos=%3 das=%4 leaves=%5 dataSets=%6 members=%7")
        .arg(c.logicalDevices)
        .arg(c.logicalNodes)
        .arg(c.dataObjects)
        .arg(c.dataAttributes)
        .arg(c.leaves)
        .arg(c.dataSets)
        .arg(c.members);
}
