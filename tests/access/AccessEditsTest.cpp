#include "access/core/AccessEdits.h"
#include "access/core/AccessOperations.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

QStringList mnemonics(const StringGrid& grid)
{
    QStringList cells;
    for (int row = 1; row < grid.rowCount(); ++row)
        cells << grid.cell(0, row) + ":" + grid.cell(VariableColumn::Mnemonic, row);
    return cells;
}

} // namespace

TEST(AccessEdits, RemovedRowsComeBackWhereTheyWere)
{
    DataAttribute f, s;
    f.bType = "FLOAT32";
    s.bType = "VisString255";
    struct Case {
        const char* name;
        std::vector<int> remove;
        QStringList left;
    };
    const Case cases[] = {
        {"middle row", {2}, {"1:a", "2:c", "3:d"}},
        {"first and last, unordered, repeated, one outside", {4, 1, 4, 9}, {"1:b", "2:c"}},
        {"every row: the blank row stays", {1, 2, 3, 4}, {"1:"}},
        {"nothing to remove", {0}, {"1:a", "2:b", "3:c", "4:d"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccessList access;
        for (const char* m : {"a", "b", "c", "d"}) {
            const int row = addVariable(access.variableGrid, *m == 'b' ? s : f, 0);
            access.variableGrid.setCell(VariableColumn::Mnemonic, row, m);
        }
        access.variableGrid.setCell(VariableColumn::NumByte, 2, "12");
        Removal removal = removeVariableRows(access.variableGrid, c.remove);
        EXPECT_EQ(mnemonics(access.variableGrid), c.left);
        RemovalHistory history;
        history.push(std::move(removal));
        if (history.isEmpty())
            continue;
        Removal last = history.takeLast();
        undoRemoval(access, last);
        EXPECT_EQ(mnemonics(access.variableGrid), QStringList({"1:a", "2:b", "3:c", "4:d"}));
        EXPECT_EQ(access.variableGrid.cell(VariableColumn::NumByte, 2), "12");
        EXPECT_FALSE(access.variableGrid.isLocked(VariableColumn::NumByte, 2));
        EXPECT_TRUE(access.variableGrid.isLocked(VariableColumn::NumByte, 3));
    }
}

TEST(AccessEdits, DataSetRowsComeBackWithTheirEntries)
{
    DataAttribute member;
    member.bType = "INT32";
    DataSet ds;
    ds.attributes = {&member};
    AccessList access;
    for (const char* m : {"x", "y", "z"}) {
        const int row = addDataSet(access, ds, 0);
        access.dataSetGrid.setCell(DataSetColumn::Mnemonic, row, m);
        access.dataSets.back()->members[0]->position = m;
    }
    Removal removal = removeDataSetRows(access, {1, 3});
    ASSERT_EQ(access.dataSets.size(), 1u);
    EXPECT_EQ(access.dataSets[0]->members[0]->position, "y");
    undoRemoval(access, removal);
    ASSERT_EQ(access.dataSets.size(), 3u);
    const QStringList names = {"x", "y", "z"};
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(access.dataSetGrid.cell(DataSetColumn::Mnemonic, row), names[row - 1]);
        EXPECT_EQ(access.dataSets[static_cast<size_t>(row - 1)]->members[0]->position, names[row - 1]);
    }

    // The snapshot sees member edits as well as cells.
    const QByteArray before = accessSnapshot(access);
    access.dataSets[1]->members[0]->mnemonic = "edited";
    EXPECT_NE(accessSnapshot(access), before);
    access.dataSets[1]->members[0]->mnemonic.clear();
    EXPECT_EQ(accessSnapshot(access), before);
}

TEST(AccessEdits, HistoryKeepsTheLastRemovals)
{
    RemovalHistory history;
    for (int i = 1; i <= 25; ++i) {
        Removal r;
        r.rows = {i};
        history.push(std::move(r));
    }
    int taken = 0;
    while (!history.isEmpty()) {
        EXPECT_EQ(history.takeLast().rows.front(), 25 - taken);
        ++taken;
    }
    EXPECT_EQ(taken, int(RemovalHistory::depth));
}

TEST(AccessEdits, ValidationErrorsNameTheirCell)
{
    TextTable texts;
    struct Case {
        int check;
        QString suffix;
        int col, row;
    };
    const Case cases[] = {
        {Text::ErrorRowString255Start, "", VariableColumn::StartByte, 3},
        {Text::ErrorRowOctet64End, "", VariableColumn::NumByte, 3},
        {Text::ErrorRowIpAddress, "", VariableColumn::IpAddress, 3},
        {Text::ErrorRowPort, "", VariableColumn::Port, 3},
        {Text::ErrorRowTime, "", VariableColumn::Time, 3},
        {Text::ErrorRowPosition, "1399", VariableColumn::Position, 3},
        {Text::ErrorRowMultFactor, "", VariableColumn::MultFactor, 3},
        {Text::ErrorRowConversion, "", VariableColumn::Conversion, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.check);
        const GridCell cell = cellOfRowError(Result::failed(Text::ErrorRow, {"3" + texts[c.check] + c.suffix}), texts);
        EXPECT_EQ(std::pair(cell.col, cell.row), std::pair(c.col, c.row));
    }
    EXPECT_EQ(cellOfRowError(Result::failed(Text::ErrorNameEmpty), texts).row, 0);

    // Data set rows and their members, as the checks word them.
    struct DataSetCase {
        QString arg;
        GridCell cell;
    };
    const QString member = texts[Text::ErrorMember];
    const DataSetCase dataSetCases[] = {
        {"12" + texts[Text::ErrorRowPort], {GridCell::DataSets, DataSetColumn::Port, 12, 0}},
        {"2" + texts[Text::ErrorDataSetMembers], {GridCell::DataSets, DataSetColumn::Reference, 2, 0}},
        {"2" + member + "13" + texts[Text::ErrorRowStartBit], {GridCell::Members, MemberColumn::StartBit, 2, 13}},
        {"4" + member + "1" + texts[Text::ErrorRowPosition] + "1399", {GridCell::Members, MemberColumn::Position, 4, 1}},
        {"1" + member + "2" + texts[Text::ErrorRowConversion], {GridCell::Members, MemberColumn::Conversion, 1, 2}},
        {"1" + member + "3" + texts[Text::ErrorRowMultFactor], {GridCell::Members, MemberColumn::MultFactor, 1, 3}},
    };
    for (const DataSetCase& c : dataSetCases) {
        SCOPED_TRACE(c.arg.toStdString());
        const GridCell cell = cellOfRowError(Result::failed(Text::ErrorDataSetRow, {c.arg}), texts);
        EXPECT_EQ(std::tuple(cell.grid, cell.col, cell.row, cell.member),
            std::tuple(c.cell.grid, c.cell.col, c.cell.row, c.cell.member));
    }
}
