#include "access/core/AccessFileModel.h"
#include "access/core/AccessFile.h"
#include "base/TextNumbers.h"
#include "base/WholeNumber.h"
#include "base/XmlFile.h"
#include <QDir>
#include <QFileInfo>
#include <cstring>

namespace {

const char* const rootName = "IEC_68850_Client";

// Attributes an item must have. Files of earlier versions have no StartByte and NumByte; an
// absent flag or choice reads as an empty text, which the build turns into its fallback.
bool requiredVariable(size_t i)
{
    using namespace AccessItem;
    return i != StartByte && i != NumByte && i != OnChange && i != OnCmd && i != OnTimer && i != ReadWrite && i != Conversion;
}
bool requiredDataSet(size_t i) { return i != AccessItem::DsEnGoose; }
bool requiredMember(size_t i) { return i != AccessItem::MConversion && i != AccessItem::MMnemonic; }

bool numericVariable(size_t i)
{
    using namespace AccessItem;
    return i == Index || i == StartByte || i == NumByte || i == Port || i == Time || i == Position || i == StartBit;
}
bool numericDataSet(size_t i)
{
    using namespace AccessItem;
    return i == DsIndex || i == DsPort || i == DsTime;
}
bool numericMember(size_t i) { return i == AccessItem::MPosition || i == AccessItem::MStartBit; }

bool isElement(const pugi::xml_node& node) { return node.type() == pugi::node_element; }

pugi::xml_node nextElement(pugi::xml_node node)
{
    for (node = node.next_sibling(); node && !isElement(node); node = node.next_sibling()) { }
    return node;
}

pugi::xml_node firstElement(const pugi::xml_node& parent)
{
    pugi::xml_node node = parent.first_child();
    return !node || isElement(node) ? node : nextElement(node);
}

// Where an item stands, as its messages name it after the file: the item's number and list; for
// a member of a data set, the member's number, then its data set's number and list.
using Where = QStringList;

class Reader {
public:
    Reader(const QString& path, AccessFileModel& into, const AccessItemCheck& itemCheck)
        : file(QDir::toNativeSeparators(path))
        , model(into)
        , check(itemCheck)
    {
    }

    Result run(const QString& path)
    {
        pugi::xml_document doc;
        if (Result loaded = loadXmlFile(path, doc, accessFileLimit); !loaded)
            return loaded;
        const pugi::xml_node root = doc.child(rootName);
        if (!root)
            return error(Text::ErrorAccessFileNoRoot, {QLatin1String(rootName)});
        const pugi::xml_node dataSetList = root.child("List_DataSet_Selected");
        const bool anyDataSet = static_cast<bool>(firstElement(dataSetList));

        if (Result r = forEach(root.child("List_ICD_Files"), {QStringLiteral("List_ICD_Files")}, "ICD_File",
                [&](const pugi::xml_node& node, const Where& where, bool) {
                    StoredDevice device;
                    if (Result item = read(
                            node, where, deviceItemAttributes, device, [](size_t i) { return i == 1; },
                            [](size_t) { return false; });
                        !item)
                        return item;
                    model.devices.push_back(std::move(device));
                    return Result::success();
                });
            !r)
            return r;
        if (Result r = forEach(root.child("List_DA_Selected"), {QStringLiteral("List_DA_Selected")}, "DA_Item",
                [&](const pugi::xml_node& node, const Where& where, bool more) {
                    StoredVariable variable;
                    if (Result item = read(node, where, variableItemAttributes, variable, requiredVariable, numericVariable);
                        !item)
                        return item;
                    model.variables.push_back(std::move(variable));
                    return check ? check(model, more || anyDataSet) : Result::success();
                });
            !r)
            return r;
        return forEach(dataSetList, {QStringLiteral("List_DataSet_Selected")}, "DataSet_Item",
            [&](const pugi::xml_node& node, const Where& where, bool more) {
                StoredDataSet dataSet;
                if (Result item = read(node, where, dataSetItemAttributes, dataSet, requiredDataSet, numericDataSet); !item)
                    return item;
                const StoredAttribute& index = dataSet[AccessItem::DsIndex];
                if (!index.number)
                    return error(Text::ErrorAccessDataSetIndex, where + QStringList{index.text});
                if (Result r = forEach(node.child("DataSet_List_DAs"), where, "DataSet_DA_Item",
                        [&](const pugi::xml_node& member, const Where& memberWhere, bool) {
                            dataSet.members.emplace_back();
                            return read(
                                member, memberWhere, memberItemAttributes, dataSet.members.back(), requiredMember, numericMember);
                        });
                    !r)
                    return r;
                model.dataSets.push_back(std::move(dataSet));
                return check ? check(model, more) : Result::success();
            });
    }

private:
    Result error(int textNo, const QStringList& args) const { return Result::failed(textNo, QStringList{file} + args); }
    // The message of an item of a list, or the text after it for a member of a data set.
    Result itemError(int itemText, const Where& where, const QStringList& args) const
    {
        return error(where.size() > 2 ? itemText + 1 : itemText, where + args);
    }

    // Visits the element children of `list` (which stands at `within`), counted from 1 among
    // elements; another element name stops, so that no item is read as something it is not.
    template <typename Visit> Result forEach(const pugi::xml_node& list, const Where& within, const char* itemName, Visit visit)
    {
        int n = 0;
        for (pugi::xml_node node = firstElement(list); node; node = nextElement(node)) {
            const Where where = QStringList{QString::number(++n)} + within;
            if (std::strcmp(node.name(), itemName) != 0)
                return itemError(Text::ErrorAccessItemElement, where, {xmlToQString(node.name()), QLatin1String(itemName)});
            if (Result r = visit(node, where, static_cast<bool>(nextElement(node))); !r)
                return r;
        }
        return Result::success();
    }

    template <size_t N, typename Item, typename Required, typename Numeric>
    Result read(const pugi::xml_node& node, const Where& where, const char* const (&names)[N], Item& item, Required required,
        Numeric numeric)
    {
        const char* missing = nullptr;
        for (size_t i = 0; i < N; ++i) {
            StoredAttribute& a = item.attributes[i];
            const pugi::xml_attribute stored = node.attribute(names[i]);
            a.present = static_cast<bool>(stored);
            a.text = xmlToQString(stored.value());
            if (numeric(i))
                a.number = parseWholeNumber(a.text);
            if (!a.present && !missing && required(i))
                missing = names[i];
        }
        if (missing)
            return itemError(Text::ErrorAccessItemAttribute, where, {QLatin1String(missing)});
        return Result::success();
    }

    const QString file;
    AccessFileModel& model;
    const AccessItemCheck& check;
};

} // namespace

Result readAccessFileModel(const QString& path, AccessFileModel& model, const AccessItemCheck& check)
{
    model = AccessFileModel{};
    if (!QFileInfo::exists(path))
        return Result::success();
    return Reader(path, model, check).run(path);
}

int fixedNumByte(const QString& bType)
{
    struct TypeSize {
        const char* type;
        int numByte;
    };
    static constexpr TypeSize fixedSizes[] = {
        {"FLOAT32", 4},
        {"INT32U", 4},
        {"INT32", 4},
        {"QUALITY", 4},
        {"FLOAT64", 8},
        {"INT64", 8},
        {"INT8U", 1},
        {"INT8", 1},
        {"BOOLEAN", 1},
        {"TIMESTAMP", 1},
        {"ENUM", 1},
        {"INT16U", 2},
        {"INT16", 2},
    };
    const QString upper = bType.toUpper();
    for (const TypeSize& t : fixedSizes)
        if (upper == QLatin1String(t.type))
            return t.numByte;
    return 0;
}
