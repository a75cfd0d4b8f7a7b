#include "scl/core/SclReader.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include "base/XmlFile.h"
#include "scl/core/SclIedList.h"
#include "scl/core/SclScan.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringBuilder>
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Attribute names are compared exactly as written too. Comments are not even parsed, so
// enumerations never see them.

namespace {

using Nodes = std::vector<pugi::xml_node>;

// Every child element named `name` (or `other`, when given), in document order.
Nodes children(const pugi::xml_node& parent, const char* name, const char* other = nullptr)
{
    Nodes nodes;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (isElement(n, name) || (other && isElement(n, other)))
            nodes.push_back(n);
    return nodes;
}

const char* attr(const pugi::xml_node& node, const char* name) { return node.attribute(name).value(); }

// Every type definition by id, built once per file: a look-up per data object stays cheap
// however many thousand types a substation file holds. All definitions sharing an id are
// kept, in document order; definitions without id are left out.
class TypeIndex {
public:
    explicit TypeIndex(const pugi::xml_node& dtt)
    {
        for (pugi::xml_node n = dtt.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element)
                continue;
            const pugi::xml_attribute id = n.attribute("id");
            if (!id)
                continue;
            if (std::strcmp(n.name(), "LNodeType") == 0)
                lNodeTypes[id.value()].push_back(n);
            else if (std::strcmp(n.name(), "DOType") == 0)
                doTypes[id.value()].push_back(n);
            else if (std::strcmp(n.name(), "DAType") == 0)
                daTypes[id.value()].push_back(n);
        }
    }
    const Nodes& lNodeType(std::string_view id) const { return find(lNodeTypes, id); }
    const Nodes& doType(std::string_view id) const { return find(doTypes, id); }
    const Nodes& daType(std::string_view id) const { return find(daTypes, id); }

private:
    // Keys point into the parsed document, which outlives the index.
    using Map = std::unordered_map<std::string_view, Nodes>;
    Map lNodeTypes, doTypes, daTypes;

    static const Nodes& find(const Map& map, std::string_view id)
    {
        static const Nodes none;
        const auto it = map.find(id);
        return it == map.end() ? none : it->second;
    }
};

// Resolves data set members as the finders do (first logical device of that instance,
// first logical node of that class, depth-first first data object and attribute of that
// name), through indexes built on first use, so that many members stay linear.
class MemberResolver {
public:
    explicit MemberResolver(const Ied& device)
    {
        for (const auto& ld : device.logicalDevices)
            if (!logicalDevices.contains(ld->name))
                logicalDevices.insert(ld->name, ld.get());
    }

    DataAttribute* resolve(const QString& ldInst, const QString& lnClass, const QString& doName, const QString& daName)
    {
        if (ldInst.isEmpty() || lnClass.isEmpty() || doName.isEmpty())
            return nullptr;
        LogicalDevice* ld = logicalDevices.value(ldInst);
        if (!ld)
            return nullptr;
        LogicalNode* ln = lnIndex(*ld).value(lnClass);
        if (!ln)
            return nullptr;
        DataObject* dataObject = doIndex(*ln).value(doName);
        if (!dataObject)
            return nullptr;
        return daName.isEmpty() ? dataObject->firstLeaf() : daIndex(*dataObject).value(daName);
    }

private:
    QHash<QString, LogicalDevice*> logicalDevices;
    std::unordered_map<const LogicalDevice*, QHash<QString, LogicalNode*>> logicalNodes;
    std::unordered_map<const LogicalNode*, QHash<QString, DataObject*>> dataObjects;
    std::unordered_map<const DataObject*, QHash<QString, DataAttribute*>> dataAttributes;

    template <typename T> static void addFirst(QHash<QString, T*>& index, const QString& name, T* item)
    {
        if (!index.contains(name))
            index.insert(name, item);
    }
    // Pre-order, so the first entry of a name is the one a depth-first search finds.
    template <typename T>
    static void addTree(QHash<QString, T*>& index, const std::vector<std::unique_ptr<T>>& list,
        const std::vector<std::unique_ptr<T>>& (*children)(const T&))
    {
        for (const auto& item : list) {
            addFirst(index, item->name, item.get());
            addTree(index, children(*item), children);
        }
    }
    static const std::vector<std::unique_ptr<DataObject>>& subDOs(const DataObject& d) { return d.dataObjects; }
    static const std::vector<std::unique_ptr<DataAttribute>>& components(const DataAttribute& a) { return a.attributes; }

    const QHash<QString, LogicalNode*>& lnIndex(const LogicalDevice& ld)
    {
        auto [it, added] = logicalNodes.try_emplace(&ld);
        if (added)
            for (const auto& ln : ld.logicalNodes)
                addFirst(it->second, ln->lnClass, ln.get());
        return it->second;
    }
    const QHash<QString, DataObject*>& doIndex(const LogicalNode& ln)
    {
        auto [it, added] = dataObjects.try_emplace(&ln);
        if (added)
            addTree(it->second, ln.dataObjects, &subDOs);
        return it->second;
    }
    const QHash<QString, DataAttribute*>& daIndex(const DataObject& dataObject)
    {
        auto [it, added] = dataAttributes.try_emplace(&dataObject);
        if (added)
            addTree(it->second, dataObject.attributes, &components);
        return it->second;
    }
};

class SclDecoder {
public:
    SclDecoder(const QString& filePath, const SclLimits& sclLimits)
        : path(filePath)
        , limits(sclLimits)
    {
    }

    // The model of the IED element `ied` with the type definitions of `dtt`; its addresses from
    // the Communication element `communication` (may be empty).
    Result decodeDevice(const pugi::xml_node& ied, const pugi::xml_node& dtt, const pugi::xml_node& communication, Ied& device);

private:
    const QString& path;
    const SclLimits& limits;
    const TypeIndex* types = nullptr;
    // Types being expanded on the current path, to stop at a type that contains itself.
    std::vector<std::string_view> doPath, daPath;
    // What the model holds and what reading it took, against the limits.
    qint64 dataObjects = 0, attributes = 0, typeElementsRead = 0, referenceBytes = 0;
    int deepest = 0;
    Result failure;
    // Names, functional constraints and basic types repeat endlessly: share one string each.
    std::unordered_map<std::string_view, QString> strings;

    const QString& text(const char* text)
    {
        auto [it, added] = strings.try_emplace(text);
        if (added)
            it->second = QString::fromUtf8(text);
        return it->second;
    }
    bool failed() const { return !failure.ok; }
    // The message names the file and the limit passed, then what the reading reached.
    void fail(int textNo, qint64 limit)
    {
        failure = Result::failed(textNo,
            {QDir::toNativeSeparators(path), QString::number(limit), QString::number(dataObjects), QString::number(attributes),
                QString::number(deepest)});
    }
    // False (and a failure) once the model or the work of reading it grows beyond reason: a
    // large real device stays well inside, a trap of types that expand into each other does not.
    bool withinLimits()
    {
        if (failed())
            return false;
        if (dataObjects + attributes > limits.maxObjects)
            fail(Text::ErrorSclObjectLimit, limits.maxObjects);
        else if (typeElementsRead > typeReadsPerObject * limits.maxObjects)
            fail(Text::ErrorSclTypeReadLimit, typeReadsPerObject * limits.maxObjects);
        else if (referenceBytes > limits.maxReferenceBytes)
            fail(Text::ErrorSclReferenceLimit, limits.maxReferenceBytes >> 20);
        return !failed();
    }
    // A reference the model keeps; references of logical devices and nodes count too, so that
    // huge names repeated many times cannot keep the reader copying for ever.
    bool spend(const QString& reference)
    {
        referenceBytes += 2 * reference.size();
        return withinLimits();
    }
    bool addDataObject(const QString& reference)
    {
        ++dataObjects;
        return spend(reference);
    }
    bool addAttribute(const QString& reference)
    {
        ++attributes;
        return spend(reference);
    }
    // Each type definition and each of its children looked at counts, so that huge
    // definitions used many times still end in bounded time.
    bool visit()
    {
        ++typeElementsRead;
        return withinLimits();
    }
    bool enter(std::vector<std::string_view>& typePath, const char* type)
    {
        const int depth = int(doPath.size() + daPath.size());
        if (depth >= limits.maxDepth) {
            if (!failed())
                fail(Text::ErrorSclDepthLimit, limits.maxDepth);
            return false;
        }
        typePath.push_back(type);
        deepest = std::max(deepest, depth + 1);
        return true;
    }
    static bool onPath(const std::vector<std::string_view>& path, std::string_view type)
    {
        for (std::string_view t : path)
            if (t == type)
                return true;
        return false;
    }

    void decodeLDevice(const pugi::xml_node& element, const QString& strReference, LogicalDevice& ld, bool dataSetSearch,
        MemberResolver* resolver);
    void decodeLn(const pugi::xml_node& element, const QString& strReference, LogicalNode& ln);
    void decodeDo(const pugi::xml_node& element, const QString& strReference, DataObject& dataObject);
    void decodeDa(const pugi::xml_node& element, const QString& strReference, const QString& fcFather, DataAttribute& da);
    void decodeLnDataSet(const pugi::xml_node& element, const QString& strReference, LogicalNode& ln, MemberResolver& resolver);
    void decodeDataSet(const pugi::xml_node& element, const QString& strReference, DataSet& dataSet, MemberResolver& resolver);
    void decodeLnGoose(const pugi::xml_node& element, LogicalNode& ln, QHash<QString, DataSet*>& dataSets);
};

Result SclDecoder::decodeDevice(
    const pugi::xml_node& ied, const pugi::xml_node& dtt, const pugi::xml_node& communication, Ied& device)
{
    const TypeIndex index(dtt);
    types = &index;
    device.name = QString::fromUtf8(attr(ied, "name"));
    device.desc = QString::fromUtf8(attr(ied, "desc"));
    device.ipAddresses = iedIpAddresses(communication, device.name);
    const pugi::xml_node server = firstChild(firstChild(ied, "AccessPoint"), "Server");
    const Nodes ldElements = children(server, "LDevice");

    // Structure pass, then data sets: a member may live in a logical device read later.
    for (size_t k = 0; k < ldElements.size() && !failed(); ++k) {
        device.logicalDevices.push_back(std::make_unique<LogicalDevice>());
        decodeLDevice(ldElements[k], device.name, *device.logicalDevices.back(), false, nullptr);
    }
    MemberResolver resolver(device);
    for (size_t k = 0; k < ldElements.size() && !failed(); ++k)
        decodeLDevice(ldElements[k], device.name, *device.logicalDevices[k], true, &resolver);
    return failure;
}

void SclDecoder::decodeLDevice(
    const pugi::xml_node& element, const QString& strReference, LogicalDevice& ld, bool dataSetSearch, MemberResolver* resolver)
{
    ld.name = QString::fromUtf8(attr(element, "inst"));
    ld.desc = text(attr(element, "desc"));
    const QString reference = strReference + ld.name;
    if (!spend(reference))
        return;
    const Nodes lnElements = children(element, "LN0", "LN");
    for (size_t k = 0; k < lnElements.size() && !failed(); ++k) {
        if (!dataSetSearch) {
            ld.logicalNodes.push_back(std::make_unique<LogicalNode>());
            decodeLn(lnElements[k], reference, *ld.logicalNodes.back());
        } else if (k < ld.logicalNodes.size()) {
            decodeLnDataSet(lnElements[k], reference, *ld.logicalNodes[k], *resolver);
        }
    }
}

void SclDecoder::decodeLn(const pugi::xml_node& element, const QString& strReference, LogicalNode& ln)
{
    ln.lnClass = text(attr(element, "lnClass"));
    ln.lnType = text(attr(element, "lnType"));
    ln.prefix = text(attr(element, "prefix"));
    ln.inst = text(attr(element, "inst"));
    ln.desc = text(attr(element, "desc"));
    if (ln.lnType.isEmpty())
        return;
    const QString reference = strReference % u'/' % ln.prefix % ln.lnClass % ln.inst;
    if (!spend(reference))
        return;
    for (const pugi::xml_node& type : types->lNodeType(attr(element, "lnType")))
        for (pugi::xml_node n = type.first_child(); visit() && n; n = n.next_sibling()) {
            if (!isElement(n, "DO"))
                continue;
            ln.dataObjects.push_back(std::make_unique<DataObject>());
            decodeDo(n, reference, *ln.dataObjects.back());
        }
}

void SclDecoder::decodeDo(const pugi::xml_node& element, const QString& strReference, DataObject& dataObject)
{
    dataObject.name = text(attr(element, "name"));
    dataObject.desc = text(attr(element, "desc"));
    const QString reference = strReference % u'.' % dataObject.name;
    if (!addDataObject(reference))
        return;
    const char* type = attr(element, "type");
    // A type already being expanded above this data object would repeat forever.
    if (!*type || onPath(doPath, type) || !enter(doPath, type))
        return;
    for (const pugi::xml_node& doType : types->doType(type)) {
        for (pugi::xml_node n = doType.first_child(); visit() && n; n = n.next_sibling()) {
            if (isElement(n, "SDO")) {
                dataObject.dataObjects.push_back(std::make_unique<DataObject>());
                decodeDo(n, reference, *dataObject.dataObjects.back());
            } else if (isElement(n, "DA")) {
                dataObject.attributes.push_back(std::make_unique<DataAttribute>());
                decodeDa(n, reference, QString(), *dataObject.attributes.back());
            }
        }
    }
    doPath.pop_back();
}

void SclDecoder::decodeDa(const pugi::xml_node& element, const QString& strReference, const QString& fcFather, DataAttribute& da)
{
    da.name = text(attr(element, "name"));
    da.reference = strReference % u'.' % da.name;
    if (!addAttribute(da.reference))
        return;
    da.bType = text(attr(element, "bType"));
    da.desc = text(attr(element, "desc"));
    const pugi::xml_attribute fc = element.attribute("fc");
    da.fc = fc ? text(fc.value()) : fcFather;
    // Enumerations are leaves; a type already being expanded above this attribute would
    // repeat forever.
    const pugi::xml_attribute type = element.attribute("type");
    if (!type || da.bType == u"Enum" || onPath(daPath, type.value()) || !enter(daPath, type.value()))
        return;
    for (const pugi::xml_node& daType : types->daType(type.value()))
        for (pugi::xml_node n = daType.first_child(); visit() && n; n = n.next_sibling()) {
            if (!isElement(n, "BDA"))
                continue;
            da.attributes.push_back(std::make_unique<DataAttribute>());
            decodeDa(n, da.reference, da.fc, *da.attributes.back());
        }
    daPath.pop_back();
}

void SclDecoder::decodeLnDataSet(
    const pugi::xml_node& element, const QString& strReference, LogicalNode& ln, MemberResolver& resolver)
{
    if (!*attr(element, "lnType"))
        return;
    // Prefix and instance are not part of a data set reference.
    const QString reference = strReference % u'/' % text(attr(element, "lnClass"));
    if (!spend(reference))
        return;
    for (pugi::xml_node n = element.first_child(); n && !failed(); n = n.next_sibling()) {
        if (!isElement(n, "DataSet"))
            continue;
        ln.dataSets.push_back(std::make_unique<DataSet>());
        decodeDataSet(n, reference, *ln.dataSets.back(), resolver);
    }
    QHash<QString, DataSet*> byName; // filled on the first GOOSE control block
    for (pugi::xml_node n = element.first_child(); n; n = n.next_sibling())
        if (isElement(n, "GSEControl"))
            decodeLnGoose(n, ln, byName);
}

void SclDecoder::decodeDataSet(
    const pugi::xml_node& element, const QString& strReference, DataSet& dataSet, MemberResolver& resolver)
{
    dataSet.name = QString::fromUtf8(attr(element, "name"));
    dataSet.desc = text(attr(element, "desc"));
    dataSet.reference = strReference % u'.' % dataSet.name;
    if (!spend(dataSet.reference))
        return;
    for (pugi::xml_node n = element.first_child(); n; n = n.next_sibling()) {
        if (!isElement(n, "FCDA"))
            continue;
        // Names are compared whole: a daName such as mag.f finds nothing and is dropped.
        if (DataAttribute* member = resolver.resolve(
                text(attr(n, "ldInst")), text(attr(n, "lnClass")), text(attr(n, "doName")), text(attr(n, "daName"))))
            dataSet.attributes.push_back(member);
    }
}

void SclDecoder::decodeLnGoose(const pugi::xml_node& element, LogicalNode& ln, QHash<QString, DataSet*>& dataSets)
{
    const char* name = attr(element, "name");
    const char* datSet = attr(element, "datSet");
    if (!*name || !*datSet)
        return;
    if (dataSets.isEmpty())
        for (const auto& dataSet : ln.dataSets)
            if (!dataSets.contains(dataSet->name))
                dataSets.insert(dataSet->name, dataSet.get());
    if (DataSet* dataSet = dataSets.value(QString::fromUtf8(datSet)))
        dataSet->gooseName = QString::fromUtf8(name);
}

Result outOfMemory(const QString& path, qint64 size)
{
    return Result::failed(Text::ErrorSclOutOfMemory, {QDir::toNativeSeparators(path), QLocale::c().formattedDataSize(size)});
}

// The parser's refusal, with its line counted in the unparsed bytes.
Result parseFailure(const QString& path, const pugi::xml_parse_result& result, const char* data, size_t size)
{
    if (result.status == pugi::status_out_of_memory)
        return outOfMemory(path, qint64(size));
    return xmlParseError(path, result, data, size);
}

Result decode(const pugi::xml_node& ied, const pugi::xml_node& dtt, const pugi::xml_node& communication, const QString& path,
    std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    auto built = std::make_unique<Ied>();
    built->fileName = QFileInfo(path).fileName();
    // Without an IED or type templates the device stays empty, its name unread.
    if (ied && dtt) {
        SclDecoder decoder(path, limits);
        if (auto decoded = decoder.decodeDevice(ied, dtt, communication, *built); !decoded)
            return decoded;
    }
    device = std::move(built);
    return Result::success();
}

// The IED element called `iedName` among the children of SCL, else the first IED element.
pugi::xml_node chooseIed(const pugi::xml_node& scl, const QByteArray& iedName)
{
    pugi::xml_node first;
    for (pugi::xml_node n = scl.first_child(); n; n = n.next_sibling()) {
        if (!isElement(n, "IED"))
            continue;
        if (!iedName.isEmpty() && iedName == attr(n, "name"))
            return n;
        if (!first)
            first = n;
    }
    return first;
}

// Parses a copy in place, as the parser treats the buffer's last byte differently when it
// copies it itself; the bytes stay unparsed for the line of an error.
Result readWhole(const char* data, size_t size, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device,
    const SclLimits& limits)
{
    std::unique_ptr<char[]> copy(new char[size]);
    std::memcpy(copy.get(), data, size);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer_inplace(copy.get(), size, sclParseFlags);
    if (!parsed)
        return parseFailure(path, parsed, data, size);
    const pugi::xml_node scl = firstChild(doc, "SCL");
    return decode(chooseIed(scl, iedName.toUtf8()), firstChild(scl, "DataTypeTemplates"), firstChild(scl, "Communication"), path,
        device, limits);
}

// The `name` of an IED as the parser gives it (references and blanks in the value decoded),
// taken from its start tag alone.
QByteArray iedNameOf(const char* data, const SclElementRange& range)
{
    std::string tag(data + range.begin, range.startTagEnd - range.begin);
    if (tag.size() < 2 || tag[tag.size() - 2] != '/')
        tag.insert(tag.size() - 1, 1, '/');
    pugi::xml_document doc;
    if (!doc.load_buffer(tag.data(), tag.size(), sclParseFlags, pugi::encoding_utf8))
        return {};
    return attr(doc.first_child(), "name");
}

// Parses only the chosen IED element and the type templates, in place, once the scan has
// found the whole file well-formed.
Result readPartly(char* data, size_t size, const SclLayout& layout, const QString& path, const QString& iedName,
    std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    const QByteArray wanted = iedName.toUtf8();
    const SclElementRange* ied = layout.ieds.empty() ? nullptr : &layout.ieds.front();
    if (!wanted.isEmpty())
        for (const SclElementRange& range : layout.ieds)
            if (iedNameOf(data, range) == wanted) {
                ied = &range;
                break;
            }
    if (!ied || !layout.dataTypeTemplates.found())
        return decode({}, {}, {}, path, device, limits);
    pugi::xml_document iedDocument, templatesDocument, communicationDocument;
    for (auto [doc, range] : {std::pair{&iedDocument, ied}, std::pair{&templatesDocument, &layout.dataTypeTemplates},
             std::pair{&communicationDocument, &layout.communication}}) {
        if (!range->found())
            continue;
        // Not expected after the scan; the line is counted in bytes the parse may have changed.
        if (const pugi::xml_parse_result parsed = parseSclElement(data, *range, *doc); !parsed)
            return parseFailure(path, parsed, data, size);
    }
    return decode(
        iedDocument.first_child(), templatesDocument.first_child(), communicationDocument.first_child(), path, device, limits);
}

// A buffer of ours: the scan zeroes its last byte for a while and the chosen elements are parsed in it.
Result readBuffer(
    char* data, size_t size, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    // Other encodings are converted by the parser as a whole.
    if (detectXmlEncoding(data, size) != pugi::encoding_utf8)
        return readWhole(data, size, path, iedName, device, limits);
    const SclLayout layout = scanSclLayout(data, size);
    if (!layout.result)
        return parseFailure(path, layout.result, data, size);
    return readPartly(data, size, layout, path, iedName, device, limits);
}

// Runs a reading: running out of memory on the way is an error, not the end of the program.
template <typename Read> Result withEnoughMemory(const QString& path, qint64 size, std::unique_ptr<Ied>& device, Read read)
{
    try {
        return read();
    } catch (const std::bad_alloc&) {
        device.reset();
        return outOfMemory(path, size);
    }
}

} // namespace

Result readSclData(
    const QByteArray& data, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    device.reset();
    return withEnoughMemory(path, data.size(), device, [&] {
        std::unique_ptr<char[]> buffer(new char[size_t(data.size())]);
        std::memcpy(buffer.get(), data.constData(), size_t(data.size()));
        return readBuffer(buffer.get(), size_t(data.size()), path, iedName, device, limits);
    });
}

Result readSclDataFully(
    const QByteArray& data, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    device.reset();
    return withEnoughMemory(path, data.size(), device,
        [&] { return readWhole(data.constData(), size_t(data.size()), path, iedName, device, limits); });
}

Result readSclFile(const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    device.reset();
    if (!QFileInfo::exists(path)) {
        device = std::make_unique<Ied>();
        device->fileName = QFileInfo(path).fileName();
        return Result::success();
    }
    // Read into memory with checked reads, never mapped: a file that another program shortens
    // under a mapping kills the process when the parse touches the lost pages. The buffer is
    // the file's size, as the mapping's pages were, and the scan and parse work in it.
    QByteArray data;
    return withEnoughMemory(path, QFileInfo(path).size(), device, [&] {
        if (Result read = readWholeFile(path, data, {limits.maxFileBytes, sclFileLimit.kind}); !read)
            return read;
        return readBuffer(data.data(), size_t(data.size()), path, iedName, device, limits);
    });
}
