#include "iec61850/core/AccessFile.h"
#include "iec61850/core/AccessFileModel.h"
#include "iec61850/core/AccessOperations.h"
#include "iec61850/core/Catalog.h"
#include "iec61850/core/ModelCache.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "iec61850/core/SclReader.h"
#include "base/XmlFile.h"
#include <QDir>
#include <QFileInfo>

namespace {

const char* const rootName = "IEC_68850_Client";

void set(pugi::xml_node& node, const char* name, const QString& value)
{
    node.append_attribute(name).set_value(qStringToXml(value).c_str());
}

// Writes the data rows of a grid (none when it is empty) as elements with the given attributes,
// column c as attributes[c - 1] (column 0, the row number, is not stored).
template <typename Extra>
void writeRows(pugi::xml_node list, const StringGrid& grid, const char* item, const char* const* attributes, Extra extra)
{
    if (grid.isEmpty())
        return;
    for (int row = 1; row < grid.rowCount(); ++row) {
        pugi::xml_node node = list.append_child(item);
        for (int col = 1; col < grid.colCount(); ++col)
            set(node, attributes[col - 1], grid.cell(col, row));
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

    // Fills what the file gave before any fault, then returns the fault.
    Result run()
    {
        clearAccessList(access);
        AccessFileModel model;
        const Result read = readAccessFileModel(path, model);
        if (Result r = readDevices(model); !r)
            return r;
        readVariables(model);
        readDataSets(model);
        return read;
    }

private:
    Result readDevices(const AccessFileModel& model)
    {
        for (const StoredDevice& item : model.devices) {
            const QString& fileName = item[1].text;
            const QString file = joinPath(Catalog, fileName);
            std::unique_ptr<Ied> device;
            Result read;
            if (isCatalogFileName(fileName) && QFileInfo(file).isFile())
                read = catalogModels().take(file, item[0].text, device);
            if (!device || !read) {
                // A file that is missing or cannot be read keeps its device's position, name and
                // file name, so that the entries' indexes stay right and the next save writes
                // every entry back unchanged: a bad catalog copy never empties the mapping.
                device = std::make_unique<Ied>();
                device->name = item[0].text;
                device->fileName = fileName;
                device->fileMissing = true;
                device->fileError = read.ok ? QString() : read.text(TextTable());
                if (read)
                    report.missingFiles << fileName;
                else
                    report.unreadableFiles << read;
            }
            access.devices.push_back(std::move(device));
        }
        catalogModels().dropIdle();
        return Result::success();
    }

    void readVariables(const AccessFileModel& model)
    {
        StringGrid& grid = access.variableGrid;
        int row = 0;
        for (const StoredVariable& item : model.variables) {
            grid.setRowCount(++row + 1);
            grid.setCell(VariableColumn::Number, row, QString::number(row));
            // Grid column c holds attribute c - 1 of the stored item.
            for (int col = 1; col < VariableColumn::Count; ++col)
                grid.setCell(col, row, item[static_cast<size_t>(col - 1)].text);
        }
    }

    void readDataSets(const AccessFileModel& model)
    {
        StringGrid& grid = access.dataSetGrid;
        int row = 0;
        for (const StoredDataSet& item : model.dataSets) {
            grid.setRowCount(++row + 1);
            grid.setCell(DataSetColumn::Number, row, QString::number(row));
            for (int col = 1; col < DataSetColumn::Count; ++col)
                grid.setCell(col, row, item[static_cast<size_t>(col - 1)].text);

            auto entry = std::make_unique<DataSetEntry>();
            const auto& devices = access.devices;
            const qint32 index = item[AccessItem::DsIndex].numberOr(-1);
            const Ied* device
                = index >= 0 && index < static_cast<qint32>(devices.size()) ? devices[static_cast<size_t>(index)].get() : nullptr;
            if (device && device->fileMissing)
                keepMembers(item.members, *entry);
            else {
                if (device)
                    entry->dataSet = findDataSet(*device, grid.cell(DataSetColumn::Reference, row));
                readMembers(item.members, *entry, row);
            }
            access.dataSets.push_back(std::move(entry));
        }
    }

    // The device's SCL file is missing or unreadable: nothing to match against, so the members
    // stay as stored until the file is back.
    static void keepMembers(const std::vector<StoredMember>& members, DataSetEntry& entry)
    {
        for (const StoredMember& item : members)
            entry.members.push_back(memberOf(item, nullptr));
    }

    // The member entry of a stored member: linked to its SCL attribute, or kept as stored.
    static std::unique_ptr<DataSetMember> memberOf(const StoredMember& item, DataAttribute* attribute)
    {
        using namespace AccessItem;
        auto da = std::make_unique<DataSetMember>();
        da->attribute = attribute;
        da->position = item[MPosition].text;
        da->bitAddress = item[MStartBit].text;
        da->conversion = item[MConversion].text;
        da->multFactor = item[MMultFactor].text;
        da->mnemonic = item[MMnemonic].text;
        if (!attribute) {
            da->storedBType = item[MBType].text;
            da->storedReference = item[MReference].text;
        }
        return da;
    }

    // Takes over the stored members that still match the SCL data set at their position.
    void readMembers(const std::vector<StoredMember>& members, DataSetEntry& entry, int row)
    {
        using namespace AccessItem;
        const QString reference = access.dataSetGrid.cell(DataSetColumn::Reference, row);
        const DataSet* dataSet = entry.dataSet;
        QStringList unmatched;
        for (size_t i = 0; i < members.size(); ++i) {
            const StoredMember& item = members[i];
            const QString& memberRef = item[MReference].text;
            DataAttribute* member = dataSet && i < dataSet->attributes.size() ? dataSet->attributes[i] : nullptr;
            if (!member || member->bType != item[MBType].text || member->reference != memberRef) {
                unmatched << QStringLiteral("%1 %2").arg(i + 1).arg(memberRef);
                continue;
            }
            entry.members.push_back(memberOf(item, member));
        }
        if (members.empty())
            return;
        if (!dataSet)
            report.droppedMembers << Result::failed(
                Text::DroppedMembersNoDataSet, {QString::number(row), reference, QString::number(members.size())});
        else if (!unmatched.isEmpty())
            report.droppedMembers << Result::failed(
                Text::DroppedMembersNoLongerMatching, {QString::number(row), reference, unmatched.join(QStringLiteral(", "))});
    }

    const QString& path;
    const QString& Catalog;
    AccessList& access;
    AccessFileReport& report;
};

} // namespace

namespace {

// The first line of the warning `textNo`, the lines, then the warning's last line.
QString warning(const TextTable& texts, int textNo, const QStringList& args, const QStringList& lines)
{
    return fillPlaceholders(texts[textNo], args) + u'\n' + lines.join(u'\n') + u'\n' + texts[textNo + 1];
}

QStringList linesOf(const QList<Result>& results, const TextTable& texts)
{
    QStringList lines;
    for (const Result& r : results)
        lines << r.text(texts);
    return lines;
}

} // namespace

QString AccessFileReport::missingFilesWarning(const TextTable& texts) const
{
    if (missingFiles.isEmpty())
        return {};
    return warning(texts, Text::WarningMissingFiles, {icdCatalogName}, missingFiles);
}

QString AccessFileReport::unreadableFilesWarning(const TextTable& texts) const
{
    if (unreadableFiles.isEmpty())
        return {};
    return warning(texts, Text::WarningUnreadableFiles, {}, linesOf(unreadableFiles, texts));
}

QString AccessFileReport::droppedMembersWarning(const TextTable& texts) const
{
    if (droppedMembers.isEmpty())
        return {};
    return warning(texts, Text::WarningDroppedMembers, {}, linesOf(droppedMembers, texts));
}

void clearAccessList(AccessList& access)
{
    access.dataSets.clear(); // before the devices its entries link to
    for (auto& device : access.devices)
        catalogModels().giveBack(std::move(device));
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

    writeRows(root.append_child("List_DA_Selected"), access.variableGrid, "DA_Item", variableItemAttributes,
        [](pugi::xml_node&, int) {});

    writeRows(root.append_child("List_DataSet_Selected"), access.dataSetGrid, "DataSet_Item", dataSetItemAttributes,
        [&](pugi::xml_node& node, int row) {
            pugi::xml_node members = node.append_child("DataSet_List_DAs");
            if (row > static_cast<int>(access.dataSets.size()))
                return;
            for (const auto& da : access.dataSets[static_cast<size_t>(row - 1)]->members) {
                pugi::xml_node member = members.append_child("DataSet_DA_Item");
                const QString values[]
                    = {da->bType(), da->reference(), da->position, da->bitAddress, da->conversion, da->multFactor, da->mnemonic};
                for (size_t i = 0; i < std::size(values); ++i)
                    set(member, memberItemAttributes[i], values[i]);
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
