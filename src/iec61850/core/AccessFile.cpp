#include "iec61850/core/AccessFile.h"
#include "iec61850/core/AccessOperations.h"
#include "iec61850/core/Catalog.h"
#include "base/Files.h"
#include "iec61850/core/SclReader.h"
#include "base/WholeNumber.h"
#include "base/XmlFile.h"
#include <QDir>
#include <QFileInfo>

namespace {

const char* const rootName = "IEC_68850_Client";
const char* const memberAttributes[] = {"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact", "Mnemonic"};

void set(pugi::xml_node& node, const char* name, const QString& value)
{
    node.append_attribute(name).set_value(qStringToXml(value).c_str());
}

QString attributeText(const pugi::xml_node& node, const char* name) { return xmlToQString(node.attribute(name).value()); }

// Visits the element children of a node (comments and text skipped), counted from 0, up to
// the first that fails.
template <typename Visit> Result forEachElement(const pugi::xml_node& parent, Visit visit)
{
    int i = 0;
    for (const pugi::xml_node& child : parent.children())
        if (child.type() == pugi::node_element)
            if (Result r = visit(child, i++); !r)
                return r;
    return Result::success();
}

// Writes the data rows of a grid (none when it is empty) as elements with the given attributes.
template <typename Extra>
void writeRows(pugi::xml_node list, const StringGrid& grid, const char* item, const char* const* attributes, Extra extra)
{
    if (grid.isEmpty())
        return;
    for (int row = 1; row < grid.rowCount(); ++row) {
        pugi::xml_node node = list.append_child(item);
        for (int col = 1; col < grid.colCount(); ++col)
            set(node, attributes[col], grid.cell(col, row));
        extra(node, row);
    }
}

class Loader {
public:
    Loader(const QString& filePath, const QString& catalogFolder, AccessList& list, AccessFileReport& loadReport)
        : path(filePath)
        , Catalog(catalogFolder)
        , access(list)
        , report(loadReport)
    {
    }

    Result run()
    {
        clearAccessList(access);
        if (!QFileInfo::exists(path))
            return Result::success();
        pugi::xml_document doc;
        if (Result loaded = loadXmlFile(path, doc, accessFileLimit); !loaded)
            return loaded;
        const pugi::xml_node root = doc.child(rootName);
        if (!root)
            return formatError(QStringLiteral("it has no element %1").arg(QString::fromLatin1(rootName)));
        if (Result r = readDevices(root.child("List_ICD_Files")); !r)
            return r;
        if (Result r = readVariables(root.child("List_DA_Selected")); !r)
            return r;
        return readDataSets(root.child("List_DataSet_Selected"));
    }

private:
    Result formatError(const QString& what) const
    {
        return Result::error(QStringLiteral("%1: format error: %2").arg(QDir::toNativeSeparators(path), what));
    }
    Result missingAttribute(const char* item, int i, const char* attribute) const
    {
        return formatError(QStringLiteral("%1 %2 has no attribute %3")
                               .arg(QString::fromLatin1(item))
                               .arg(i + 1)
                               .arg(QString::fromLatin1(attribute)));
    }

    Result readDevices(const pugi::xml_node& list)
    {
        return forEachElement(list, [&](const pugi::xml_node& item, int i) {
            if (!item.attribute("FileName"))
                return missingAttribute("ICD_File", i, "FileName");
            const QString fileName = attributeText(item, "FileName");
            const QString file = joinPath(Catalog, fileName);
            std::unique_ptr<Ied> device;
            if (isCatalogFileName(fileName) && QFileInfo(file).isFile()) {
                if (Result read = readSclFile(file, device); !read)
                    return read;
            } else {
                // Keeps the position, the name and the file name, so that the entries' indexes
                // stay right and the next save writes the entry back unchanged.
                device = std::make_unique<Ied>();
                device->name = attributeText(item, "Name");
                device->fileName = fileName;
                device->fileMissing = true;
                report.missingFiles << fileName;
            }
            access.devices.push_back(std::move(device));
            return Result::success();
        });
    }

    Result readVariables(const pugi::xml_node& list)
    {
        StringGrid& grid = access.variableGrid;
        return forEachElement(list, [&](const pugi::xml_node& item, int i) {
            // Files of earlier versions have no StartByte and NumByte.
            for (int col = 1; col < VariableColumn::Count; ++col)
                if (col != VariableColumn::StartByte && col != VariableColumn::NumByte
                    && !item.attribute(variableAttributes[col]))
                    return missingAttribute("DA_Item", i, variableAttributes[col]);
            const int row = i + 1;
            grid.setRowCount(row + 1);
            grid.setCell(VariableColumn::Number, row, QString::number(row));
            for (int col = 1; col < VariableColumn::Count; ++col)
                grid.setCell(col, row, attributeText(item, variableAttributes[col]));
            return Result::success();
        });
    }

    Result readDataSets(const pugi::xml_node& list)
    {
        StringGrid& grid = access.dataSetGrid;
        return forEachElement(list, [&](const pugi::xml_node& item, int i) {
            for (int col = 1; col < DataSetColumn::Count; ++col)
                if (!item.attribute(dataSetAttributes[col]))
                    return missingAttribute("DataSet_Item", i, dataSetAttributes[col]);
            const std::optional<qint32> index = parseWholeNumber(attributeText(item, "Index"));
            if (!index)
                return formatError(QStringLiteral("DataSet_Item %1 has the Index \"%2\", not a whole number")
                                       .arg(i + 1)
                                       .arg(attributeText(item, "Index")));
            const int row = i + 1;
            grid.setRowCount(row + 1);
            grid.setCell(DataSetColumn::Number, row, QString::number(row));
            for (int col = 1; col < DataSetColumn::Count; ++col)
                grid.setCell(col, row, attributeText(item, dataSetAttributes[col]));

            auto entry = std::make_unique<DataSetEntry>();
            const auto& devices = access.devices;
            if (*index >= 0 && *index < static_cast<qint32>(devices.size()))
                entry->dataSet = findDataSet(*devices[static_cast<size_t>(*index)], grid.cell(DataSetColumn::Reference, row));
            readMembers(item.child("DataSet_List_DAs"), *entry, row);
            access.dataSets.push_back(std::move(entry));
            return Result::success();
        });
    }

    // Takes over the stored members that still match the SCL data set at their position.
    void readMembers(const pugi::xml_node& list, DataSetEntry& entry, int row)
    {
        const QString reference = access.dataSetGrid.cell(DataSetColumn::Reference, row);
        const DataSet* dataSet = entry.dataSet;
        int stored = 0;
        QStringList unmatched;
        forEachElement(list, [&](const pugi::xml_node& item, int i) {
            ++stored;
            const QString bType = attributeText(item, "bType");
            const QString memberRef = attributeText(item, "Reference");
            DataAttribute* member = dataSet && i < static_cast<int>(dataSet->attributes.size())
                ? dataSet->attributes[static_cast<size_t>(i)]
                : nullptr;
            if (!member || member->bType != bType || member->reference != memberRef) {
                unmatched << QStringLiteral("%1 %2").arg(i + 1).arg(memberRef);
                return Result::success();
            }
            auto da = std::make_unique<DataSetMember>();
            da->attribute = member;
            da->position = attributeText(item, "Position");
            da->bitAddress = attributeText(item, "StartBit");
            da->conversion = attributeText(item, "Convertion");
            da->multFactor = attributeText(item, "MoltFact");
            da->mnemonic = attributeText(item, "Mnemonic");
            entry.members.push_back(std::move(da));
            return Result::success();
        });
        if (stored == 0)
            return;
        if (!dataSet)
            report.droppedMembers << QStringLiteral("DataSet row %1 (%2): data set not found, its %3 stored members dropped")
                                         .arg(row)
                                         .arg(reference)
                                         .arg(stored);
        else if (!unmatched.isEmpty())
            report.droppedMembers << QStringLiteral("DataSet row %1 (%2): members no longer matching, dropped: %3")
                                         .arg(row)
                                         .arg(reference, unmatched.join(QStringLiteral(", ")));
    }

    const QString& path;
    const QString& Catalog;
    AccessList& access;
    AccessFileReport& report;
};

} // namespace

QString AccessFileReport::missingFilesWarning() const
{
    if (missingFiles.isEmpty())
        return {};
    return QStringLiteral("These SCL files of the access list are missing from the folder %1:\n%2\n"
                          "Their devices are kept, empty, so that the entries still refer to the right devices.")
        .arg(icdCatalogName, missingFiles.join(u'\n'));
}

QString AccessFileReport::droppedMembersWarning() const
{
    if (droppedMembers.isEmpty())
        return {};
    return QStringLiteral("Stored data set members that no longer match the SCL files were dropped:\n%1\n"
                          "OK saves the access list without them; Cancel keeps the access file unchanged.")
        .arg(droppedMembers.join(u'\n'));
}

void clearAccessList(AccessList& access)
{
    access.dataSets.clear(); // before the devices its entries link to
    access.devices.clear();
    access.variableGrid.clear();
    access.dataSetGrid.clear();
    access.memberGrid.clear();
}

DataSet* findDataSet(const Ied& device, const QString& reference)
{
    for (const auto& ld : device.logicalDevices)
        for (const auto& ln : ld->logicalNodes)
            for (const auto& ds : ln->dataSets)
                if (ds->reference == reference)
                    return ds.get();
    return nullptr;
}

Result saveAccessFile(const AccessList& access, const QString& path)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(rootName);
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.000");

    pugi::xml_node files = root.append_child("List_ICD_Files");
    for (const auto& device : access.devices) {
        pugi::xml_node file = files.append_child("ICD_File");
        set(file, "Name", device->name);
        set(file, "FileName", device->fileName);
    }

    writeRows(
        root.append_child("List_DA_Selected"), access.variableGrid, "DA_Item", variableAttributes, [](pugi::xml_node&, int) {});

    writeRows(root.append_child("List_DataSet_Selected"), access.dataSetGrid, "DataSet_Item", dataSetAttributes,
        [&](pugi::xml_node& node, int row) {
            pugi::xml_node members = node.append_child("DataSet_List_DAs");
            if (row > static_cast<int>(access.dataSets.size()))
                return;
            for (const auto& da : access.dataSets[static_cast<size_t>(row - 1)]->members) {
                pugi::xml_node member = members.append_child("DataSet_DA_Item");
                const QString values[]
                    = {da->attribute ? da->attribute->bType : QString(), da->attribute ? da->attribute->reference : QString(),
                        da->position, da->bitAddress, da->conversion, da->multFactor, da->mnemonic};
                for (size_t i = 0; i < std::size(values); ++i)
                    set(member, memberAttributes[i], values[i]);
            }
        });

    return saveXmlFile(doc, path);
}

Result loadAccessFile(const QString& path, const QString& catalogFolder, AccessList& access, AccessFileReport& report)
{
    Result result = Loader(path, catalogFolder, access, report).run();
    setStartNumByte(access.variableGrid);
    return result;
}
