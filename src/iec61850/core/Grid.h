#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// A string grid as the access window keeps it: row 0 holds the column headings, column 0 the
// row numbers, data from row 1; there is always at least one data row. Cells are addressed
// (column, row) and each cell can be locked against editing. No widget involved, so loading,
// saving and validation are testable on their own.
class TGrid {
public:
    explicit TGrid(const QStringList& headings);

    int Col_Count() const { return static_cast<int>(Headings.size()); }
    int Row_Count() const { return static_cast<int>(Rows.size()) + 1; } // with the heading row

    QString Cell(int col, int row) const;
    void Set_Cell(int col, int row, const QString& text);
    bool Read_Only(int col, int row) const;
    void Set_Read_Only(int col, int row, bool locked);

    // Grows or shrinks to `rows` rows in all (heading included, at least 2); new rows are empty.
    void Set_Row_Count(int rows);
    // Back to one empty, unlocked data row.
    void Clear();
    // Exactly one data row whose column 1 is empty.
    bool Is_Empty() const;

    void Set_Heading(int col, const QString& text) { Headings[col] = text; }

private:
    struct TCell {
        QString Text;
        bool Locked = false;
    };
    QStringList Headings;
    std::vector<std::vector<TCell>> Rows; // data rows 1..n
};
