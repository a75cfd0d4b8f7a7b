#include "access/core/AccessFile.h"
#include "configuration/core/ConfigurationPaths.h"
#include "access/core/AccessFileModel.h"
#include "access/core/AccessOperations.h"
#include "access/core/Catalog.h"
#include "scl/core/ModelCache.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "scl/core/SclReader.h"
#include <QDir>
#include <QFileInfo>
#include <cstring>

namespace {

const char* const rootName = "IEC_68850_Client";

// The access file is written straight into its bytes, element by element: a document object
// model of a large access list takes many times the file's size. The bytes are those pugixml
// writes for the same document (raw, UTF-8, no declaration), so files stay as they were. The
// same walk first only counts the bytes, so that a file too large to be read again is refused
// before any of it is made.

// As pugixml escapes an attribute value: &, < and " by name, a control character by its
// two-digit number; the value ends at a NUL, as a C string does.
void addEscaped(QByteArray& bytes, const QByteArray& value)
{
    for (const char c : value) {
        switch (c) {
        case '\0':
            return;
        case '&':
            bytes += "&amp;";
            break;
        case '<':
            bytes += "&lt;";
            break;
        case '"':
            bytes += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 32) {
                bytes += "&#";
                bytes += char('0' + c / 10);
                bytes += char('0' + c % 10);
                bytes += ';';
            } else
                bytes += c;
        }
    }
}

// The length addEscaped() gives the UTF-8 of `value`.
qint64 escapedLength(const QString& value)
{
    qint64 length = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c == 0)
            break;
        if (c == u'&' || c < 32)
            length += 5;
        else if (c == u'<')
            length += 4;
        else if (c == u'"')
            length += 6;
        else if (c < 0x80)
            length += 1;
        else if (c < 0x800)
            length += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < value.size() && QChar::isLowSurrogate(value[i + 1].unicode())) {
            length += 4;
            ++i;
        } else
            length += 3; // a character of the basic plane; a lone surrogate becomes U+FFFD
    }
    return length;
}

class ByteSink {
public:
    void add(const char* text) { bytes += text; }
    void addValue(const QString& value) { addEscaped(bytes, value.toUtf8()); }
    QByteArray bytes;
};

class CountingSink {
public:
    void add(const char* text) { count += static_cast<qint64>(std::strlen(text)); }
    void addValue(const QString& value) { count += escapedLength(value); }
    qint64 count = 0;
};

template <typename Sink> class AccessFileWriter {
public:
    explicit AccessFileWriter(Sink& into)
        : out(into)
    {
    }
    void open(const char* name)
    {
        out.add("<");
        out.add(name);
    }
    void attribute(const char* name, const QString& value)
    {
        out.add(" ");
        out.add(name);
        out.add("=\"");
        out.addValue(value);
        out.add("\"");
    }
    // After the attributes: "/>" for an element without children, else ">".
    void endStart(bool empty) { out.add(empty ? "/>" : ">"); }
    void close(const char* name)
    {
        out.add("</");
        out.add(name);
        out.add(">");
    }
    void comment(const char* text)
    {
        out.add("<!--");
        out.add(text);
        out.add("-->");
    }

private:
    Sink& out;
};

// Writes the data rows of a grid (none when it is empty) as elements with the given attributes,
// each column as its stored attribute (column 0, the row number, is not stored); `inner` ends
// each element.
template <typename Writer, typename Inner>
void writeRows(
    Writer& out, const char* list, const StringGrid& grid, const char* item, const char* const* attributes, Inner inner)
{
    out.open(list);
    if (grid.isEmpty()) {
        out.endStart(true);
        return;
    }
    out.endStart(false);
    for (int row = 1; row < grid.rowCount(); ++row) {
        out.open(item);
        for (int col = 1; col < grid.colCount(); ++col)
            out.attribute(attributes[storedAttribute(col)], grid.cell(col, row));
        inner(row);
    }
    out.close(list);
}

template <typename Sink> void writeAccessFile(const AccessList& access, Sink& sink)
{
    AccessFileWriter<Sink> out(sink);
    out.open(rootName);
    out.endStart(false);

    out.open("List_ICD_Files");
    out.endStart(access.devices.empty());
    for (const auto& device : access.devices) {
        out.open("ICD_File");
        out.attribute("Name", device->name);
        out.attribute("FileName", device->fileName);
        out.endStart(true);
    }
    if (!access.devices.empty())
        out.close("List_ICD_Files");

    writeRows(
        out, "List_DA_Selected", access.variableGrid, "DA_Item", variableItemAttributes, [&out](int) { out.endStart(true); });

    writeRows(out, "List_DataSet_Selected", access.dataSetGrid, "DataSet_Item", dataSetItemAttributes, [&](int row) {
        out.endStart(false);
        const bool hasEntry = row <= static_cast<int>(access.dataSets.size());
        const auto* members = hasEntry ? &access.dataSets[static_cast<size_t>(row - 1)]->members : nullptr;
        out.open("DataSet_List_DAs");
        out.endStart(!members || members->empty());
        if (members && !members->empty()) {
            for (const auto& da : *members) {
                out.open("DataSet_DA_Item");
                const QString values[]
                    = {da->bType(), da->reference(), da->position, da->bitAddress, da->conversion, da->multFactor, da->mnemonic};
                for (size_t i = 0; i < std::size(values); ++i)
                    out.attribute(memberItemAttributes[i], values[i]);
                out.endStart(true);
            }
            out.close("DataSet_List_DAs");
        }
        out.close("DataSet_Item");
    });

    out.close(rootName);
    out.comment("SW_VERSION = 1.000");
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
        readCatalogDevices(model.devices, Catalog, access.devices, report);
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
            for (int col = VariableColumn::Index; col < VariableColumn::Count; ++col)
                grid.setCell(col, row, item[storedAttribute(col)].text);
        }
    }

    void readDataSets(const AccessFileModel& model)
    {
        StringGrid& grid = access.dataSetGrid;
        int row = 0;
        for (const StoredDataSet& item : model.dataSets) {
            grid.setRowCount(++row + 1);
            grid.setCell(DataSetColumn::Number, row, QString::number(row));
            for (int col = DataSetColumn::Index; col < DataSetColumn::Count; ++col)
                grid.setCell(col, row, item[storedAttribute(col)].text);

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
    // stay as stored until the file is back (the checks refuse them meanwhile).
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

    // Links the stored members that still match the SCL data set at their place. The others
    // stay as stored, unlinked: the next save writes them back unchanged, and the checks
    // refuse them until the engineer has added the data set afresh, so that no member is lost
    // without a word.
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
            const bool matches = member && member->bType == item[MBType].text && member->reference == memberRef;
            if (!matches)
                unmatched << QStringLiteral("%1 %2").arg(i + 1).arg(memberRef);
            entry.members.push_back(memberOf(item, matches ? member : nullptr));
        }
        if (members.empty())
            return;
        if (!dataSet)
            report.unmatchedMembers << Result::failed(
                Text::UnmatchedMembersNoDataSet, {QString::number(row), reference, QString::number(members.size())});
        else if (!unmatched.isEmpty())
            report.unmatchedMembers << Result::failed(
                Text::UnmatchedMembers, {QString::number(row), reference, unmatched.join(QStringLiteral(", "))});
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
        lines << texts.message(r);
    return lines;
}

} // namespace

QString AccessFileReport::missingFilesWarning(const TextTable& texts) const
{
    if (missingFiles.isEmpty())
        return {};
    return warning(texts, Text::WarningMissingFiles, {ConfigurationPaths::catalogFolderName}, missingFiles);
}

QString AccessFileReport::unreadableFilesWarning(const TextTable& texts) const
{
    if (unreadableFiles.isEmpty())
        return {};
    return warning(texts, Text::WarningUnreadableFiles, {}, linesOf(unreadableFiles, texts));
}

QString AccessFileReport::unmatchedMembersWarning(const TextTable& texts) const
{
    if (unmatchedMembers.isEmpty())
        return {};
    return warning(texts, Text::WarningUnmatchedMembers, {}, linesOf(unmatchedMembers, texts));
}

void readCatalogDevices(const std::vector<StoredDevice>& items, const QString& catalogFolder,
    std::vector<std::unique_ptr<Ied>>& devices, AccessFileReport& report, const std::function<bool(size_t)>& wanted)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const StoredDevice& item = items[i];
        if (wanted && !wanted(i)) {
            devices.emplace_back();
            continue;
        }
        const QString& fileName = item[1].text;
        const QString file = joinPath(catalogFolder, fileName);
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
            device->fileError = read.ok ? QString() : englishMessage(read);
            if (read)
                report.missingFiles << fileName;
            else
                report.unreadableFiles << read;
        }
        devices.push_back(std::move(device));
    }
}

void giveBackDevices(std::vector<std::unique_ptr<Ied>>& devices)
{
    for (auto& device : devices)
        if (device)
            catalogModels().giveBack(std::move(device));
    devices.clear();
}

void clearAccessList(AccessList& access)
{
    access.dataSets.clear(); // before the devices its entries link to
    giveBackDevices(access.devices);
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
    // Never replace the file by one that loading would refuse for its size.
    CountingSink size;
    writeAccessFile(access, size);
    if (Result fits = checkWriteSize(path, size.count, accessFileLimit); !fits)
        return fits;
    ByteSink file;
    file.bytes.reserve(static_cast<qsizetype>(size.count));
    writeAccessFile(access, file);
    if (Result fits = checkWriteSize(path, file.bytes.size(), accessFileLimit); !fits)
        return fits;
    return writeFileAtomically(path, file.bytes);
}

Result loadAccessFile(const QString& path, const QString& catalogFolder, AccessList& access, AccessFileReport& report)
{
    Result result = Loader(path, catalogFolder, access, report).run();
    setStartNumByte(access.variableGrid);
    return result;
}
