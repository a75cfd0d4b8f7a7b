#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// A string grid as the access window keeps it: row 0 holds the column headings, column 0 the
// row numbers, data from row 1; there is always at least one data row. Cells are addressed
// (column, row) and each cell can be locked against editing. No widget involved, so loading,
// saving and validation are testable on their own.
class StringGrid {
public:
    explicit StringGrid(const QStringList& columnHeadings);

    int colCount() const { return static_cast<int>(headings.size()); }
    int rowCount() const { return static_cast<int>(rows.size()) + 1; } // with the heading row

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    bool isLocked(int col, int row) const;
    void setReadOnly(int col, int row, bool locked);

    // Grows or shrinks to `count` rows in all (heading included, at least 2); new rows are empty.
    void setRowCount(int count);
    // Back to one empty, unlocked data row.
    void clear();
    // Takes over the data rows of `other`, which is left with one empty data row; the headings
    // stay. Both grids have the same columns.
    void takeRows(StringGrid& other);
    // Exactly one data row whose column 1 is empty.
    bool isEmpty() const;

    void setHeading(int col, const QString& text) { headings[col] = text; }

private:
    // One data row: its cells and a lock bit per column (a grid has far fewer than 64 columns);
    // no more than that per cell, since an imported point list may bring a million rows.
    struct Row {
        std::vector<QString> cells;
        quint64 locked = 0;
    };
    Row emptyRow() const { return {std::vector<QString>(static_cast<size_t>(colCount())), 0}; }

    QStringList headings;
    std::vector<Row> rows; // data rows 1..n
};
