#include "Grid.h"

TGrid::TGrid(const QStringList& headings)
    : Headings(headings)
{
    Clear();
}

QString TGrid::Cell(int col, int row) const
{
    if (row == 0)
        return Headings[col];
    return Rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].Text;
}

void TGrid::Set_Cell(int col, int row, const QString& text)
{
    if (row == 0)
        Headings[col] = text;
    else
        Rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].Text = text;
}

bool TGrid::Read_Only(int col, int row) const
{
    return row == 0 || Rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].Locked;
}

void TGrid::Set_Read_Only(int col, int row, bool locked)
{
    if (row > 0)
        Rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].Locked = locked;
}

void TGrid::Set_Row_Count(int rows)
{
    Rows.resize(static_cast<size_t>(std::max(rows, 2) - 1), std::vector<TCell>(static_cast<size_t>(Col_Count())));
}

void TGrid::Clear()
{
    Rows.assign(1, std::vector<TCell>(static_cast<size_t>(Col_Count())));
}

bool TGrid::Is_Empty() const
{
    return Rows.size() == 1 && Rows[0][1].Text.isEmpty();
}
