#include "access/core/AccessEdits.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "access/core/AccessOperations.h"
#include <algorithm>
#include <utility>

namespace {

QStringList rowCells(const StringGrid& grid, int row)
{
    QStringList cells;
    for (int col = 1; col < grid.colCount(); ++col)
        cells << grid.cell(col, row);
    return cells;
}

// Ascending, without repeats, only data rows of a grid whose first `count` rows hold entries.
std::vector<int> dataRows(std::vector<int> rows, int count)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [count](int row) { return row < 1 || row > count; });
    return rows;
}

// Inserts a row holding `cells` at `row`, or at the end when the grid is shorter; an empty
// grid's blank row is taken instead. Returns the row filled.
int insertRow(StringGrid& grid, int row, const QStringList& cells)
{
    int target = 1;
    if (!grid.isEmpty()) {
        const int last = grid.rowCount();
        target = std::min(row, last);
        grid.setRowCount(last + 1);
        for (int r = last; r > target; --r)
            for (int col = 1; col < grid.colCount(); ++col)
                grid.setCell(col, r, grid.cell(col, r - 1));
    }
    for (int col = 1; col < grid.colCount(); ++col)
        grid.setCell(col, target, cells[col - 1]);
    for (int r = target; r < grid.rowCount(); ++r)
        grid.setCell(0, r, QString::number(r));
    return target;
}

} // namespace

Removal removeVariableRows(StringGrid& variableGrid, std::vector<int> rows)
{
    Removal removal;
    removal.rows = dataRows(std::move(rows), variableGrid.isEmpty() ? 0 : variableGrid.rowCount() - 1);
    for (int row : removal.rows)
        removal.cells.push_back(rowCells(variableGrid, row));
    // From the bottom up, so that the rows still to remove keep their numbers.
    for (auto row = removal.rows.rbegin(); row != removal.rows.rend(); ++row)
        removeVariable(variableGrid, *row);
    return removal;
}

Removal removeDataSetRows(AccessList& access, std::vector<int> rows)
{
    Removal removal;
    removal.dataSets = true;
    removal.rows = dataRows(std::move(rows), static_cast<int>(access.dataSets.size()));
    for (int row : removal.rows) {
        removal.cells.push_back(rowCells(access.dataSetGrid, row));
        // The entry moves into the record; removeDataSet() then destroys an empty stand-in.
        removal.entries.push_back(std::exchange(access.dataSets[static_cast<size_t>(row - 1)], std::make_unique<DataSetEntry>()));
    }
    for (auto row = removal.rows.rbegin(); row != removal.rows.rend(); ++row)
        removeDataSet(access, *row);
    return removal;
}

void undoRemoval(AccessList& access, Removal& removal)
{
    StringGrid& grid = removal.dataSets ? access.dataSetGrid : access.variableGrid;
    for (size_t i = 0; i < removal.rows.size(); ++i) {
        const int row = insertRow(grid, removal.rows[i], removal.cells[i]);
        if (removal.dataSets)
            access.dataSets.insert(access.dataSets.begin() + (row - 1), std::move(removal.entries[i]));
    }
    if (!removal.dataSets)
        setStartNumByte(access.variableGrid);
    removal = Removal{};
}

void RemovalHistory::push(Removal removal)
{
    if (removal.rows.empty())
        return;
    removals.push_back(std::move(removal));
    if (removals.size() > depth)
        removals.pop_front();
}

Removal RemovalHistory::takeLast()
{
    Removal last = std::move(removals.back());
    removals.pop_back();
    return last;
}

QByteArray accessSnapshot(const AccessList& access)
{
    // Unit separators cannot be typed into a cell, so no two different lists give one text.
    QString text;
    const auto add = [&text](const QString& cell) {
        text += cell;
        text += u'\x1F';
    };
    for (const auto& device : access.devices) {
        add(device->name);
        add(device->fileName);
    }
    for (const StringGrid* grid : {&access.variableGrid, &access.dataSetGrid}) {
        text += u'\x1E';
        for (int row = 1; row < grid->rowCount(); ++row)
            for (int col = 1; col < grid->colCount(); ++col)
                add(grid->cell(col, row));
    }
    for (const auto& entry : access.dataSets) {
        text += u'\x1E';
        for (const auto& m : entry->members)
            for (const QString* field : {&m->position, &m->bitAddress, &m->conversion, &m->multFactor, &m->mnemonic})
                add(*field);
    }
    return text.toUtf8();
}

namespace {

// The whole number at the start of `text`, taken off it.
int takeNumber(QString& text)
{
    qsizetype digits = 0;
    while (digits < text.size() && text[digits].isDigit())
        ++digits;
    const int number = text.left(digits).toInt();
    text.remove(0, digits);
    return number;
}

struct CheckColumn {
    int text, col;
};

// The column of the check whose text starts `check`, else `fallback`.
template <size_t N> int columnOf(const CheckColumn (&columns)[N], const QString& check, const TextTable& texts, int fallback)
{
    for (const CheckColumn& c : columns)
        if (check.startsWith(texts[c.text]))
            return c.col;
    return fallback;
}

// A data set row's message: the row, then ", member " and the member for a member's check.
GridCell cellOfDataSetError(QString arg, const TextTable& texts)
{
    GridCell cell;
    cell.row = takeNumber(arg);
    if (arg.startsWith(texts[Text::ErrorMember])) {
        arg.remove(0, texts[Text::ErrorMember].size());
        cell.grid = GridCell::Members;
        cell.member = takeNumber(arg);
        static constexpr CheckColumn columns[]
            = {{Text::ErrorRowPosition, MemberColumn::Position}, {Text::ErrorRowStartBit, MemberColumn::StartBit},
                {Text::ErrorRowConversion, MemberColumn::Conversion}, {Text::ErrorRowMultFactor, MemberColumn::MultFactor}};
        cell.col = columnOf(columns, arg, texts, MemberColumn::Position);
        return cell;
    }
    cell.grid = GridCell::DataSets;
    static constexpr CheckColumn columns[] = {{Text::ErrorRowIpAddress, DataSetColumn::IpAddress},
        {Text::ErrorRowPort, DataSetColumn::Port}, {Text::ErrorRowTime, DataSetColumn::Time}};
    cell.col = columnOf(columns, arg, texts, DataSetColumn::Reference);
    return cell;
}

} // namespace

GridCell cellOfRowError(const Result& failed, const TextTable& texts)
{
    if (failed.ok)
        return {};
    if (failed.textNumber == Text::ErrorDataSetRow)
        return cellOfDataSetError(failed.args.value(0), texts);
    if (failed.textNumber != Text::ErrorRow)
        return {};
    // The argument is the row number followed by the failed check's text.
    QString check = failed.args.value(0);
    const int row = takeNumber(check);
    static constexpr CheckColumn columns[] = {
        {Text::ErrorRowString255Start, VariableColumn::StartByte},
        {Text::ErrorRowOctet64Start, VariableColumn::StartByte},
        {Text::ErrorRowString255Count, VariableColumn::NumByte},
        {Text::ErrorRowOctet64Count, VariableColumn::NumByte},
        {Text::ErrorRowString255End, VariableColumn::NumByte},
        {Text::ErrorRowOctet64End, VariableColumn::NumByte},
        {Text::ErrorRowIpAddress, VariableColumn::IpAddress},
        {Text::ErrorRowPort, VariableColumn::Port},
        {Text::ErrorRowTime, VariableColumn::Time},
        {Text::ErrorRowPosition, VariableColumn::Position},
        {Text::ErrorRowMultFactor, VariableColumn::MultFactor},
        {Text::ErrorRowStartBit, VariableColumn::StartBit},
        {Text::ErrorRowReadWrite, VariableColumn::ReadWrite},
        {Text::ErrorRowConversion, VariableColumn::Conversion},
        {Text::ErrorRowOtherStartByte, VariableColumn::StartByte},
        {Text::ErrorRowOtherNumByte, VariableColumn::NumByte},
    };
    return {GridCell::Variables, columnOf(columns, check, texts, VariableColumn::Index), row};
}
