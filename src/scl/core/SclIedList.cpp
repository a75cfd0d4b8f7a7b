#include "scl/core/SclFiles.h"
#include "scl/core/SclIedList.h"
#include "base/Files.h"
#include "base/XmlFile.h"
#include "scl/core/SclScan.h"
#include <QHash>
#include <cstring>

namespace {

template <typename Visit> void forEachChild(const pugi::xml_node& parent, const char* name, Visit visit)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (isElement(n, name))
            visit(n);
}

QString attr(const pugi::xml_node& node, const char* name) { return QString::fromUtf8(node.attribute(name).value()); }

// IP addresses by IED name, for the IEDs `wanted` accepts.
template <typename Wanted> QHash<QString, QStringList> ipAddressesByIed(const pugi::xml_node& communication, Wanted wanted)
{
    QHash<QString, QStringList> addresses;
    forEachChild(communication, "SubNetwork", [&](const pugi::xml_node& subNetwork) {
        forEachChild(subNetwork, "ConnectedAP", [&](const pugi::xml_node& ap) {
            const QString ied = attr(ap, "iedName");
            if (!wanted(ied))
                return;
            forEachChild(firstChild(ap, "Address"), "P", [&](const pugi::xml_node& p) {
                const QString ip = QString::fromUtf8(p.child_value()).trimmed();
                QStringList& list = addresses[ied];
                if (attr(p, "type") == u"IP" && !ip.isEmpty() && !list.contains(ip))
                    list << ip;
            });
        });
    });
    return addresses;
}

IedSummary summaryOf(const pugi::xml_node& ied)
{
    IedSummary summary;
    summary.name = attr(ied, "name");
    summary.desc = attr(ied, "desc");
    summary.manufacturer = attr(ied, "manufacturer");
    summary.type = attr(ied, "type");
    forEachChild(firstChild(firstChild(ied, "AccessPoint"), "Server"), "LDevice", [&](const pugi::xml_node& ld) {
        ++summary.logicalDevices;
        for (pugi::xml_node n = ld.first_child(); n; n = n.next_sibling())
            if (isElement(n, "LN0") || isElement(n, "LN"))
                ++summary.logicalNodes;
    });
    return summary;
}

void addAddresses(const pugi::xml_node& communication, std::vector<IedSummary>& ieds)
{
    const QHash<QString, QStringList> addresses = ipAddressesByIed(communication, [](const QString&) { return true; });
    for (IedSummary& ied : ieds)
        ied.ipAddresses = addresses.value(ied.name);
}

// Parses the whole file, as other encodings are converted by the parser as a whole.
Result listFromDocument(const QByteArray& data, const QString& path, std::vector<IedSummary>& ieds)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(data.constData(), size_t(data.size()), sclParseFlags);
    if (!parsed)
        return xmlParseError(path, parsed, data.constData(), size_t(data.size()));
    const pugi::xml_node scl = firstChild(doc, "SCL");
    forEachChild(scl, "IED", [&](const pugi::xml_node& ied) { ieds.push_back(summaryOf(ied)); });
    addAddresses(firstChild(scl, "Communication"), ieds);
    return Result::success();
}

} // namespace

Result listSclIeds(QByteArray data, const QString& path, std::vector<IedSummary>& ieds)
{
    ieds.clear();
    const size_t size = size_t(data.size());
    if (detectXmlEncoding(data.constData(), size) != pugi::encoding_utf8)
        return listFromDocument(data, path, ieds);
    // One IED parsed at a time: a station file's list never holds the document of the whole file.
    char* bytes = data.data();
    const SclLayout layout = scanSclLayout(bytes, size);
    if (!layout.result)
        return xmlParseError(path, layout.result, bytes, size);
    pugi::xml_document doc;
    for (const SclElementRange& range : layout.ieds) {
        if (const pugi::xml_parse_result parsed = parseSclElement(bytes, range, doc); !parsed)
            return xmlParseError(path, parsed, bytes, size);
        ieds.push_back(summaryOf(doc.first_child()));
    }
    if (layout.communication.found()) {
        if (const pugi::xml_parse_result parsed = parseSclElement(bytes, layout.communication, doc); !parsed)
            return xmlParseError(path, parsed, bytes, size);
        addAddresses(doc.first_child(), ieds);
    }
    return Result::success();
}

Result listSclIedsOfFile(const QString& path, std::vector<IedSummary>& ieds)
{
    QByteArray data;
    if (Result read = readWholeFile(path, data, sclFileLimit); !read)
        return read;
    return listSclIeds(std::move(data), path, ieds);
}

int preferredIed(const std::vector<IedSummary>& ieds)
{
    for (size_t i = 0; i < ieds.size(); ++i)
        if (!ieds[i].isClient())
            return int(i);
    return 0;
}

QStringList iedIpAddresses(const pugi::xml_node& communication, const QString& iedName)
{
    return ipAddressesByIed(communication, [&](const QString& ied) { return ied == iedName; }).value(iedName);
}
