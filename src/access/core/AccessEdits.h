#pragma once
#include "access/core/AccessList.h"
#include "base/Result.h"
#include <QByteArray>
#include <deque>

class TextTable;

// Edits of the access list that can be taken back, and what tells whether anything changed.

// Rows taken out of the variables grid or the data set grid in one step, with their cells
// (and data set entries), so that the step can be undone.
struct Removal {
    bool dataSets = false;
    std::vector<int> rows; // the rows they had, ascending
    std::vector<QStringList> cells; // columns 1 on of each row
    std::vector<std::unique_ptr<DataSetEntry>> entries; // data set rows only, one per row
};

// Removes the given rows (grid rows from 1; others are ignored) as Remove Var removes one: the
// rows below move up, the only row is blanked. Empty when there was nothing to remove.
Removal removeVariableRows(StringGrid& variableGrid, std::vector<int> rows);
Removal removeDataSetRows(AccessList& access, std::vector<int> rows);
// Puts the rows back where they were, with their cells, lock flags and entries.
void undoRemoval(AccessList& access, Removal& removal);

// The removals of the window since it opened, the last `depth` of them.
class RemovalHistory {
public:
    static constexpr size_t depth = 20;
    void push(Removal removal);
    bool isEmpty() const { return removals.empty(); }
    Removal takeLast();
    void clear() { removals.clear(); }

private:
    std::deque<Removal> removals;
};

// Everything OK would save, as one text: equal snapshots mean nothing changed.
QByteArray accessSnapshot(const AccessList& access);

// The cell that a failed validation names: a cell of the variables or data sets grid, or of the
// members grid of data set `row`; row 0 when the result names none.
struct GridCell {
    enum Grid { Variables, DataSets, Members } grid = Variables;
    int col = 0;
    int row = 0;
    int member = 0; // Members: the member's row
};
GridCell cellOfRowError(const Result& failed, const TextTable& texts);
