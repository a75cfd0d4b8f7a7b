#include "iec61850/core/PointList.h"
#include "base/Csv.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
#include "iec61850/core/AccessOperations.h"
#include "iec61850/core/AccessValidation.h"
#include "iec61850/core/DataArray.h"
#include <QHash>

namespace {

// Point-list columns: first the variables grid's columns 1 to 18 (same order, same meaning),
// then these. On a member line IP Address, Port and Time (ms) are its data set's.
enum : int {
    IedColumn = VariableColumn::Count - 1,
    DataSetColumnAt,
    GooseNameColumn,
    EnGooseColumn,
    DataSetMnemonicColumn,
    ByteExtentColumn,
    ColumnCount
};
constexpr int variableCell(int col) { return col + 1; } // point-list column -> variables-grid column

QString deviceName(const AccessList& access, const QString& index)
{
    const qint32 i = toWholeNumber(index);
    return i >= 0 && i < static_cast<qint32>(access.devices.size()) ? access.devices[static_cast<size_t>(i)]->name : QString();
}

QString extentOf(const ArrayEntry& entry)
{
    BitExtent extent;
    return entryExtent(entry, extent) ? extentText(extent) : QString();
}

// A failed row check as a line's problem: the check's text without the row (and member) it
// names, nor its "!!".
QString checkText(const Result& checked, const TextTable& texts)
{
    QString text = checked.arg;
    const auto dropNumber = [&text] {
        while (!text.isEmpty() && text.front().isDigit())
            text.remove(0, 1);
    };
    dropNumber();
    if (text.startsWith(texts[Text::ErrorMember])) {
        text.remove(0, texts[Text::ErrorMember].size());
        dropNumber();
    }
    while (text.startsWith(u'!') || text.startsWith(u' '))
        text.remove(0, 1);
    return text;
}

// The row checks of the access window for one imported variable row: the text of the first
// failing check, or nothing.
QString rowCheckFailure(const StringGrid& grid, int row, QChar separator, const TextTable& texts)
{
    StringGrid one(QStringList(grid.colCount(), QString()));
    for (int col = 0; col < grid.colCount(); ++col)
        one.setCell(col, 1, grid.cell(col, row));
    const Result checked = validateVariables(one, separator, texts);
    return checked ? QString() : checkText(checked, texts);
}

// The data attributes and data sets of each device by reference, made when first asked.
class ModelIndex {
public:
    explicit ModelIndex(const AccessList& list)
        : access(list)
        , devices(list.devices.size())
    {
    }

    // The device named `ied`: the one at `index` when it has that name, else the first.
    int deviceOf(const QString& ied, const QString& index) const
    {
        const qint32 i = toWholeNumber(index);
        if (i >= 0 && i < static_cast<qint32>(access.devices.size()) && access.devices[static_cast<size_t>(i)]->name == ied)
            return i;
        for (size_t d = 0; d < access.devices.size(); ++d)
            if (access.devices[d]->name == ied)
                return static_cast<int>(d);
        return -1;
    }
    DataAttribute* attribute(int device, const QString& reference) { return of(device).attributes.value(reference); }
    DataSet* dataSet(int device, const QString& reference) { return of(device).dataSets.value(reference); }

private:
    struct Lookup {
        bool made = false;
        QHash<QString, DataAttribute*> attributes;
        QHash<QString, DataSet*> dataSets;
    };
    void addLeaves(Lookup& lookup, DataAttribute& da)
    {
        if (da.isLeaf())
            lookup.attributes.insert(da.reference, &da);
        for (const auto& c : da.attributes)
            addLeaves(lookup, *c);
    }
    void addObject(Lookup& lookup, DataObject& dobj)
    {
        for (const auto& sub : dobj.dataObjects)
            addObject(lookup, *sub);
        for (const auto& da : dobj.attributes)
            addLeaves(lookup, *da);
    }
    Lookup& of(int device)
    {
        Lookup& lookup = devices[static_cast<size_t>(device)];
        if (!lookup.made) {
            lookup.made = true;
            for (const auto& ld : access.devices[static_cast<size_t>(device)]->logicalDevices)
                for (const auto& ln : ld->logicalNodes) {
                    for (const auto& dobj : ln->dataObjects)
                        addObject(lookup, *dobj);
                    // The first of equal references wins, as findDataSet() finds it.
                    for (const auto& ds : ln->dataSets)
                        if (!lookup.dataSets.contains(ds->reference))
                            lookup.dataSets.insert(ds->reference, ds.get());
                }
        }
        return lookup;
    }

    const AccessList& access;
    std::vector<Lookup> devices;
};

class Importer {
public:
    Importer(const AccessList& list, QChar decimalSeparator, const TextTable& textTable, PointListImport& into)
        : access(list)
        , model(list)
        , separator(decimalSeparator)
        , texts(textTable)
        , import(into)
    {
    }

    Result run(const CsvTable& table)
    {
        import = PointListImport{};
        if (table.records.empty() || !readHeader(table.records.front().fields))
            return Result::textError(Text::ImportNoColumns);
        for (size_t i = 1; i < table.records.size(); ++i) {
            ++import.lines;
            const CsvRecord& record = table.records[i];
            fields = &record.fields;
            const QString problem = value(DataSetColumnAt).isEmpty() ? readVariable() : readMember();
            if (!problem.isEmpty())
                import.unusable << texts[Text::ImportLine].arg(record.line).arg(problem);
        }
        return Result::success();
    }

private:
    bool readHeader(const QStringList& header)
    {
        const QStringList names = pointListHeadings();
        columns.assign(ColumnCount, -1);
        for (qsizetype i = 0; i < header.size(); ++i)
            for (size_t col = 0; col < columns.size(); ++col)
                if (columns[col] < 0 && header[i].trimmed().compare(names[static_cast<qsizetype>(col)], Qt::CaseInsensitive) == 0)
                    columns[col] = static_cast<int>(i);
        return columns[IedColumn] >= 0 && columns[VariableColumn::Reference - 1] >= 0;
    }

    bool has(int col) const { return columns[static_cast<size_t>(col)] >= 0; }
    QString value(int col) const
    {
        const int at = columns[static_cast<size_t>(col)];
        return at >= 0 && at < fields->size() ? (*fields)[at] : QString();
    }
    QString variableValue(int gridColumn) const { return value(gridColumn - 1); }

    // The device index of the line, or -1 with `problem` set.
    int device(QString& problem) const
    {
        const QString ied = value(IedColumn);
        const int index = model.deviceOf(ied, variableValue(VariableColumn::Index));
        if (index < 0)
            problem = texts[Text::ImportUnknownIed].arg(ied);
        return index;
    }

    QString readVariable()
    {
        QString problem;
        const int index = device(problem);
        if (index < 0)
            return problem;
        const QString reference = variableValue(VariableColumn::Reference);
        const DataAttribute* da = model.attribute(index, reference);
        if (!da)
            return texts[Text::ImportUnknownReference].arg(reference, value(IedColumn));

        StringGrid& grid = import.variableGrid;
        const int row = addVariable(grid, *da, index);
        // What the engineer enters comes from the file, where it has the column; the fixed-size
        // rule has the last word.
        for (int col = VariableColumn::StartByte; col < VariableColumn::Count; ++col)
            if (!grid.isLocked(col, row) && has(col - 1))
                grid.setCell(col, row, variableValue(col));
        if (const QString failure = rowCheckFailure(grid, row, separator, texts); !failure.isEmpty()) {
            dropLastRow(grid, row);
            return failure;
        }
        return {};
    }

    static void dropLastRow(StringGrid& grid, int row)
    {
        if (row == 1)
            grid.clear();
        else
            grid.setRowCount(row);
    }

    QString readMember()
    {
        QString problem;
        const int index = device(problem);
        if (index < 0)
            return problem;
        const QString dsReference = value(DataSetColumnAt);
        DataSet* ds = model.dataSet(index, dsReference);
        if (!ds)
            return texts[Text::ImportUnknownDataSet].arg(dsReference, value(IedColumn));
        const QString reference = variableValue(VariableColumn::Reference);
        if (reference.isEmpty()) {
            // A data set without member entries.
            startDataSet(*ds, index);
            current = nullptr;
            return {};
        }
        const auto memberAt = [&](size_t from) {
            for (size_t k = from; k < ds->attributes.size(); ++k)
                if (ds->attributes[k]->reference == reference)
                    return static_cast<int>(k);
            return -1;
        };
        // The line continues the data set of the line before, unless it names a member that
        // does not come after that line's: then the data set is listed once more.
        int k = current == ds && currentDevice == index ? memberAt(nextMember) : -1;
        const bool started = k < 0;
        if (started) {
            k = memberAt(0);
            if (k < 0)
                return texts[Text::ImportNotMember].arg(reference, dsReference);
            startDataSet(*ds, index);
        }
        auto member = std::make_unique<DataSetMember>();
        member->attribute = ds->attributes[static_cast<size_t>(k)];
        member->position = variableValue(VariableColumn::Position);
        member->bitAddress = variableValue(VariableColumn::StartBit);
        member->conversion = variableValue(VariableColumn::Conversion);
        member->multFactor = variableValue(VariableColumn::MultFactor);
        member->mnemonic = variableValue(VariableColumn::Mnemonic);
        import.dataSets.back()->members.push_back(std::move(member));
        // The data set row with the members so far, as OK checks it.
        const int row = static_cast<int>(import.dataSets.size());
        if (const Result checked = validateDataSet(import.dataSetGrid, import.dataSets, row, separator, texts); !checked) {
            import.dataSets.back()->members.pop_back();
            if (started) {
                import.dataSets.pop_back();
                dropLastRow(import.dataSetGrid, row);
                current = nullptr;
            }
            return checkText(checked, texts);
        }
        nextMember = static_cast<size_t>(k) + 1;
        return {};
    }

    // A data set row from the line's data set columns, with an entry of no members yet.
    void startDataSet(DataSet& ds, int index)
    {
        StringGrid& grid = import.dataSetGrid;
        const int row = grid.isEmpty() ? 1 : grid.rowCount();
        grid.setRowCount(row + 1);
        grid.setCell(DataSetColumn::Number, row, QString::number(row));
        grid.setCell(DataSetColumn::Index, row, QString::number(index));
        grid.setCell(DataSetColumn::Reference, row, ds.reference);
        // Without these columns, as Add Var fills them.
        const QString goose = has(GooseNameColumn) ? value(GooseNameColumn) : ds.gooseName;
        grid.setCell(DataSetColumn::GooseName, row, goose);
        grid.setCell(DataSetColumn::EnGoose, row,
            has(EnGooseColumn)    ? value(EnGooseColumn)
                : goose.isEmpty() ? QStringLiteral("N")
                                  : QStringLiteral("Y"));
        grid.setCell(DataSetColumn::IpAddress, row, variableValue(VariableColumn::IpAddress));
        grid.setCell(DataSetColumn::Port, row, variableValue(VariableColumn::Port));
        grid.setCell(DataSetColumn::Time, row, variableValue(VariableColumn::Time));
        grid.setCell(DataSetColumn::Mnemonic, row, value(DataSetMnemonicColumn));
        auto entry = std::make_unique<DataSetEntry>();
        entry->dataSet = &ds;
        import.dataSets.push_back(std::move(entry));
        current = &ds;
        currentDevice = index;
        nextMember = 0;
    }

    const AccessList& access;
    ModelIndex model;
    QChar separator;
    const TextTable& texts;
    PointListImport& import;
    std::vector<int> columns; // file column of each point-list column, -1 when absent
    const QStringList* fields = nullptr;
    const DataSet* current = nullptr; // data set of the line before
    int currentDevice = -1;
    size_t nextMember = 0;
};

} // namespace

QStringList pointListHeadings()
{
    return {"Index", "bType", "fc", "Reference", "Start Byte", "Num Byte", "IP Address", "Port", "On Change", "On CMD",
        "On Timer", "Time (ms)", "Position", "Start Bit", "R/W", "Convertion", "Molt Fact", "Mnemonic", "IED", "DataSet",
        "Goose Name", "En. Goose", "DataSet Mnemonic", "Byte Extent"};
}

QByteArray exportPointList(const AccessList& access, QChar decimalSeparator)
{
    std::vector<QStringList> records{pointListHeadings()};
    const StringGrid& vars = access.variableGrid;
    for (int row = 1; !vars.isEmpty() && row < vars.rowCount(); ++row) {
        QStringList line;
        for (int col = 0; col < IedColumn; ++col)
            line << vars.cell(variableCell(col), row);
        const ArrayEntry entry{{ArrayUser::Variable, row, 0}, vars.cell(VariableColumn::BType, row),
            vars.cell(VariableColumn::Position, row), vars.cell(VariableColumn::StartBit, row),
            vars.cell(VariableColumn::NumByte, row)};
        line << deviceName(access, vars.cell(VariableColumn::Index, row)) << QString() << QString() << QString() << QString()
             << extentOf(entry);
        records.push_back(line);
    }

    const StringGrid& sets = access.dataSetGrid;
    for (int row = 1; row <= static_cast<int>(access.dataSets.size()) && row < sets.rowCount(); ++row) {
        const auto& members = access.dataSets[static_cast<size_t>(row - 1)]->members;
        const auto lineOf = [&](const DataSetMember* m, int number) {
            QStringList line(ColumnCount, QString());
            const auto set = [&](int gridColumn, const QString& text) { line[gridColumn - 1] = text; };
            set(VariableColumn::Index, sets.cell(DataSetColumn::Index, row));
            set(VariableColumn::IpAddress, sets.cell(DataSetColumn::IpAddress, row));
            set(VariableColumn::Port, sets.cell(DataSetColumn::Port, row));
            set(VariableColumn::Time, sets.cell(DataSetColumn::Time, row));
            line[IedColumn] = deviceName(access, sets.cell(DataSetColumn::Index, row));
            line[DataSetColumnAt] = sets.cell(DataSetColumn::Reference, row);
            line[GooseNameColumn] = sets.cell(DataSetColumn::GooseName, row);
            line[EnGooseColumn] = sets.cell(DataSetColumn::EnGoose, row);
            line[DataSetMnemonicColumn] = sets.cell(DataSetColumn::Mnemonic, row);
            if (m) {
                set(VariableColumn::BType, m->bType());
                set(VariableColumn::Fc, m->attribute ? m->attribute->fc : QString());
                set(VariableColumn::Reference, m->reference());
                set(VariableColumn::Position, m->position);
                set(VariableColumn::StartBit, m->bitAddress);
                set(VariableColumn::Conversion, m->conversion);
                set(VariableColumn::MultFactor, m->multFactor);
                set(VariableColumn::Mnemonic, m->mnemonic);
                line[ByteExtentColumn] = extentOf({{ArrayUser::Member, row, number}, m->bType(), m->position, m->bitAddress, {}});
            }
            return line;
        };
        if (members.empty())
            records.push_back(lineOf(nullptr, 0));
        int number = 0;
        for (const auto& m : members)
            records.push_back(lineOf(m.get(), ++number));
    }
    return writeCsv(records, csvSeparatorFor(decimalSeparator));
}

Result readPointList(
    const QByteArray& bytes, const AccessList& access, QChar decimalSeparator, const TextTable& texts, PointListImport& import)
{
    CsvTable table;
    if (Result read = readCsv(bytes, table); !read)
        return read;
    return Importer(access, decimalSeparator, texts, import).run(table);
}

void applyPointList(AccessList& access, PointListImport& import)
{
    // The grids keep their own headings: only the rows come from the import.
    const auto takeRows = [](StringGrid& into, const StringGrid& from) {
        into.setRowCount(from.rowCount());
        for (int row = 1; row < from.rowCount(); ++row)
            for (int col = 0; col < from.colCount(); ++col) {
                into.setCell(col, row, from.cell(col, row));
                into.setReadOnly(col, row, from.isLocked(col, row));
            }
    };
    access.variableGrid.clear();
    takeRows(access.variableGrid, import.variableGrid);
    access.dataSetGrid.clear();
    takeRows(access.dataSetGrid, import.dataSetGrid);
    access.dataSets = std::move(import.dataSets);
    access.memberGrid.clear();
}
