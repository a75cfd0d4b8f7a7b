#include "iec61850/core/SclReader.h"
#include "base/Files.h"
#include "base/XmlFile.h"
#include "iec61850/core/SclIedList.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringBuilder>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

// Element and attribute names are compared exactly as written, namespace prefix included
// (an scl:IED is not an IED). Comments are not even parsed, so enumerations never see them.

namespace {

// Nothing here looks at comments, processing instructions, declarations or text, so none of
// them becomes a node of its own: text stays in its element, which keeps the document of a
// big file a good deal smaller. Attribute values are read as the default flags give them.
constexpr unsigned sclParseFlags = (pugi::parse_default & ~pugi::parse_cdata) | pugi::parse_embed_pcdata;

using Nodes = std::vector<pugi::xml_node>;

bool isElement(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The first child element named `name`.
pugi::xml_node child(const pugi::xml_node& parent, const char* name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (isElement(n, name))
            return n;
    return {};
}

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
    SclDecoder(const QString& filePath, const QString& wantedIed, const SclLimits& sclLimits)
        : path(filePath)
        , iedName(wantedIed)
        , limits(sclLimits)
    {
    }

    Result decodeDevice(const pugi::xml_document& doc, Ied& device);

private:
    const QString& path;
    const QString& iedName;
    const SclLimits& limits;
    const TypeIndex* types = nullptr;
    // Types being expanded on the current path, to stop at a type that contains itself.
    std::vector<std::string_view> doPath, daPath;
    qint64 modelBytes = 0;
    QString failure;
    // Names, functional constraints and basic types repeat endlessly: share one string each.
    std::unordered_map<std::string_view, QString> strings;

    const QString& text(const char* text)
    {
        auto [it, added] = strings.try_emplace(text);
        if (added)
            it->second = QString::fromUtf8(text);
        return it->second;
    }
    bool failed() const { return !failure.isEmpty(); }
    // Counts what the model costs; false (and a failure) once it grows beyond reason.
    bool charge(qint64 bytes)
    {
        modelBytes += bytes;
        if (modelBytes > limits.maxModelBytes && !failed())
            failure = QStringLiteral(
                "%1: the device model grows beyond %2 MB (type definitions that expand into each other too often, "
                "or names of enormous length)")
                          .arg(QDir::toNativeSeparators(path))
                          .arg(limits.maxModelBytes >> 20);
        return !failed();
    }
    // A new object and its reference. References of logical devices and nodes count too, so
    // that huge names repeated many times cannot keep the reader copying for ever.
    bool spend(const QString& reference, size_t objectSize) { return charge(qint64(objectSize) + 2 * reference.size() + 64); }
    // Each type definition and each of its children looked at costs a little, so that huge
    // definitions used many times still end in bounded time.
    bool visit() { return charge(16); }
    bool enter(std::vector<std::string_view>& typePath, const char* type)
    {
        if (int(doPath.size() + daPath.size()) >= limits.maxDepth) {
            if (!failed())
                failure = QStringLiteral("%1: type definitions nest deeper than %2 levels")
                              .arg(QDir::toNativeSeparators(path))
                              .arg(limits.maxDepth);
            return false;
        }
        typePath.push_back(type);
        return true;
    }
    static bool onPath(const std::vector<std::string_view>& path, std::string_view type)
    {
        for (std::string_view t : path)
            if (t == type)
                return true;
        return false;
    }

    pugi::xml_node chooseIed(const pugi::xml_node& scl) const;
    void decodeLDevice(const pugi::xml_node& element, const QString& strReference, LogicalDevice& ld, bool dataSetSearch,
        MemberResolver* resolver);
    void decodeLn(const pugi::xml_node& element, const QString& strReference, LogicalNode& ln);
    void decodeDo(const pugi::xml_node& element, const QString& strReference, DataObject& dataObject);
    void decodeDa(const pugi::xml_node& element, const QString& strReference, const QString& fcFather, DataAttribute& da);
    void decodeLnDataSet(const pugi::xml_node& element, const QString& strReference, LogicalNode& ln, MemberResolver& resolver);
    void decodeDataSet(const pugi::xml_node& element, const QString& strReference, DataSet& dataSet, MemberResolver& resolver);
    void decodeLnGoose(const pugi::xml_node& element, LogicalNode& ln, QHash<QString, DataSet*>& dataSets);
};

pugi::xml_node SclDecoder::chooseIed(const pugi::xml_node& scl) const
{
    // Files written before the IED could be chosen store the first IED's name, or none.
    if (!iedName.isEmpty()) {
        const QByteArray wanted = iedName.toUtf8();
        for (pugi::xml_node n = scl.first_child(); n; n = n.next_sibling())
            if (isElement(n, "IED") && wanted == attr(n, "name"))
                return n;
    }
    return child(scl, "IED");
}

Result SclDecoder::decodeDevice(const pugi::xml_document& doc, Ied& device)
{
    const pugi::xml_node scl = child(doc, "SCL");
    const pugi::xml_node ied = chooseIed(scl);
    const pugi::xml_node dtt = child(scl, "DataTypeTemplates");
    if (!ied || !dtt)
        return Result::success();
    const TypeIndex index(dtt);
    types = &index;
    device.name = QString::fromUtf8(attr(ied, "name"));
    device.desc = QString::fromUtf8(attr(ied, "desc"));
    device.ipAddresses = iedIpAddresses(scl, device.name);
    const pugi::xml_node server = child(child(ied, "AccessPoint"), "Server");
    const Nodes ldElements = children(server, "LDevice");

    // Structure pass, then data sets: a member may live in a logical device read later.
    for (size_t k = 0; k < ldElements.size() && !failed(); ++k) {
        device.logicalDevices.push_back(std::make_unique<LogicalDevice>());
        decodeLDevice(ldElements[k], device.name, *device.logicalDevices.back(), false, nullptr);
    }
    MemberResolver resolver(device);
    for (size_t k = 0; k < ldElements.size() && !failed(); ++k)
        decodeLDevice(ldElements[k], device.name, *device.logicalDevices[k], true, &resolver);
    return failed() ? Result::error(failure) : Result::success();
}

void SclDecoder::decodeLDevice(
    const pugi::xml_node& element, const QString& strReference, LogicalDevice& ld, bool dataSetSearch, MemberResolver* resolver)
{
    ld.name = QString::fromUtf8(attr(element, "inst"));
    ld.desc = text(attr(element, "desc"));
    const QString reference = strReference + ld.name;
    if (!spend(reference, sizeof(LogicalDevice)))
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
    if (!spend(reference, sizeof(LogicalNode)))
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
    if (!spend(reference, sizeof(DataObject)))
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
    if (!spend(da.reference, sizeof(DataAttribute)))
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
    if (!spend(reference, 0))
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
    if (!spend(dataSet.reference, sizeof(DataSet)))
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

// Parses a buffer that pugixml takes over (allocated with its allocation function).
// `original` gives the unparsed bytes again for the line number of a parse error, since
// parsing in place rewrites the buffer.
Result decodeBuffer(void* buffer, size_t size, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device,
    const SclLimits& limits, const std::function<QByteArray()>& original)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer_inplace_own(buffer, size, sclParseFlags);
    if (!parsed) {
        const QByteArray bytes = original();
        return Result::error(xmlParseError(path, parsed, bytes.constData(), size_t(bytes.size())));
    }
    auto built = std::make_unique<Ied>();
    built->fileName = QFileInfo(path).fileName();
    SclDecoder decoder(path, iedName, limits);
    if (auto decoded = decoder.decodeDevice(doc, *built); !decoded)
        return decoded;
    device = std::move(built);
    return Result::success();
}

void* allocate(size_t size) { return pugi::get_memory_allocation_function()(size ? size : 1); }

Result outOfMemory(const QString& path)
{
    return Result::error(QStringLiteral("%1: not enough memory to read the file").arg(QDir::toNativeSeparators(path)));
}

} // namespace

Result readSclData(
    const QByteArray& data, const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    device.reset();
    void* buffer = allocate(size_t(data.size()));
    if (!buffer)
        return outOfMemory(path);
    std::memcpy(buffer, data.constData(), size_t(data.size()));
    return decodeBuffer(buffer, size_t(data.size()), path, iedName, device, limits, [&] { return data; });
}

Result readSclFile(const QString& path, const QString& iedName, std::unique_ptr<Ied>& device, const SclLimits& limits)
{
    device.reset();
    if (!QFileInfo::exists(path)) {
        device = std::make_unique<Ied>();
        device->fileName = QFileInfo(path).fileName();
        return Result::success();
    }
    const ReadLimit limit{limits.maxFileBytes, sclFileLimit.kind};
    if (Result check = checkReadableFile(path, limit); !check)
        return check;
    // Read straight into the buffer that the document parses in place: a file of hundreds
    // of megabytes is held once.
    QFile file(path);
    const auto cannotRead = [&] {
        return Result::error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return cannotRead();
    // The size checked above: bytes the file gained since are not read.
    const qint64 size = qMin(file.size(), limits.maxFileBytes);
    char* buffer = static_cast<char*>(allocate(size_t(size)));
    if (!buffer)
        return outOfMemory(path);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(buffer + done, size - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (file.error() != QFileDevice::NoError) {
        pugi::get_memory_deallocation_function()(buffer);
        return cannotRead();
    }
    file.close();
    return decodeBuffer(buffer, size_t(done), path, iedName, device, limits, [&] {
        QByteArray bytes;
        readWholeFile(path, bytes, limit);
        return bytes;
    });
}
