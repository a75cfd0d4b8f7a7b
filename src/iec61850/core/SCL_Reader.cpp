#include "SCL_Reader.h"
#include "Files.h"
#include "XmlFile.h"
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
constexpr unsigned Scl_Parse_Flags = (pugi::parse_default & ~pugi::parse_cdata) | pugi::parse_embed_pcdata;

using TNodes = std::vector<pugi::xml_node>;

bool Is_Element(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The first child element named `name`.
pugi::xml_node Child(const pugi::xml_node& parent, const char* name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (Is_Element(n, name))
            return n;
    return {};
}

// Every child element named `name` (or `other`, when given), in document order.
TNodes Children(const pugi::xml_node& parent, const char* name, const char* other = nullptr)
{
    TNodes nodes;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (Is_Element(n, name) || (other && Is_Element(n, other)))
            nodes.push_back(n);
    return nodes;
}

const char* Attr(const pugi::xml_node& node, const char* name) { return node.attribute(name).value(); }

// Every type definition by id, built once per file: a look-up per data object stays cheap
// however many thousand types a substation file holds. All definitions sharing an id are
// kept, in document order; definitions without id are left out.
class TType_Index {
public:
    explicit TType_Index(const pugi::xml_node& dtt)
    {
        for (pugi::xml_node n = dtt.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element)
                continue;
            const pugi::xml_attribute id = n.attribute("id");
            if (!id)
                continue;
            if (std::strcmp(n.name(), "LNodeType") == 0)
                LNodeTypes[id.value()].push_back(n);
            else if (std::strcmp(n.name(), "DOType") == 0)
                DOTypes[id.value()].push_back(n);
            else if (std::strcmp(n.name(), "DAType") == 0)
                DATypes[id.value()].push_back(n);
        }
    }
    const TNodes& LNodeType(std::string_view id) const { return Find(LNodeTypes, id); }
    const TNodes& DOType(std::string_view id) const { return Find(DOTypes, id); }
    const TNodes& DAType(std::string_view id) const { return Find(DATypes, id); }

private:
    // Keys point into the parsed document, which outlives the index.
    using TMap = std::unordered_map<std::string_view, TNodes>;
    TMap LNodeTypes, DOTypes, DATypes;

    static const TNodes& Find(const TMap& map, std::string_view id)
    {
        static const TNodes none;
        const auto it = map.find(id);
        return it == map.end() ? none : it->second;
    }
};

// Resolves data set members as the finders do (first logical device of that instance,
// first logical node of that class, depth-first first data object and attribute of that
// name), through indexes built on first use, so that many members stay linear.
class TMember_Resolver {
public:
    explicit TMember_Resolver(const TIEC_Device& device)
    {
        for (const auto& ld : device.List_LDevice)
            if (!LDevices.contains(ld->Name))
                LDevices.insert(ld->Name, ld.get());
    }

    TIEC_DA* Resolve(const QString& ldInst, const QString& lnClass, const QString& doName, const QString& daName)
    {
        if (ldInst.isEmpty() || lnClass.isEmpty() || doName.isEmpty())
            return nullptr;
        TIEC_LDevice* ld = LDevices.value(ldInst);
        if (!ld)
            return nullptr;
        TIEC_LN* ln = LN_Index(*ld).value(lnClass);
        if (!ln)
            return nullptr;
        TIEC_DO* dataObject = DO_Index(*ln).value(doName);
        if (!dataObject)
            return nullptr;
        return daName.isEmpty() ? dataObject->Find_First_DA() : DA_Index(*dataObject).value(daName);
    }

private:
    QHash<QString, TIEC_LDevice*> LDevices;
    std::unordered_map<const TIEC_LDevice*, QHash<QString, TIEC_LN*>> LNs;
    std::unordered_map<const TIEC_LN*, QHash<QString, TIEC_DO*>> DOs;
    std::unordered_map<const TIEC_DO*, QHash<QString, TIEC_DA*>> DAs;

    template <typename T>
    static void Add_First(QHash<QString, T*>& index, const QString& name, T* item)
    {
        if (!index.contains(name))
            index.insert(name, item);
    }
    // Pre-order, so the first entry of a name is the one a depth-first search finds.
    template <typename T>
    static void Add_Tree(QHash<QString, T*>& index, const std::vector<std::unique_ptr<T>>& list,
                         const std::vector<std::unique_ptr<T>>& (*children)(const T&))
    {
        for (const auto& item : list) {
            Add_First(index, item->Name, item.get());
            Add_Tree(index, children(*item), children);
        }
    }
    static const std::vector<std::unique_ptr<TIEC_DO>>& Sub_DOs(const TIEC_DO& d) { return d.List_DO; }
    static const std::vector<std::unique_ptr<TIEC_DA>>& Components(const TIEC_DA& a) { return a.List_DA; }

    const QHash<QString, TIEC_LN*>& LN_Index(const TIEC_LDevice& ld)
    {
        auto [it, added] = LNs.try_emplace(&ld);
        if (added)
            for (const auto& ln : ld.List_LN)
                Add_First(it->second, ln->lnClass, ln.get());
        return it->second;
    }
    const QHash<QString, TIEC_DO*>& DO_Index(const TIEC_LN& ln)
    {
        auto [it, added] = DOs.try_emplace(&ln);
        if (added)
            Add_Tree(it->second, ln.List_DO, &Sub_DOs);
        return it->second;
    }
    const QHash<QString, TIEC_DA*>& DA_Index(const TIEC_DO& dataObject)
    {
        auto [it, added] = DAs.try_emplace(&dataObject);
        if (added)
            Add_Tree(it->second, dataObject.List_DA, &Components);
        return it->second;
    }
};

class TSCL_Decoder {
public:
    TSCL_Decoder(const QString& path, const TSCL_Limits& limits) : Path(path), Limits(limits) {}

    TResult Decode_Device(const pugi::xml_document& doc, TIEC_Device& device);

private:
    const QString& Path;
    const TSCL_Limits& Limits;
    const TType_Index* Types = nullptr;
    // Types being expanded on the current path, to stop at a type that contains itself.
    std::vector<std::string_view> DO_Path, DA_Path;
    qint64 Model_Bytes = 0;
    QString Failure;
    // Names, functional constraints and basic types repeat endlessly: share one string each.
    std::unordered_map<std::string_view, QString> Strings;

    const QString& Text(const char* text)
    {
        auto [it, added] = Strings.try_emplace(text);
        if (added)
            it->second = QString::fromUtf8(text);
        return it->second;
    }
    bool Failed() const { return !Failure.isEmpty(); }
    // Counts what the model costs; false (and a failure) once it grows beyond reason.
    bool Charge(qint64 bytes)
    {
        Model_Bytes += bytes;
        if (Model_Bytes > Limits.Max_Model_Bytes && !Failed())
            Failure = QStringLiteral("%1: the device model grows beyond %2 MB (type definitions that expand into each other too often, "
                                         "or names of enormous length)")
                          .arg(QDir::toNativeSeparators(Path))
                          .arg(Limits.Max_Model_Bytes >> 20);
        return !Failed();
    }
    // A new object and its reference. References of logical devices and nodes count too, so
    // that huge names repeated many times cannot keep the reader copying for ever.
    bool Spend(const QString& reference, size_t objectSize) { return Charge(qint64(objectSize) + 2 * reference.size() + 64); }
    // Each type definition and each of its children looked at costs a little, so that huge
    // definitions used many times still end in bounded time.
    bool Visit() { return Charge(16); }
    bool Enter(std::vector<std::string_view>& path, const char* type)
    {
        if (int(DO_Path.size() + DA_Path.size()) >= Limits.Max_Depth) {
            if (!Failed())
                Failure = QStringLiteral("%1: type definitions nest deeper than %2 levels").arg(QDir::toNativeSeparators(Path)).arg(Limits.Max_Depth);
            return false;
        }
        path.push_back(type);
        return true;
    }
    static bool On_Path(const std::vector<std::string_view>& path, std::string_view type)
    {
        for (std::string_view t : path)
            if (t == type)
                return true;
        return false;
    }

    void Decode_LDevice(const pugi::xml_node& element, const QString& str_Reference, TIEC_LDevice& ld, bool dataSetSearch,
                        TMember_Resolver* resolver);
    void Decode_LN(const pugi::xml_node& element, const QString& str_Reference, TIEC_LN& ln);
    void Decode_DO(const pugi::xml_node& element, const QString& str_Reference, TIEC_DO& dataObject);
    void Decode_DA(const pugi::xml_node& element, const QString& str_Reference, const QString& FC_Father, TIEC_DA& da);
    void Decode_LN_DataSet(const pugi::xml_node& element, const QString& str_Reference, TIEC_LN& ln, TMember_Resolver& resolver);
    void Decode_DataSet(const pugi::xml_node& element, const QString& str_Reference, TIEC_DataSet& dataSet,
                        TMember_Resolver& resolver);
    void Decode_LN_Goose(const pugi::xml_node& element, TIEC_LN& ln, QHash<QString, TIEC_DataSet*>& dataSets);
};

TResult TSCL_Decoder::Decode_Device(const pugi::xml_document& doc, TIEC_Device& device)
{
    const pugi::xml_node scl = Child(doc, "SCL");
    const pugi::xml_node ied = Child(scl, "IED");
    const pugi::xml_node dtt = Child(scl, "DataTypeTemplates");
    if (!ied || !dtt)
        return TResult::Success();
    const TType_Index types(dtt);
    Types = &types;
    device.Name = QString::fromUtf8(Attr(ied, "name"));
    const pugi::xml_node server = Child(Child(ied, "AccessPoint"), "Server");
    const TNodes ldElements = Children(server, "LDevice");

    // Structure pass, then data sets: a member may live in a logical device read later.
    for (size_t k = 0; k < ldElements.size() && !Failed(); ++k) {
        device.List_LDevice.push_back(std::make_unique<TIEC_LDevice>());
        Decode_LDevice(ldElements[k], device.Name, *device.List_LDevice.back(), false, nullptr);
    }
    TMember_Resolver resolver(device);
    for (size_t k = 0; k < ldElements.size() && !Failed(); ++k)
        Decode_LDevice(ldElements[k], device.Name, *device.List_LDevice[k], true, &resolver);
    return Failed() ? TResult::Error(Failure) : TResult::Success();
}

void TSCL_Decoder::Decode_LDevice(const pugi::xml_node& element, const QString& str_Reference, TIEC_LDevice& ld,
                                  bool dataSetSearch, TMember_Resolver* resolver)
{
    ld.Name = QString::fromUtf8(Attr(element, "inst"));
    const QString reference = str_Reference + ld.Name;
    if (!Spend(reference, sizeof(TIEC_LDevice)))
        return;
    const TNodes lnElements = Children(element, "LN0", "LN");
    for (size_t k = 0; k < lnElements.size() && !Failed(); ++k) {
        if (!dataSetSearch) {
            ld.List_LN.push_back(std::make_unique<TIEC_LN>());
            Decode_LN(lnElements[k], reference, *ld.List_LN.back());
        } else if (k < ld.List_LN.size()) {
            Decode_LN_DataSet(lnElements[k], reference, *ld.List_LN[k], *resolver);
        }
    }
}

void TSCL_Decoder::Decode_LN(const pugi::xml_node& element, const QString& str_Reference, TIEC_LN& ln)
{
    ln.lnClass = Text(Attr(element, "lnClass"));
    ln.lnType = Text(Attr(element, "lnType"));
    ln.Prefix = Text(Attr(element, "prefix"));
    ln.Inst = Text(Attr(element, "inst"));
    if (ln.lnType.isEmpty())
        return;
    const QString reference = str_Reference % u'/' % ln.Prefix % ln.lnClass % ln.Inst;
    if (!Spend(reference, sizeof(TIEC_LN)))
        return;
    for (const pugi::xml_node& type : Types->LNodeType(Attr(element, "lnType")))
        for (pugi::xml_node n = type.first_child(); Visit() && n; n = n.next_sibling()) {
            if (!Is_Element(n, "DO"))
                continue;
            ln.List_DO.push_back(std::make_unique<TIEC_DO>());
            Decode_DO(n, reference, *ln.List_DO.back());
        }
}

void TSCL_Decoder::Decode_DO(const pugi::xml_node& element, const QString& str_Reference, TIEC_DO& dataObject)
{
    dataObject.Name = Text(Attr(element, "name"));
    const QString reference = str_Reference % u'.' % dataObject.Name;
    if (!Spend(reference, sizeof(TIEC_DO)))
        return;
    const char* type = Attr(element, "type");
    // A type already being expanded above this data object would repeat forever.
    if (!*type || On_Path(DO_Path, type) || !Enter(DO_Path, type))
        return;
    for (const pugi::xml_node& doType : Types->DOType(type)) {
        for (pugi::xml_node n = doType.first_child(); Visit() && n; n = n.next_sibling()) {
            if (Is_Element(n, "SDO")) {
                dataObject.List_DO.push_back(std::make_unique<TIEC_DO>());
                Decode_DO(n, reference, *dataObject.List_DO.back());
            } else if (Is_Element(n, "DA")) {
                dataObject.List_DA.push_back(std::make_unique<TIEC_DA>());
                Decode_DA(n, reference, QString(), *dataObject.List_DA.back());
            }
        }
    }
    DO_Path.pop_back();
}

void TSCL_Decoder::Decode_DA(const pugi::xml_node& element, const QString& str_Reference, const QString& FC_Father, TIEC_DA& da)
{
    da.Name = Text(Attr(element, "name"));
    da.Reference = str_Reference % u'.' % da.Name;
    if (!Spend(da.Reference, sizeof(TIEC_DA)))
        return;
    da.bType = Text(Attr(element, "bType"));
    const pugi::xml_attribute fc = element.attribute("fc");
    da.FC = fc ? Text(fc.value()) : FC_Father;
    // Enumerations are leaves; a type already being expanded above this attribute would
    // repeat forever.
    const pugi::xml_attribute type = element.attribute("type");
    if (!type || da.bType == u"Enum" || On_Path(DA_Path, type.value()) || !Enter(DA_Path, type.value()))
        return;
    for (const pugi::xml_node& daType : Types->DAType(type.value()))
        for (pugi::xml_node n = daType.first_child(); Visit() && n; n = n.next_sibling()) {
            if (!Is_Element(n, "BDA"))
                continue;
            da.List_DA.push_back(std::make_unique<TIEC_DA>());
            Decode_DA(n, da.Reference, da.FC, *da.List_DA.back());
        }
    DA_Path.pop_back();
}

void TSCL_Decoder::Decode_LN_DataSet(const pugi::xml_node& element, const QString& str_Reference, TIEC_LN& ln,
                                     TMember_Resolver& resolver)
{
    if (!*Attr(element, "lnType"))
        return;
    // Prefix and instance are not part of a data set reference.
    const QString reference = str_Reference % u'/' % Text(Attr(element, "lnClass"));
    if (!Spend(reference, 0))
        return;
    for (pugi::xml_node n = element.first_child(); n && !Failed(); n = n.next_sibling()) {
        if (!Is_Element(n, "DataSet"))
            continue;
        ln.List_DataSet.push_back(std::make_unique<TIEC_DataSet>());
        Decode_DataSet(n, reference, *ln.List_DataSet.back(), resolver);
    }
    QHash<QString, TIEC_DataSet*> byName; // filled on the first GOOSE control block
    for (pugi::xml_node n = element.first_child(); n; n = n.next_sibling())
        if (Is_Element(n, "GSEControl"))
            Decode_LN_Goose(n, ln, byName);
}

void TSCL_Decoder::Decode_DataSet(const pugi::xml_node& element, const QString& str_Reference, TIEC_DataSet& dataSet,
                                  TMember_Resolver& resolver)
{
    dataSet.Name = QString::fromUtf8(Attr(element, "name"));
    dataSet.Reference = str_Reference % u'.' % dataSet.Name;
    if (!Spend(dataSet.Reference, sizeof(TIEC_DataSet)))
        return;
    for (pugi::xml_node n = element.first_child(); n; n = n.next_sibling()) {
        if (!Is_Element(n, "FCDA"))
            continue;
        // Names are compared whole: a daName such as mag.f finds nothing and is dropped.
        if (TIEC_DA* member = resolver.Resolve(Text(Attr(n, "ldInst")), Text(Attr(n, "lnClass")), Text(Attr(n, "doName")),
                                               Text(Attr(n, "daName"))))
            dataSet.List_DA.push_back(member);
    }
}

void TSCL_Decoder::Decode_LN_Goose(const pugi::xml_node& element, TIEC_LN& ln, QHash<QString, TIEC_DataSet*>& dataSets)
{
    const char* name = Attr(element, "name");
    const char* datSet = Attr(element, "datSet");
    if (!*name || !*datSet)
        return;
    if (dataSets.isEmpty())
        for (const auto& dataSet : ln.List_DataSet)
            if (!dataSets.contains(dataSet->Name))
                dataSets.insert(dataSet->Name, dataSet.get());
    if (TIEC_DataSet* dataSet = dataSets.value(QString::fromUtf8(datSet)))
        dataSet->GooseName = QString::fromUtf8(name);
}

// Parses a buffer that pugixml takes over (allocated with its allocation function).
// `original` gives the unparsed bytes again for the line number of a parse error, since
// parsing in place rewrites the buffer.
TResult Decode_Buffer(void* buffer, size_t size, const QString& path, std::unique_ptr<TIEC_Device>& device,
                      const TSCL_Limits& limits, const std::function<QByteArray()>& original)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer_inplace_own(buffer, size, Scl_Parse_Flags);
    if (!parsed) {
        const QByteArray bytes = original();
        return TResult::Error(Xml_Parse_Error(path, parsed, bytes.constData(), size_t(bytes.size())));
    }
    auto built = std::make_unique<TIEC_Device>();
    built->FileName = QFileInfo(path).fileName();
    TSCL_Decoder decoder(path, limits);
    if (auto decoded = decoder.Decode_Device(doc, *built); !decoded)
        return decoded;
    device = std::move(built);
    return TResult::Success();
}

void* Allocate(size_t size) { return pugi::get_memory_allocation_function()(size ? size : 1); }

TResult Out_Of_Memory(const QString& path)
{
    return TResult::Error(QStringLiteral("%1: not enough memory to read the file").arg(QDir::toNativeSeparators(path)));
}

} // namespace

TResult Read_SCL_Data(const QByteArray& data, const QString& path, std::unique_ptr<TIEC_Device>& device, const TSCL_Limits& limits)
{
    device.reset();
    void* buffer = Allocate(size_t(data.size()));
    if (!buffer)
        return Out_Of_Memory(path);
    std::memcpy(buffer, data.constData(), size_t(data.size()));
    return Decode_Buffer(buffer, size_t(data.size()), path, device, limits, [&] { return data; });
}

TResult Read_SCL_File(const QString& path, std::unique_ptr<TIEC_Device>& device, const TSCL_Limits& limits)
{
    device.reset();
    if (!QFileInfo::exists(path)) {
        device = std::make_unique<TIEC_Device>();
        device->FileName = QFileInfo(path).fileName();
        return TResult::Success();
    }
    // Read straight into the buffer that the document parses in place: a file of hundreds
    // of megabytes is held once.
    QFile file(path);
    const auto cannot_read = [&] {
        return TResult::Error(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return cannot_read();
    const qint64 size = file.size();
    char* buffer = static_cast<char*>(Allocate(size_t(size)));
    if (!buffer)
        return Out_Of_Memory(path);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(buffer + done, size - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (file.error() != QFileDevice::NoError) {
        pugi::get_memory_deallocation_function()(buffer);
        return cannot_read();
    }
    file.close();
    return Decode_Buffer(buffer, size_t(done), path, device, limits, [&] {
        QByteArray bytes;
        Read_Whole_File(path, bytes);
        return bytes;
    });
}
