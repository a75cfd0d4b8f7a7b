#include "SCL_Dump.h"

namespace {

void Write_String(QTextStream& out, const QString& text)
{
    out << '"';
    qsizetype plain = 0; // start of the run of characters written as they are
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        out << QStringView(text).mid(plain, i - plain);
        switch (c) {
        case u'"': out << "\\\""; break;
        case u'\\': out << "\\\\"; break;
        case u'\n': out << "\\n"; break;
        case u'\r': out << "\\r"; break;
        case u'\t': out << "\\t"; break;
        default: out << QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0'));
        }
        plain = i + 1;
    }
    out << QStringView(text).mid(plain) << '"';
}

void Write_Key(QTextStream& out, const char* key, const QString& value)
{
    out << '"' << key << "\": ";
    Write_String(out, value);
    out << ", ";
}

template <typename List, typename Write>
void Write_List(QTextStream& out, const char* key, const List& list, Write write)
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

void Write_DA(QTextStream& out, const TIEC_DA& da)
{
    out << '{';
    Write_Key(out, "name", da.Name);
    Write_Key(out, "reference", da.Reference);
    Write_Key(out, "fc", da.FC);
    Write_Key(out, "bType", da.bType);
    Write_List(out, "das", da.List_DA, [&](const TIEC_DA& c) { Write_DA(out, c); });
    out << '}';
}

void Write_DO(QTextStream& out, const TIEC_DO& dataObject)
{
    out << '{';
    Write_Key(out, "name", dataObject.Name);
    Write_List(out, "dos", dataObject.List_DO, [&](const TIEC_DO& d) { Write_DO(out, d); });
    out << ", ";
    Write_List(out, "das", dataObject.List_DA, [&](const TIEC_DA& a) { Write_DA(out, a); });
    out << '}';
}

void Write_DataSet(QTextStream& out, const TIEC_DataSet& dataSet)
{
    out << '{';
    Write_Key(out, "name", dataSet.Name);
    Write_Key(out, "reference", dataSet.Reference);
    Write_Key(out, "gooseName", dataSet.GooseName);
    out << "\"members\": [";
    for (size_t i = 0; i < dataSet.List_DA.size(); ++i) {
        if (i)
            out << ", ";
        Write_String(out, dataSet.List_DA[i]->Reference);
    }
    out << "]}";
}

void Write_LN(QTextStream& out, const TIEC_LN& ln)
{
    out << '{';
    Write_Key(out, "prefix", ln.Prefix);
    Write_Key(out, "lnClass", ln.lnClass);
    Write_Key(out, "inst", ln.Inst);
    Write_Key(out, "lnType", ln.lnType);
    Write_List(out, "dos", ln.List_DO, [&](const TIEC_DO& d) { Write_DO(out, d); });
    out << ", ";
    Write_List(out, "dataSets", ln.List_DataSet, [&](const TIEC_DataSet& s) { Write_DataSet(out, s); });
    out << '}';
}

void Count_DA(const TIEC_DA& da, TModel_Counts& counts)
{
    ++counts.DAs;
    if (da.Is_Leaf())
        ++counts.Leaves;
    for (const auto& c : da.List_DA)
        Count_DA(*c, counts);
}

void Count_DO(const TIEC_DO& dataObject, TModel_Counts& counts)
{
    ++counts.DOs;
    for (const auto& d : dataObject.List_DO)
        Count_DO(*d, counts);
    for (const auto& a : dataObject.List_DA)
        Count_DA(*a, counts);
}

} // namespace

void Write_Device_Json(const TIEC_Device& device, QTextStream& out)
{
    out << '{';
    Write_Key(out, "name", device.Name);
    Write_Key(out, "fileName", device.FileName);
    Write_List(out, "lDevices", device.List_LDevice, [&](const TIEC_LDevice& ld) {
        out << '{';
        Write_Key(out, "name", ld.Name);
        Write_List(out, "lns", ld.List_LN, [&](const TIEC_LN& ln) { Write_LN(out, ln); });
        out << '}';
    });
    out << "}\n";
}

TModel_Counts Count_Model(const TIEC_Device& device)
{
    TModel_Counts counts;
    for (const auto& ld : device.List_LDevice) {
        ++counts.LDevices;
        for (const auto& ln : ld->List_LN) {
            ++counts.LNs;
            for (const auto& d : ln->List_DO)
                Count_DO(*d, counts);
            counts.DataSets += qint64(ln->List_DataSet.size());
            for (const auto& s : ln->List_DataSet)
                counts.Members += qint64(s->List_DA.size());
        }
    }
    return counts;
}

QString Format_Counts(const TModel_Counts& c)
{
    return QStringLiteral("lDevices=%1 lns=%2 dos=%3 das=%4 leaves=%5 dataSets=%6 members=%7")
        .arg(c.LDevices).arg(c.LNs).arg(c.DOs).arg(c.DAs).arg(c.Leaves).arg(c.DataSets).arg(c.Members);
}
