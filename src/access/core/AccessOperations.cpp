#include "access/core/AccessOperations.h"
#include "base/Conversions.h"

namespace {

// The row an add fills: the single row of an empty grid, else a new last row.
int nextRow(StringGrid& grid)
{
    if (grid.isEmpty())
        return 1;
    grid.setRowCount(grid.rowCount() + 1);
    return grid.rowCount() - 1;
}

void blankRow(StringGrid& grid, int row)
{
    for (int col = 1; col < grid.colCount(); ++col)
        grid.setCell(col, row, {});
}

// Moves the rows below `row` up by one, drops the last row and renumbers column 0; the only
// row stays, blanked. Lock flags stay with the row positions.
void removeRow(StringGrid& grid, int row)
{
    const int last = grid.rowCount() - 1;
    if (last == 1) {
        blankRow(grid, 1);
        return;
    }
    for (int r = row; r < last; ++r)
        for (int col = 1; col < grid.colCount(); ++col)
            grid.setCell(col, r, grid.cell(col, r + 1));
    grid.setRowCount(last);
    for (int r = 1; r < last; ++r)
        grid.setCell(0, r, QString::number(r));
}

void setServerAddress(StringGrid& grid, int row, int addressColumn, int portColumn, const QString& address)
{
    if (address.isEmpty())
        return;
    grid.setCell(addressColumn, row, address);
    grid.setCell(portColumn, row, mmsPort);
}

DataSetEntry* entryOfRow(AccessList& access, int row)
{
    if (row < 1 || row > static_cast<int>(access.dataSets.size()))
        return nullptr;
    return access.dataSets[static_cast<size_t>(row - 1)].get();
}

// The fixed sizes as texts that every row shares, rather than one string per row.
QString sizeText(int numByte)
{
    switch (numByte) {
    case 1:
        return QStringLiteral("1");
    case 2:
        return QStringLiteral("2");
    case 4:
        return QStringLiteral("4");
    case 8:
        return QStringLiteral("8");
    default:
        return QString::number(numByte);
    }
}

} // namespace

void setStartNumByte(StringGrid& variableGrid, int row)
{
    const int numByte = fixedNumByte(variableGrid.cell(VariableColumn::BType, row));
    if (numByte > 0) {
        variableGrid.setCell(VariableColumn::StartByte, row, QStringLiteral("0"));
        variableGrid.setCell(VariableColumn::NumByte, row, sizeText(numByte));
    }
    variableGrid.setReadOnly(VariableColumn::StartByte, row, numByte > 0);
    variableGrid.setReadOnly(VariableColumn::NumByte, row, numByte > 0);
}

void setStartNumByte(StringGrid& variableGrid)
{
    for (int row = 1; row < variableGrid.rowCount(); ++row)
        setStartNumByte(variableGrid, row);
}

int addVariable(StringGrid& variableGrid, const DataAttribute& da, int deviceIndex, const QString& serverAddress)
{
    const int row = nextRow(variableGrid);
    blankRow(variableGrid, row);
    variableGrid.setCell(VariableColumn::Number, row, QString::number(row));
    variableGrid.setCell(VariableColumn::Index, row, QString::number(deviceIndex));
    variableGrid.setCell(VariableColumn::BType, row, da.bType);
    variableGrid.setCell(VariableColumn::Fc, row, da.fc);
    variableGrid.setCell(VariableColumn::Reference, row, da.reference);
    for (int col : {VariableColumn::OnChange, VariableColumn::OnCommand, VariableColumn::OnTimer})
        variableGrid.setCell(col, row, QStringLiteral("N"));
    // Explicit choices, so that nothing is built that the engineer did not see.
    variableGrid.setCell(VariableColumn::StartBit, row, QStringLiteral("0"));
    variableGrid.setCell(VariableColumn::ReadWrite, row, QStringLiteral("Read"));
    variableGrid.setCell(VariableColumn::Conversion, row, QStringLiteral("None"));
    setServerAddress(variableGrid, row, VariableColumn::IpAddress, VariableColumn::Port, serverAddress);
    // Only the new row changed: the rule over every row would make adding N rows quadratic.
    setStartNumByte(variableGrid, row);
    return row;
}

int addDataSet(AccessList& access, DataSet& dataSet, int deviceIndex, const QString& serverAddress)
{
    StringGrid& grid = access.dataSetGrid;
    const int row = nextRow(grid);
    blankRow(grid, row);
    grid.setCell(DataSetColumn::Number, row, QString::number(row));
    grid.setCell(DataSetColumn::Index, row, QString::number(deviceIndex));
    grid.setCell(DataSetColumn::Reference, row, dataSet.reference);
    grid.setCell(DataSetColumn::GooseName, row, dataSet.gooseName);
    grid.setCell(DataSetColumn::EnGoose, row, dataSet.gooseName.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y"));
    setServerAddress(grid, row, DataSetColumn::IpAddress, DataSetColumn::Port, serverAddress);

    auto entry = std::make_unique<DataSetEntry>();
    entry->dataSet = &dataSet;
    for (DataAttribute* member : dataSet.attributes) {
        auto memberEntry = std::make_unique<DataSetMember>();
        memberEntry->attribute = member;
        memberEntry->bitAddress = QStringLiteral("0");
        memberEntry->conversion = QStringLiteral("None");
        entry->members.push_back(std::move(memberEntry));
    }
    // An empty grid has no entry yet, so the reused row 1 and the new entry stay paired.
    access.dataSets.push_back(std::move(entry));
    return row;
}

void removeVariable(StringGrid& variableGrid, int row)
{
    if (row >= 1 && row < variableGrid.rowCount())
        removeRow(variableGrid, row);
    setStartNumByte(variableGrid);
}

void removeDataSet(AccessList& access, int row)
{
    // Rows and entries are removed together only, so the k-th row keeps the k-th entry.
    if (entryOfRow(access, row)) {
        access.dataSets.erase(access.dataSets.begin() + (row - 1));
        if (access.dataSets.empty())
            blankRow(access.dataSetGrid, 1);
        else
            removeRow(access.dataSetGrid, row);
    }
    access.memberGrid.clear();
}

void showMembers(AccessList& access, int row)
{
    StringGrid& grid = access.memberGrid;
    grid.clear();
    const DataSetEntry* entry = entryOfRow(access, row);
    if (!entry || entry->members.empty())
        return;
    grid.setRowCount(static_cast<int>(entry->members.size()) + 1);
    int r = 1;
    for (const auto& member : entry->members) {
        grid.setCell(MemberColumn::Number, r, QString::number(r));
        grid.setCell(MemberColumn::BType, r, member->bType());
        grid.setCell(MemberColumn::Reference, r, member->reference());
        grid.setCell(MemberColumn::Position, r, member->position);
        grid.setCell(MemberColumn::StartBit, r, member->bitAddress);
        grid.setCell(MemberColumn::Conversion, r, member->conversion);
        grid.setCell(MemberColumn::MultFactor, r, member->multFactor);
        grid.setCell(MemberColumn::Mnemonic, r, member->mnemonic);
        ++r;
    }
}

bool storeMemberEdit(AccessList& access, int dataSetRow, int memberRow, int col, const QString& text)
{
    DataSetEntry* entry = entryOfRow(access, dataSetRow);
    if (!entry || memberRow < 1 || memberRow > static_cast<int>(entry->members.size()))
        return false;
    DataSetMember& member = *entry->members[static_cast<size_t>(memberRow - 1)];
    QString* field = nullptr;
    switch (col) {
    case MemberColumn::Position:
        field = &member.position;
        break;
    case MemberColumn::StartBit:
        field = &member.bitAddress;
        break;
    case MemberColumn::Conversion:
        field = &member.conversion;
        break;
    case MemberColumn::MultFactor:
        field = &member.multFactor;
        break;
    case MemberColumn::Mnemonic:
        field = &member.mnemonic;
        break;
    default:
        return false;
    }
    *field = text;
    return true;
}

void showReadDefaults(AccessList& access)
{
    auto fill = [](QString& text, const char* shown) {
        if (text.isEmpty())
            text = QLatin1String(shown);
    };
    StringGrid& grid = access.variableGrid;
    for (int row = 1; !grid.isEmpty() && row < grid.rowCount(); ++row)
        for (const auto& [col, shown] : {std::pair{VariableColumn::StartBit, "0"}, std::pair{VariableColumn::Conversion, "None"}})
            if (grid.cell(col, row).isEmpty())
                grid.setCell(col, row, QLatin1String(shown));
    for (const auto& entry : access.dataSets)
        for (const auto& member : entry->members) {
            fill(member->bitAddress, "0");
            fill(member->conversion, "None");
        }
}

bool trimIpAddresses(AccessList& access)
{
    bool changed = false;
    const std::pair<StringGrid*, int> addressColumns[]
        = {{&access.variableGrid, VariableColumn::IpAddress}, {&access.dataSetGrid, DataSetColumn::IpAddress}};
    for (auto [grid, column] : addressColumns)
        for (int row = 1; row < grid->rowCount(); ++row)
            if (const QString trimmed = normalizedIpAddress(grid->cell(column, row)); trimmed != grid->cell(column, row)) {
                grid->setCell(column, row, trimmed);
                changed = true;
            }
    return changed;
}
