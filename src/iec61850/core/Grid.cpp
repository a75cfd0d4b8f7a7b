#include "iec61850/core/Grid.h"

StringGrid::StringGrid(const QStringList& columnHeadings)
    : headings(columnHeadings)
{
    clear();
}

QString StringGrid::cell(int col, int row) const
{
    if (row == 0)
        return headings[col];
    return rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].text;
}

void StringGrid::setCell(int col, int row, const QString& text)
{
    if (row == 0)
        headings[col] = text;
    else
        rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].text = text;
}

bool StringGrid::isLocked(int col, int row) const
{
    return row == 0 || rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].locked;
}

void StringGrid::setReadOnly(int col, int row, bool locked)
{
    if (row > 0)
        rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)].locked = locked;
}

void StringGrid::setRowCount(int count)
{
    rows.resize(static_cast<size_t>(std::max(count, 2) - 1), std::vector<Cell>(static_cast<size_t>(colCount())));
}

void StringGrid::clear() { rows.assign(1, std::vector<Cell>(static_cast<size_t>(colCount()))); }

bool StringGrid::isEmpty() const { return rows.size() == 1 && rows[0][1].text.isEmpty(); }
