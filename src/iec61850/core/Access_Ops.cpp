#include "Access_Ops.h"

namespace {

// The row an add fills: the single row of an empty grid, else a new last row.
int Next_Row(TGrid& grid)
{
    if (grid.Is_Empty())
        return 1;
    grid.Set_Row_Count(grid.Row_Count() + 1);
    return grid.Row_Count() - 1;
}

void Blank_Row(TGrid& grid, int row)
{
    for (int col = 1; col < grid.Col_Count(); ++col)
        grid.Set_Cell(col, row, {});
}

// Moves the rows below `row` up by one, drops the last row and renumbers column 0; the only
// row stays, blanked. Lock flags stay with the row positions.
void Remove_Row(TGrid& grid, int row)
{
    const int last = grid.Row_Count() - 1;
    if (last == 1) {
        Blank_Row(grid, 1);
        return;
    }
    for (int r = row; r < last; ++r)
        for (int col = 1; col < grid.Col_Count(); ++col)
            grid.Set_Cell(col, r, grid.Cell(col, r + 1));
    grid.Set_Row_Count(last);
    for (int r = 1; r < last; ++r)
        grid.Set_Cell(0, r, QString::number(r));
}

TDataSet* Entry(TAccess_List& access, int row)
{
    if (row < 1 || row > static_cast<int>(access.List_DataSet.size()))
        return nullptr;
    return access.List_DataSet[static_cast<size_t>(row - 1)].get();
}

} // namespace

int Fixed_Num_Byte(const QString& bType)
{
    const QString type = bType.toUpper();
    if (type == u"FLOAT32" || type == u"INT32U" || type == u"INT32" || type == u"QUALITY")
        return 4;
    if (type == u"FLOAT64" || type == u"INT64")
        return 8;
    if (type == u"INT8U" || type == u"INT8" || type == u"BOOLEAN" || type == u"TIMESTAMP" || type == u"ENUM")
        return 1;
    if (type == u"INT16U" || type == u"INT16")
        return 2;
    return 0;
}

void Set_Start_Num_Byte(TGrid& acg_da)
{
    for (int row = 1; row < acg_da.Row_Count(); ++row) {
        const int numByte = Fixed_Num_Byte(acg_da.Cell(Var_Col::bType, row));
        if (numByte > 0) {
            acg_da.Set_Cell(Var_Col::StartByte, row, QStringLiteral("0"));
            acg_da.Set_Cell(Var_Col::NumByte, row, QString::number(numByte));
        }
        acg_da.Set_Read_Only(Var_Col::StartByte, row, numByte > 0);
        acg_da.Set_Read_Only(Var_Col::NumByte, row, numByte > 0);
    }
}

int Add_Var(TGrid& acg_da, const TIEC_DA& da, int deviceIndex)
{
    const int row = Next_Row(acg_da);
    Blank_Row(acg_da, row);
    acg_da.Set_Cell(Var_Col::N, row, QString::number(row));
    acg_da.Set_Cell(Var_Col::Index, row, QString::number(deviceIndex));
    acg_da.Set_Cell(Var_Col::bType, row, da.bType);
    acg_da.Set_Cell(Var_Col::fc, row, da.FC);
    acg_da.Set_Cell(Var_Col::Reference, row, da.Reference);
    for (int col : {Var_Col::OnChange, Var_Col::OnCMD, Var_Col::OnTimer})
        acg_da.Set_Cell(col, row, QStringLiteral("N"));
    Set_Start_Num_Byte(acg_da);
    return row;
}

int Add_DataSet(TAccess_List& access, TIEC_DataSet& dataSet, int deviceIndex)
{
    TGrid& grid = access.ACG_DataSet;
    const int row = Next_Row(grid);
    Blank_Row(grid, row);
    grid.Set_Cell(DS_Col::N, row, QString::number(row));
    grid.Set_Cell(DS_Col::Index, row, QString::number(deviceIndex));
    grid.Set_Cell(DS_Col::Reference, row, dataSet.Reference);
    grid.Set_Cell(DS_Col::GooseName, row, dataSet.GooseName);
    grid.Set_Cell(DS_Col::EnGoose, row, dataSet.GooseName.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y"));

    auto entry = std::make_unique<TDataSet>();
    entry->Select_DataSet = &dataSet;
    for (TIEC_DA* member : dataSet.List_DA) {
        auto memberEntry = std::make_unique<TDataSet_DA>();
        memberEntry->Select_DA = member;
        entry->List_DAs.push_back(std::move(memberEntry));
    }
    // An empty grid has no entry yet, so the reused row 1 and the new entry stay paired.
    access.List_DataSet.push_back(std::move(entry));
    return row;
}

void Remove_Var(TGrid& acg_da, int row)
{
    if (row >= 1 && row < acg_da.Row_Count())
        Remove_Row(acg_da, row);
    Set_Start_Num_Byte(acg_da);
}

void Remove_DataSet(TAccess_List& access, int row)
{
    // Rows and entries are removed together only, so the k-th row keeps the k-th entry.
    if (Entry(access, row)) {
        access.List_DataSet.erase(access.List_DataSet.begin() + (row - 1));
        if (access.List_DataSet.empty())
            Blank_Row(access.ACG_DataSet, 1);
        else
            Remove_Row(access.ACG_DataSet, row);
    }
    access.ACG_DS_Vars.Clear();
}

void Show_DataSet_DAs(TAccess_List& access, int row)
{
    TGrid& grid = access.ACG_DS_Vars;
    grid.Clear();
    const TDataSet* entry = Entry(access, row);
    if (!entry || entry->List_DAs.empty())
        return;
    grid.Set_Row_Count(static_cast<int>(entry->List_DAs.size()) + 1);
    int r = 1;
    for (const auto& member : entry->List_DAs) {
        grid.Set_Cell(Member_Col::N, r, QString::number(r));
        if (member->Select_DA) {
            grid.Set_Cell(Member_Col::bType, r, member->Select_DA->bType);
            grid.Set_Cell(Member_Col::Reference, r, member->Select_DA->Reference);
        }
        grid.Set_Cell(Member_Col::Position, r, member->Position);
        grid.Set_Cell(Member_Col::StartBit, r, member->bitAddress);
        grid.Set_Cell(Member_Col::Convertion, r, member->conversion);
        grid.Set_Cell(Member_Col::MoltFact, r, member->multFactor);
        grid.Set_Cell(Member_Col::Mnemonic, r, member->Mnemonic);
        ++r;
    }
}

bool Store_Member_Edit(TAccess_List& access, int dataSetRow, int memberRow, int col, const QString& text)
{
    TDataSet* entry = Entry(access, dataSetRow);
    if (!entry || memberRow < 1 || memberRow > static_cast<int>(entry->List_DAs.size()))
        return false;
    TDataSet_DA& member = *entry->List_DAs[static_cast<size_t>(memberRow - 1)];
    QString* field = nullptr;
    switch (col) {
    case Member_Col::Position: field = &member.Position; break;
    case Member_Col::StartBit: field = &member.bitAddress; break;
    case Member_Col::Convertion: field = &member.conversion; break;
    case Member_Col::MoltFact: field = &member.multFactor; break;
    case Member_Col::Mnemonic: field = &member.Mnemonic; break;
    default: return false;
    }
    *field = text;
    return true;
}
