#include "access/core/PointList.h"
#include "base/Csv.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
#include "access/core/AccessOperations.h"
#include "access/core/AccessValidation.h"
#include "access/core/DataArray.h"
#include <QHash>
#include <algorithm>
#include <unordered_map>

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

// The columns of numbers; all others hold text.
bool isNumberColumn(int col)
{
    switch (col < IedColumn ? variableCell(col) : -1) {
    case VariableColumn::Index:
    case VariableColumn::StartByte:
    case VariableColumn::NumByte:
    case VariableColumn::Port:
    case VariableColumn::Time:
    case VariableColumn::Position:
    case VariableColumn::StartBit:
    case VariableColumn::MultFactor:
        return true;
    default:
        return col == ByteExtentColumn;
    }
}

// Text that a spreadsheet would run as a formula: it begins, after any apostrophes, with "=",
// "+", "-", "@", tab or CR. Such text goes out behind one more apostrophe, which a spreadsheet
// shows as the mark of text, and comes back without it. Counting the apostrophes in makes the
// mark undo exactly: text that begins with an apostrophe of its own keeps it.
bool startsLikeFormula(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    if (i == text.size())
        return false;
    const QChar c = text[i];
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

QString markedText(const QString& text) { return startsLikeFormula(text) ? u'\'' + text : text; }

QString unmarkedText(const QString& text)
{
    return text.startsWith(u'\'') && startsLikeFormula(QStringView(text).mid(1)) ? text.mid(1) : text;
}

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
    QString text = checked.args.value(0);
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
    // The places of the member of that reference in the data set, in order.
    const std::vector<int>& memberPlaces(const DataSet& dataSet, const QString& reference)
    {
        auto it = members.find(&dataSet);
        if (it == members.end()) {
            it = members.emplace(&dataSet, QHash<QString, std::vector<int>>()).first;
            for (size_t k = 0; k < dataSet.attributes.size(); ++k)
                it->second[dataSet.attributes[k]->reference].push_back(static_cast<int>(k));
        }
        static const std::vector<int> none;
        const auto places = it->second.constFind(reference);
        return places == it->second.constEnd() ? none : *places;
    }

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
    std::unordered_map<const DataSet*, QHash<QString, std::vector<int>>> members;
};

// The consecutive lines of one data set of one device: one data set entry when its members are
// exactly the data set's, in the data set's order, and every line passes its checks; else
// every line is refused. A line naming a member the group holds already starts the next entry.
struct MemberLine {
    int line = 0;
    int member = -1; // place in the data set; -1 for a line of no usable member
    QString problem; // the line's own
    QString position, bitAddress, conversion, multFactor, mnemonic;
};
struct MemberGroup {
    bool open = false;
    int device = -1;
    DataSet* dataSet = nullptr;
    QString goose, enGoose, ipAddress, port, time, mnemonic; // the data set row, from its first line
    std::vector<MemberLine> lines;
    std::vector<bool> held; // by place in the data set
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
        import = PointListImport{};
        for (size_t i = 0; i < list.devices.size(); ++i)
            indexTexts << QString::number(i);
        lastValues.resize(ColumnCount);
    }

    Result record(const CsvRecord& record)
    {
        if (columns.empty())
            return readHeader(record);
        ++import.lines;
        fields = &record.fields;
        line = record.line;
        if (Result bad = checkNumberCells(); !bad)
            return bad;
        if (value(DataSetColumnAt).isEmpty()) {
            closeGroup();
            refuseIfSet(readVariable());
        } else
            readMemberLine();
        return Result::success();
    }

    Result finish()
    {
        if (columns.empty())
            return Result::failed(Text::ImportNoColumns);
        closeGroup();
        return Result::success();
    }

private:
    Result readHeader(const CsvRecord& record)
    {
        const QStringList names = pointListHeadings();
        const QStringList& header = record.fields;
        columns.assign(ColumnCount, -1);
        for (qsizetype i = 0; i < header.size(); ++i)
            for (size_t col = 0; col < columns.size(); ++col)
                if (header[i].trimmed().compare(names[static_cast<qsizetype>(col)], Qt::CaseInsensitive) == 0) {
                    // Two columns of one name: which one is meant cannot be known.
                    if (columns[col] >= 0)
                        return Result::failed(Text::ImportDuplicateColumn,
                            {QString::number(record.line), QString::number(i + 1), names[static_cast<qsizetype>(col)]});
                    columns[col] = static_cast<int>(i);
                }
        if (columns[IedColumn] < 0 || columns[VariableColumn::Reference - 1] < 0)
            return Result::failed(Text::ImportNoColumns);
        return Result::success();
    }

    // Tab and line breaks, which text may hold, have no place in a number.
    Result checkNumberCells() const
    {
        for (int col = 0; col < ColumnCount; ++col) {
            const int at = columns[static_cast<size_t>(col)];
            if (!isNumberColumn(col) || at < 0 || at >= fields->size())
                continue;
            for (QChar c : (*fields)[at])
                if (c.unicode() < 0x20)
                    return Result::failed(
                        Text::ErrorCsvCharacter, {QString::number(line), QString::number(at + 1), characterName(c.unicode())});
        }
        return Result::success();
    }

    bool has(int col) const { return columns[static_cast<size_t>(col)] >= 0; }
    // The cell of the line's column `col`: text without its mark, and the same value as the
    // line before shared with it rather than held twice.
    QString value(int col)
    {
        const int at = columns[static_cast<size_t>(col)];
        if (at < 0 || at >= fields->size())
            return {};
        const QString& cell = (*fields)[at];
        LastValue& last = lastValues[static_cast<size_t>(col)];
        if (cell != last.cell) {
            last.cell = cell;
            last.value = isNumberColumn(col) ? cell : unmarkedText(cell);
        }
        return last.value;
    }
    QString variableValue(int gridColumn) { return value(gridColumn - 1); }

    void refuseIfSet(const QString& problem, int lineNumber = 0)
    {
        if (!problem.isEmpty())
            import.unusable << fillPlaceholders(
                texts[Text::ImportLine], {QString::number(lineNumber ? lineNumber : line), problem});
    }

    // A line whose bType is not its attribute's was made against another SCL file: what it says
    // would not be what is built.
    QString otherType(const DataAttribute& da)
    {
        const QString bType = variableValue(VariableColumn::BType);
        if (bType.isEmpty() || bType == da.bType)
            return {};
        return fillPlaceholders(texts[Text::ImportOtherType], {da.reference, da.bType, bType});
    }

    // The device index of the line, or -1 with `problem` set.
    int device(QString& problem)
    {
        const QString ied = value(IedColumn);
        const int index = model.deviceOf(ied, variableValue(VariableColumn::Index));
        if (index < 0)
            problem = fillPlaceholders(texts[Text::ImportUnknownIed], {ied});
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
            return fillPlaceholders(texts[Text::ImportUnknownReference], {reference, value(IedColumn)});
        if (const QString other = otherType(*da); !other.isEmpty())
            return other;

        StringGrid& grid = import.variableGrid;
        const int row = addVariable(grid, *da, index);
        grid.setCell(VariableColumn::Index, row, indexTexts[index]);
        // What the engineer enters comes from the file, where it has the column; the fixed-size
        // rule has the last word.
        for (int col = VariableColumn::StartByte; col < VariableColumn::Count; ++col)
            if (!grid.isLocked(col, row) && has(col - 1))
                grid.setCell(col, row, variableValue(col));
        if (const QString failure = rowCheckFailure(grid, row); !failure.isEmpty()) {
            dropLastRow(grid, row);
            return failure;
        }
        return {};
    }

    // The row checks of the access window for one imported variable row: the text of the
    // first failing check, or nothing.
    QString rowCheckFailure(const StringGrid& grid, int row)
    {
        for (int col = 0; col < grid.colCount(); ++col)
            oneVariable.setCell(col, 1, grid.cell(col, row));
        const Result checked = validateVariables(oneVariable, separator, texts);
        return checked ? QString() : checkText(checked, texts);
    }

    static void dropLastRow(StringGrid& grid, int row)
    {
        if (row == 1)
            grid.clear();
        else
            grid.setRowCount(row);
    }

    void readMemberLine()
    {
        QString problem;
        const int index = device(problem);
        if (index < 0) {
            closeGroup();
            return refuseIfSet(problem);
        }
        const QString dsReference = value(DataSetColumnAt);
        DataSet* ds = model.dataSet(index, dsReference);
        if (!ds) {
            closeGroup();
            return refuseIfSet(fillPlaceholders(texts[Text::ImportUnknownDataSet], {dsReference, value(IedColumn)}));
        }
        const QString reference = variableValue(VariableColumn::Reference);
        if (reference.isEmpty()) {
            // A data set listed without members: an entry of its own.
            closeGroup();
            startGroup(*ds, index);
            group.lines.push_back({line, -1, {}, {}, {}, {}, {}, {}});
            closeGroup();
            return;
        }
        int place = -1;
        const std::vector<int>& places = model.memberPlaces(*ds, reference);
        const bool sameGroup = group.open && group.dataSet == ds && group.device == index;
        for (int k : places)
            if (!sameGroup || !group.held[static_cast<size_t>(k)]) {
                place = k;
                break;
            }
        if (!sameGroup || (!places.empty() && place < 0)) {
            closeGroup();
            startGroup(*ds, index);
            if (!places.empty())
                place = places.front();
        }
        MemberLine member{line, place, {}, {}, {}, {}, {}, {}};
        if (place < 0)
            member.problem = fillPlaceholders(texts[Text::ImportNotAMember], {reference, dsReference});
        else if (const QString other = otherType(*ds->attributes[static_cast<size_t>(place)]); !other.isEmpty())
            member.problem = other;
        else {
            group.held[static_cast<size_t>(place)] = true;
            member.position = variableValue(VariableColumn::Position);
            member.bitAddress = variableValue(VariableColumn::StartBit);
            member.conversion = variableValue(VariableColumn::Conversion);
            member.multFactor = variableValue(VariableColumn::MultFactor);
            member.mnemonic = variableValue(VariableColumn::Mnemonic);
        }
        group.lines.push_back(std::move(member));
    }

    // A data set entry begins with the data set columns of its first line.
    void startGroup(DataSet& ds, int index)
    {
        group = MemberGroup{};
        group.open = true;
        group.device = index;
        group.dataSet = &ds;
        // Without these columns, as Add Var fills them.
        group.goose = has(GooseNameColumn) ? value(GooseNameColumn) : ds.gooseName;
        group.enGoose = has(EnGooseColumn) ? value(EnGooseColumn)
            : group.goose.isEmpty()        ? QStringLiteral("N")
                                           : QStringLiteral("Y");
        group.ipAddress = variableValue(VariableColumn::IpAddress);
        group.port = variableValue(VariableColumn::Port);
        group.time = variableValue(VariableColumn::Time);
        group.mnemonic = value(DataSetMnemonicColumn);
        group.held.assign(ds.attributes.size(), false);
    }

    void fillDataSetRow(StringGrid& grid, int row) const
    {
        grid.setCell(DataSetColumn::Number, row, QString::number(row));
        grid.setCell(DataSetColumn::Index, row, indexTexts[group.device]);
        grid.setCell(DataSetColumn::Reference, row, group.dataSet->reference);
        grid.setCell(DataSetColumn::GooseName, row, group.goose);
        grid.setCell(DataSetColumn::EnGoose, row, group.enGoose);
        grid.setCell(DataSetColumn::IpAddress, row, group.ipAddress);
        grid.setCell(DataSetColumn::Port, row, group.port);
        grid.setCell(DataSetColumn::Time, row, group.time);
        grid.setCell(DataSetColumn::Mnemonic, row, group.mnemonic);
    }

    std::unique_ptr<DataSetMember> memberOf(const MemberLine& m) const
    {
        auto member = std::make_unique<DataSetMember>();
        member->attribute = group.dataSet->attributes[static_cast<size_t>(m.member)];
        member->position = m.position;
        member->bitAddress = m.bitAddress;
        member->conversion = m.conversion;
        member->multFactor = m.multFactor;
        member->mnemonic = m.mnemonic;
        return member;
    }

    // The checks of the data set row with `members` alone, as OK checks a data set.
    QString dataSetCheckFailure(std::vector<std::unique_ptr<DataSetMember>> members)
    {
        fillDataSetRow(oneDataSet, 1);
        oneEntry.front()->members = std::move(members);
        const Result checked = validateDataSet(oneDataSet, oneEntry, 1, separator, texts);
        oneEntry.front()->members.clear();
        return checked ? QString() : checkText(checked, texts);
    }

    // The entry of the group, or every line of it refused: each line's own checks first, then
    // whether the lines give the data set's members exactly, in order.
    void closeGroup()
    {
        if (!group.open)
            return;
        group.open = false;
        const std::vector<DataAttribute*>& members = group.dataSet->attributes;
        std::vector<const MemberLine*> usable;
        for (MemberLine& m : group.lines) {
            if (m.member < 0 || !m.problem.isEmpty())
                continue;
            std::vector<std::unique_ptr<DataSetMember>> one;
            one.push_back(memberOf(m));
            m.problem = dataSetCheckFailure(std::move(one));
            if (m.problem.isEmpty())
                usable.push_back(&m);
        }
        QString problem;
        for (size_t i = 0; i < members.size() && problem.isEmpty(); ++i) {
            if (i < usable.size() && usable[i]->member == static_cast<int>(i))
                continue;
            const auto later = std::find_if(usable.begin() + static_cast<std::ptrdiff_t>(std::min(i, usable.size())),
                usable.end(), [i](const MemberLine* m) { return m->member == static_cast<int>(i); });
            problem = later != usable.end()
                ? fillPlaceholders(texts[Text::ImportMemberMisplaced],
                    {group.dataSet->reference, QString::number(i + 1), members[i]->reference,
                        members[static_cast<size_t>(usable[i]->member)]->reference})
                : fillPlaceholders(texts[Text::ImportMemberMissing], {group.dataSet->reference, members[i]->reference});
        }
        if (problem.isEmpty()) {
            // The whole entry: a data set of no members at all fails here.
            std::vector<std::unique_ptr<DataSetMember>> entryMembers;
            for (const MemberLine* m : usable)
                entryMembers.push_back(memberOf(*m));
            problem = dataSetCheckFailure(std::move(entryMembers));
        }
        if (problem.isEmpty()) {
            StringGrid& grid = import.dataSetGrid;
            const int row = grid.isEmpty() ? 1 : grid.rowCount();
            grid.setRowCount(row + 1);
            fillDataSetRow(grid, row);
            auto entry = std::make_unique<DataSetEntry>();
            entry->dataSet = group.dataSet;
            for (const MemberLine* m : usable)
                entry->members.push_back(memberOf(*m));
            import.dataSets.push_back(std::move(entry));
        }
        for (const MemberLine& m : group.lines)
            refuseIfSet(m.problem.isEmpty() ? problem : m.problem, m.line);
        group = MemberGroup{};
    }

    const AccessList& access;
    ModelIndex model;
    QChar separator;
    const TextTable& texts;
    PointListImport& import;
    QStringList indexTexts; // device index as text, one string for every row
    struct LastValue {
        QString cell, value;
    };
    std::vector<LastValue> lastValues; // by column, of the line before
    std::vector<int> columns; // file column of each point-list column, -1 when absent; empty before the header
    const QStringList* fields = nullptr;
    int line = 0;
    MemberGroup group;
    StringGrid oneVariable{QStringList(VariableColumn::Count, QString())};
    StringGrid oneDataSet{QStringList(DataSetColumn::Count, QString())};
    std::vector<std::unique_ptr<DataSetEntry>> oneEntry = [] {
        std::vector<std::unique_ptr<DataSetEntry>> one;
        one.push_back(std::make_unique<DataSetEntry>());
        return one;
    }();
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
    CsvWriter writer(csvSeparatorFor(decimalSeparator));
    writer.addRecord(pointListHeadings());
    const auto add = [&writer](QStringList& line) {
        for (int col = 0; col < ColumnCount; ++col)
            if (!isNumberColumn(col))
                line[col] = markedText(line[col]);
        writer.addRecord(line);
    };
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
        add(line);
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
        if (members.empty()) {
            QStringList line = lineOf(nullptr, 0);
            add(line);
        }
        int number = 0;
        for (const auto& m : members) {
            QStringList line = lineOf(m.get(), ++number);
            add(line);
        }
    }
    return writer.take();
}

Result writePointList(const QString& path, const QByteArray& csv, const ReadLimit& limit)
{
    if (Result fits = checkWriteSize(path, csv.size(), limit); !fits)
        return fits;
    return writeChosenFile(path, csv);
}

Result readPointList(
    const QByteArray& bytes, const AccessList& access, QChar decimalSeparator, const TextTable& texts, PointListImport& import)
{
    Importer importer(access, decimalSeparator, texts, import);
    QChar separator;
    if (Result read = readCsv(bytes, separator, [&importer](const CsvRecord& record) { return importer.record(record); }); !read)
        return read;
    return importer.finish();
}

void applyPointList(AccessList& access, PointListImport& import)
{
    // The grids keep their own headings: only the rows come from the import.
    access.variableGrid.takeRows(import.variableGrid);
    access.dataSetGrid.takeRows(import.dataSetGrid);
    access.dataSets = std::move(import.dataSets);
    access.memberGrid.clear();
}
