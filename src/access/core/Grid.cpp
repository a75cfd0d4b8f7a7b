#include "access/core/Grid.h"

StringGrid::StringGrid(const QStringList& columnHeadings)
    : headings(columnHeadings)
{
    Q_ASSERT(columnHeadings.size() <= 64);
    clear();
}

QString StringGrid::cell(int col, int row) const
{
    if (row == 0)
        return headings[col];
    return rows[static_cast<size_t>(row - 1)].cells[static_cast<size_t>(col)];
}

void StringGrid::setCell(int col, int row, const QString& text)
{
    if (row == 0)
        headings[col] = text;
    else
        rows[static_cast<size_t>(row - 1)].cells[static_cast<size_t>(col)] = text;
}

bool StringGrid::isLocked(int col, int row) const
{
    return row == 0 || (rows[static_cast<size_t>(row - 1)].locked >> col & 1) != 0;
}

void StringGrid::setReadOnly(int col, int row, bool locked)
{
    if (row <= 0)
        return;
    quint64& bits = rows[static_cast<size_t>(row - 1)].locked;
    bits = locked ? bits | quint64(1) << col : bits & ~(quint64(1) << col);
}

void StringGrid::setRowCount(int count) { rows.resize(static_cast<size_t>(std::max(count, 2) - 1), emptyRow()); }

void StringGrid::clear() { rows.assign(1, emptyRow()); }

void StringGrid::takeRows(StringGrid& other)
{
    rows = std::move(other.rows);
    other.clear();
}

bool StringGrid::isEmpty() const { return rows.size() == 1 && rows[0].cells[1].isEmpty(); }
