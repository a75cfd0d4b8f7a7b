#include "access/core/AccessList.h"
#include "access/core/AccessOperations.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

std::unique_ptr<DataAttribute> Leaf(const QString& name, const QString& bType)
{
    auto da = std::make_unique<DataAttribute>();
    da->name = name;
    da->bType = bType;
    da->fc = QStringLiteral("MX");
    da->reference = QStringLiteral("IED1LD0/MMXU1.X.") + name;
    return da;
}

// One data object with one leaf per type, and three data sets over them.
struct Model {
    DataObject DO;
    DataSet withGoose, withoutGoose, noMembers;
    Model()
    {
        for (const char* type : {"FLOAT32", "Quality", "Timestamp", "VisString255", "Octet64"})
            DO.attributes.push_back(Leaf(QString::fromLatin1(type).toLower(), QString::fromLatin1(type)));
        withGoose = dataSet("DS1", "GCB1", {0, 1, 2});
        withoutGoose = dataSet("DS2", "", {3, 4});
        noMembers = dataSet("DS3", "", {});
    }
    DataAttribute& DA(int i) { return *DO.attributes[static_cast<size_t>(i)]; }
    DataSet dataSet(const char* name, const char* goose, std::initializer_list<int> members)
    {
        DataSet ds;
        ds.name = QString::fromLatin1(name);
        ds.reference = QStringLiteral("IED1LD0/LLN0.") + ds.name;
        ds.gooseName = QString::fromLatin1(goose);
        for (int m : members)
            ds.attributes.push_back(&DA(m));
        return ds;
    }
};

QStringList Column(const StringGrid& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.rowCount(); ++row)
        cells << grid.cell(col, row);
    return cells;
}

} // namespace

TEST(AccessOps, FixedSizeRuleSetsAndLocksByType)
{
    struct Case {
        const char* bType;
        const char* start;
        const char* num;
        bool locked;
    };
    const Case cases[] = {
        {"FLOAT32", "0", "4", true},
        {"INT32U", "0", "4", true},
        {"Int32", "0", "4", true},
        {"Quality", "0", "4", true},
        {"FLOAT64", "0", "8", true},
        {"int64", "0", "8", true},
        {"INT8U", "0", "1", true},
        {"INT8", "0", "1", true},
        {"BOOLEAN", "0", "1", true},
        {"Timestamp", "0", "1", true},
        {"Enum", "0", "1", true},
        {"INT16U", "0", "2", true},
        {"INT16", "0", "2", true},
        // Types the engineer sizes keep whatever their cells hold.
        {"VisString255", "7", "9", false},
        {"Octet64", "7", "9", false},
        {"Dbpos", "7", "9", false},
        {"Struct", "7", "9", false},
        {"", "7", "9", false},
        {"FLOAT32 ", "7", "9", false},
    };
    for (const auto& c : cases) {
        AccessList access;
        StringGrid& grid = access.variableGrid;
        grid.setCell(VariableColumn::BType, 1, QString::fromLatin1(c.bType));
        grid.setCell(VariableColumn::StartByte, 1, QStringLiteral("7"));
        grid.setCell(VariableColumn::NumByte, 1, QStringLiteral("9"));
        // A lock left from an earlier type at this position must not stay.
        grid.setReadOnly(VariableColumn::StartByte, 1, true);
        grid.setReadOnly(VariableColumn::NumByte, 1, true);
        setStartNumByte(grid);
        EXPECT_EQ(grid.cell(VariableColumn::StartByte, 1), QString::fromLatin1(c.start)) << c.bType;
        EXPECT_EQ(grid.cell(VariableColumn::NumByte, 1), QString::fromLatin1(c.num)) << c.bType;
        EXPECT_EQ(grid.isLocked(VariableColumn::StartByte, 1), c.locked) << c.bType;
        EXPECT_EQ(grid.isLocked(VariableColumn::NumByte, 1), c.locked) << c.bType;
    }
}

TEST(AccessOps, AddVarReusesTheEmptyRowThenAppends)
{
    Model model;
    AccessList access;
    StringGrid& grid = access.variableGrid;
    // A row without Index counts as empty even with stale cells; reusing it clears them.
    grid.setCell(VariableColumn::Mnemonic, 1, QStringLiteral("stale"));

    EXPECT_EQ(addVariable(grid, model.DA(3), 2), 1);
    EXPECT_EQ(addVariable(grid, model.DA(1), 0), 2);
    EXPECT_EQ(addVariable(grid, model.DA(1), 0), 3); // duplicates are allowed

    ASSERT_EQ(grid.rowCount(), 4);
    // Start Bit, R/W and Convertion are chosen explicitly: "0", "Read", "None".
    const QStringList row1 = {"1", "2", "VisString255", "MX", "IED1LD0/MMXU1.X.visstring255", "", "", "", "", "N", "N", "N", "",
        "", "0", "Read", "None", "", ""};
    const QStringList row2 = {"2", "0", "Quality", "MX", "IED1LD0/MMXU1.X.quality", "0", "4", "", "", "N", "N", "N", "", "", "0",
        "Read", "None", "", ""};
    for (int col = 0; col < VariableColumn::Count; ++col) {
        EXPECT_EQ(grid.cell(col, 1), row1[col]) << col;
        EXPECT_EQ(grid.cell(col, 2), row2[col]) << col;
        EXPECT_EQ(grid.cell(col, 3), col == 0 ? QStringLiteral("3") : row2[col]) << col;
    }
    EXPECT_FALSE(grid.isLocked(VariableColumn::StartByte, 1));
    EXPECT_TRUE(grid.isLocked(VariableColumn::NumByte, 2));
}

TEST(AccessOps, RemoveVarMovesRowsUpAndRelocksByEachRowsOwnType)
{
    Model model;
    AccessList access;
    StringGrid& grid = access.variableGrid;
    for (int i : {1, 3, 2, 4}) // Quality, VisString255, Timestamp, Octet64
        addVariable(grid, model.DA(i), 0);
    grid.setCell(VariableColumn::StartByte, 4, QStringLiteral("5"));
    grid.setCell(VariableColumn::NumByte, 4, QStringLiteral("6"));
    grid.setCell(VariableColumn::Mnemonic, 4, QStringLiteral("last"));

    removeVariable(grid, 2);

    EXPECT_EQ(Column(grid, VariableColumn::Number), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(grid, VariableColumn::BType), QStringList({"Quality", "Timestamp", "Octet64"}));
    EXPECT_EQ(Column(grid, VariableColumn::StartByte), QStringList({"0", "0", "5"}));
    EXPECT_EQ(Column(grid, VariableColumn::NumByte), QStringList({"4", "1", "6"}));
    EXPECT_EQ(grid.cell(VariableColumn::Mnemonic, 3), "last");
    for (int row = 1; row <= 3; ++row) {
        const bool fixed = row != 3;
        EXPECT_EQ(grid.isLocked(VariableColumn::StartByte, row), fixed) << row;
        EXPECT_EQ(grid.isLocked(VariableColumn::NumByte, row), fixed) << row;
    }

    // Rows outside the data rows remove nothing.
    removeVariable(grid, 0);
    removeVariable(grid, 4);
    EXPECT_EQ(grid.rowCount(), 4);
}

TEST(AccessOps, RemovingTheOnlyVariableLeavesOneBlankUnlockedRow)
{
    Model model;
    AccessList access;
    addVariable(access.variableGrid, model.DA(0), 1);
    removeVariable(access.variableGrid, 1);
    EXPECT_TRUE(access.variableGrid.isEmpty());
    EXPECT_EQ(access.variableGrid.rowCount(), 2);
    for (int col = 1; col < VariableColumn::Count; ++col) {
        EXPECT_EQ(access.variableGrid.cell(col, 1), "") << col;
        EXPECT_FALSE(access.variableGrid.isLocked(col, 1)) << col;
    }
}

TEST(AccessOps, AddDataSetFillsTheRowAndOneMemberEntryPerMember)
{
    Model model;
    AccessList access;
    EXPECT_EQ(addDataSet(access, model.withGoose, 1), 1);
    EXPECT_EQ(addDataSet(access, model.withoutGoose, 0), 2);
    EXPECT_EQ(addDataSet(access, model.noMembers, 0), 3);

    const StringGrid& grid = access.dataSetGrid;
    EXPECT_EQ(Column(grid, DataSetColumn::Number), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(grid, DataSetColumn::Index), QStringList({"1", "0", "0"}));
    EXPECT_EQ(Column(grid, DataSetColumn::Reference), QStringList({"IED1LD0/LLN0.DS1", "IED1LD0/LLN0.DS2", "IED1LD0/LLN0.DS3"}));
    EXPECT_EQ(Column(grid, DataSetColumn::GooseName), QStringList({"GCB1", "", ""}));
    EXPECT_EQ(Column(grid, DataSetColumn::EnGoose), QStringList({"Y", "N", "N"}));
    for (int col : {DataSetColumn::IpAddress, DataSetColumn::Port, DataSetColumn::Time, DataSetColumn::Mnemonic})
        EXPECT_EQ(Column(grid, col), QStringList({"", "", ""})) << col;

    ASSERT_EQ(access.dataSets.size(), 3u);
    const DataSetEntry& first = *access.dataSets[0];
    EXPECT_EQ(first.dataSet, &model.withGoose);
    ASSERT_EQ(first.members.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(first.members[i]->attribute, &model.DA(static_cast<int>(i)));
        EXPECT_TRUE(first.members[i]->position.isEmpty());
    }
    EXPECT_TRUE(access.dataSets[2]->members.empty());
}

TEST(AccessOps, MembersAreShownAndEditsStoredInTheirEntry)
{
    Model model;
    AccessList access;
    addDataSet(access, model.withGoose, 0);
    addDataSet(access, model.noMembers, 0);

    showMembers(access, 1);
    const StringGrid& members = access.memberGrid;
    EXPECT_EQ(Column(members, MemberColumn::Number), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(members, MemberColumn::BType), QStringList({"FLOAT32", "Quality", "Timestamp"}));
    EXPECT_EQ(members.cell(MemberColumn::Reference, 2), "IED1LD0/MMXU1.X.quality");

    struct Edit {
        int col;
        const char* text;
        bool stored;
    };
    const Edit edits[] = {{MemberColumn::Position, "12", true}, {MemberColumn::StartBit, "3", true},
        {MemberColumn::Conversion, "ItoF/FtoI", true}, {MemberColumn::MultFactor, "0,5", true},
        {MemberColumn::Mnemonic, "breaker", true}, {MemberColumn::BType, "x", false}, {MemberColumn::Reference, "x", false},
        {MemberColumn::Number, "x", false}};
    for (const auto& e : edits)
        EXPECT_EQ(storeMemberEdit(access, 1, 2, e.col, QString::fromLatin1(e.text)), e.stored) << e.col;
    const DataSetMember& member = *access.dataSets[0]->members[1];
    EXPECT_EQ(member.position, "12");
    EXPECT_EQ(member.bitAddress, "3");
    EXPECT_EQ(member.conversion, "ItoF/FtoI");
    EXPECT_EQ(member.multFactor, "0,5");
    EXPECT_EQ(member.mnemonic, "breaker");
    EXPECT_EQ(member.attribute, &model.DA(1));

    // Missing entries store nothing.
    EXPECT_FALSE(storeMemberEdit(access, 0, 1, MemberColumn::Position, "1"));
    EXPECT_FALSE(storeMemberEdit(access, 3, 1, MemberColumn::Position, "1"));
    EXPECT_FALSE(storeMemberEdit(access, 1, 4, MemberColumn::Position, "1"));
    EXPECT_FALSE(storeMemberEdit(access, 2, 1, MemberColumn::Position, "1"));

    showMembers(access, 2); // no members
    EXPECT_EQ(members.rowCount(), 2);
    EXPECT_EQ(Column(members, MemberColumn::BType), QStringList({""}));
    showMembers(access, 1);
    EXPECT_EQ(Column(members, MemberColumn::Position), QStringList({"", "12", ""}));
    EXPECT_EQ(Column(members, MemberColumn::Mnemonic), QStringList({"", "breaker", ""}));
    showMembers(access, 0);
    EXPECT_EQ(members.rowCount(), 2);
}

TEST(AccessOps, RemoveDataSetKeepsRowsAndEntriesPaired)
{
    Model model;
    AccessList access;
    addDataSet(access, model.withGoose, 0);
    addDataSet(access, model.withoutGoose, 0);
    addDataSet(access, model.noMembers, 0);
    showMembers(access, 1);

    removeDataSet(access, 2);
    EXPECT_EQ(Column(access.dataSetGrid, DataSetColumn::Number), QStringList({"1", "2"}));
    EXPECT_EQ(Column(access.dataSetGrid, DataSetColumn::Reference), QStringList({"IED1LD0/LLN0.DS1", "IED1LD0/LLN0.DS3"}));
    ASSERT_EQ(access.dataSets.size(), 2u);
    EXPECT_EQ(access.dataSets[1]->dataSet, &model.noMembers);
    EXPECT_EQ(access.memberGrid.rowCount(), 2);
    EXPECT_EQ(access.memberGrid.cell(MemberColumn::BType, 1), "");

    // A row without an entry removes neither a row nor an entry.
    for (int row : {0, 3, -1}) {
        removeDataSet(access, row);
        EXPECT_EQ(access.dataSetGrid.rowCount(), 3) << row;
        EXPECT_EQ(access.dataSets.size(), 2u) << row;
    }

    removeDataSet(access, 2);
    removeDataSet(access, 1);
    EXPECT_TRUE(access.dataSets.empty());
    EXPECT_TRUE(access.dataSetGrid.isEmpty());
    EXPECT_EQ(Column(access.dataSetGrid, DataSetColumn::Reference), QStringList({""}));
    // The blank grid takes the next data set in row 1 again.
    EXPECT_EQ(addDataSet(access, model.withoutGoose, 0), 1);
    EXPECT_EQ(access.dataSets.size(), 1u);
}

TEST(AccessOps, AKnownServerAddressFillsAddressAndPort)
{
    Model model;
    AccessList access;
    addVariable(access.variableGrid, model.DA(0), 0, "10.0.0.5");
    addVariable(access.variableGrid, model.DA(0), 1);
    addDataSet(access, model.withGoose, 0, "10.0.0.5");
    addDataSet(access, model.withoutGoose, 1);
    const StringGrid& vars = access.variableGrid;
    const StringGrid& sets = access.dataSetGrid;
    EXPECT_EQ(std::pair(vars.cell(VariableColumn::IpAddress, 1), vars.cell(VariableColumn::Port, 1)),
        std::pair(QString("10.0.0.5"), QString("102")));
    EXPECT_EQ(
        std::pair(vars.cell(VariableColumn::IpAddress, 2), vars.cell(VariableColumn::Port, 2)), std::pair(QString(), QString()));
    EXPECT_EQ(std::pair(sets.cell(DataSetColumn::IpAddress, 1), sets.cell(DataSetColumn::Port, 1)),
        std::pair(QString("10.0.0.5"), QString("102")));
    EXPECT_EQ(
        std::pair(sets.cell(DataSetColumn::IpAddress, 2), sets.cell(DataSetColumn::Port, 2)), std::pair(QString(), QString()));
}
