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
    // Exactly one data row whose column 1 is empty.
    bool isEmpty() const;

    void setHeading(int col, const QString& text) { headings[col] = text; }

private:
    struct Cell {
        QString text;
        bool locked = false;
    };
    QStringList headings;
    std::vector<std::vector<Cell>> rows; // data rows 1..n
};
