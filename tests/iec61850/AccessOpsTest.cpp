#include "Access_List.h"
#include "Access_Ops.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TIEC_DA> Leaf(const QString& name, const QString& bType)
{
    auto da = std::make_unique<TIEC_DA>();
    da->Name = name;
    da->bType = bType;
    da->FC = QStringLiteral("MX");
    da->Reference = QStringLiteral("IED1LD0/MMXU1.X.") + name;
    return da;
}

// One data object with one leaf per type, and three data sets over them.
struct TModel {
    TIEC_DO DO;
    TIEC_DataSet With_Goose, Without_Goose, No_Members;
    TModel()
    {
        for (const char* type : {"FLOAT32", "Quality", "Timestamp", "VisString255", "Octet64"})
            DO.List_DA.push_back(Leaf(QString::fromLatin1(type).toLower(), QString::fromLatin1(type)));
        With_Goose = Data_Set("DS1", "GCB1", {0, 1, 2});
        Without_Goose = Data_Set("DS2", "", {3, 4});
        No_Members = Data_Set("DS3", "", {});
    }
    TIEC_DA& DA(int i) { return *DO.List_DA[static_cast<size_t>(i)]; }
    TIEC_DataSet Data_Set(const char* name, const char* goose, std::initializer_list<int> members)
    {
        TIEC_DataSet ds;
        ds.Name = QString::fromLatin1(name);
        ds.Reference = QStringLiteral("IED1LD0/LLN0.") + ds.Name;
        ds.GooseName = QString::fromLatin1(goose);
        for (int m : members)
            ds.List_DA.push_back(&DA(m));
        return ds;
    }
};

QStringList Column(const TGrid& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.Row_Count(); ++row)
        cells << grid.Cell(col, row);
    return cells;
}

} // namespace

TEST(AccessOps, FixedSizeRuleSetsAndLocksByType)
{
    struct TCase {
        const char* bType;
        const char* start;
        const char* num;
        bool locked;
    };
    const TCase cases[] = {
        {"FLOAT32", "0", "4", true}, {"INT32U", "0", "4", true}, {"Int32", "0", "4", true}, {"Quality", "0", "4", true},
        {"FLOAT64", "0", "8", true}, {"int64", "0", "8", true},
        {"INT8U", "0", "1", true}, {"INT8", "0", "1", true}, {"BOOLEAN", "0", "1", true}, {"Timestamp", "0", "1", true},
        {"Enum", "0", "1", true}, {"INT16U", "0", "2", true}, {"INT16", "0", "2", true},
        // Types the engineer sizes keep whatever their cells hold.
        {"VisString255", "7", "9", false}, {"Octet64", "7", "9", false}, {"Dbpos", "7", "9", false},
        {"Struct", "7", "9", false}, {"", "7", "9", false}, {"FLOAT32 ", "7", "9", false},
    };
    for (const auto& c : cases) {
        TAccess_List access;
        TGrid& grid = access.ACG_DA;
        grid.Set_Cell(Var_Col::bType, 1, QString::fromLatin1(c.bType));
        grid.Set_Cell(Var_Col::StartByte, 1, QStringLiteral("7"));
        grid.Set_Cell(Var_Col::NumByte, 1, QStringLiteral("9"));
        // A lock left from an earlier type at this position must not stay.
        grid.Set_Read_Only(Var_Col::StartByte, 1, true);
        grid.Set_Read_Only(Var_Col::NumByte, 1, true);
        Set_Start_Num_Byte(grid);
        EXPECT_EQ(grid.Cell(Var_Col::StartByte, 1), QString::fromLatin1(c.start)) << c.bType;
        EXPECT_EQ(grid.Cell(Var_Col::NumByte, 1), QString::fromLatin1(c.num)) << c.bType;
        EXPECT_EQ(grid.Read_Only(Var_Col::StartByte, 1), c.locked) << c.bType;
        EXPECT_EQ(grid.Read_Only(Var_Col::NumByte, 1), c.locked) << c.bType;
    }
}

TEST(AccessOps, AddVarReusesTheEmptyRowThenAppends)
{
    TModel model;
    TAccess_List access;
    TGrid& grid = access.ACG_DA;
    // A row without Index counts as empty even with stale cells; reusing it clears them.
    grid.Set_Cell(Var_Col::Mnemonic, 1, QStringLiteral("stale"));

    EXPECT_EQ(Add_Var(grid, model.DA(3), 2), 1);
    EXPECT_EQ(Add_Var(grid, model.DA(1), 0), 2);
    EXPECT_EQ(Add_Var(grid, model.DA(1), 0), 3); // duplicates are allowed

    ASSERT_EQ(grid.Row_Count(), 4);
    const QStringList row1 = {"1", "2", "VisString255", "MX", "IED1LD0/MMXU1.X.visstring255", "", "", "", "", "N", "N",
        "N", "", "", "", "", "", "", ""};
    const QStringList row2 = {"2", "0", "Quality", "MX", "IED1LD0/MMXU1.X.quality", "0", "4", "", "", "N", "N", "N", "",
        "", "", "", "", "", ""};
    for (int col = 0; col < Var_Col::Count; ++col) {
        EXPECT_EQ(grid.Cell(col, 1), row1[col]) << col;
        EXPECT_EQ(grid.Cell(col, 2), row2[col]) << col;
        EXPECT_EQ(grid.Cell(col, 3), col == 0 ? QStringLiteral("3") : row2[col]) << col;
    }
    EXPECT_FALSE(grid.Read_Only(Var_Col::StartByte, 1));
    EXPECT_TRUE(grid.Read_Only(Var_Col::NumByte, 2));
}

TEST(AccessOps, RemoveVarMovesRowsUpAndRelocksByEachRowsOwnType)
{
    TModel model;
    TAccess_List access;
    TGrid& grid = access.ACG_DA;
    for (int i : {1, 3, 2, 4}) // Quality, VisString255, Timestamp, Octet64
        Add_Var(grid, model.DA(i), 0);
    grid.Set_Cell(Var_Col::StartByte, 4, QStringLiteral("5"));
    grid.Set_Cell(Var_Col::NumByte, 4, QStringLiteral("6"));
    grid.Set_Cell(Var_Col::Mnemonic, 4, QStringLiteral("last"));

    Remove_Var(grid, 2);

    EXPECT_EQ(Column(grid, Var_Col::N), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(grid, Var_Col::bType), QStringList({"Quality", "Timestamp", "Octet64"}));
    EXPECT_EQ(Column(grid, Var_Col::StartByte), QStringList({"0", "0", "5"}));
    EXPECT_EQ(Column(grid, Var_Col::NumByte), QStringList({"4", "1", "6"}));
    EXPECT_EQ(grid.Cell(Var_Col::Mnemonic, 3), "last");
    for (int row = 1; row <= 3; ++row) {
        const bool fixed = row != 3;
        EXPECT_EQ(grid.Read_Only(Var_Col::StartByte, row), fixed) << row;
        EXPECT_EQ(grid.Read_Only(Var_Col::NumByte, row), fixed) << row;
    }

    // Rows outside the data rows remove nothing.
    Remove_Var(grid, 0);
    Remove_Var(grid, 4);
    EXPECT_EQ(grid.Row_Count(), 4);
}

TEST(AccessOps, RemovingTheOnlyVariableLeavesOneBlankUnlockedRow)
{
    TModel model;
    TAccess_List access;
    Add_Var(access.ACG_DA, model.DA(0), 1);
    Remove_Var(access.ACG_DA, 1);
    EXPECT_TRUE(access.ACG_DA.Is_Empty());
    EXPECT_EQ(access.ACG_DA.Row_Count(), 2);
    for (int col = 1; col < Var_Col::Count; ++col) {
        EXPECT_EQ(access.ACG_DA.Cell(col, 1), "") << col;
        EXPECT_FALSE(access.ACG_DA.Read_Only(col, 1)) << col;
    }
}

TEST(AccessOps, AddDataSetFillsTheRowAndOneMemberEntryPerMember)
{
    TModel model;
    TAccess_List access;
    EXPECT_EQ(Add_DataSet(access, model.With_Goose, 1), 1);
    EXPECT_EQ(Add_DataSet(access, model.Without_Goose, 0), 2);
    EXPECT_EQ(Add_DataSet(access, model.No_Members, 0), 3);

    const TGrid& grid = access.ACG_DataSet;
    EXPECT_EQ(Column(grid, DS_Col::N), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(grid, DS_Col::Index), QStringList({"1", "0", "0"}));
    EXPECT_EQ(Column(grid, DS_Col::Reference), QStringList({"IED1LD0/LLN0.DS1", "IED1LD0/LLN0.DS2", "IED1LD0/LLN0.DS3"}));
    EXPECT_EQ(Column(grid, DS_Col::GooseName), QStringList({"GCB1", "", ""}));
    EXPECT_EQ(Column(grid, DS_Col::EnGoose), QStringList({"Y", "N", "N"}));
    for (int col : {DS_Col::IPAddress, DS_Col::Port, DS_Col::Time, DS_Col::Mnemonic})
        EXPECT_EQ(Column(grid, col), QStringList({"", "", ""})) << col;

    ASSERT_EQ(access.List_DataSet.size(), 3u);
    const TDataSet& first = *access.List_DataSet[0];
    EXPECT_EQ(first.Select_DataSet, &model.With_Goose);
    ASSERT_EQ(first.List_DAs.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(first.List_DAs[i]->Select_DA, &model.DA(static_cast<int>(i)));
        EXPECT_TRUE(first.List_DAs[i]->Position.isEmpty());
    }
    EXPECT_TRUE(access.List_DataSet[2]->List_DAs.empty());
}

TEST(AccessOps, MembersAreShownAndEditsStoredInTheirEntry)
{
    TModel model;
    TAccess_List access;
    Add_DataSet(access, model.With_Goose, 0);
    Add_DataSet(access, model.No_Members, 0);

    Show_DataSet_DAs(access, 1);
    const TGrid& members = access.ACG_DS_Vars;
    EXPECT_EQ(Column(members, Member_Col::N), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(members, Member_Col::bType), QStringList({"FLOAT32", "Quality", "Timestamp"}));
    EXPECT_EQ(members.Cell(Member_Col::Reference, 2), "IED1LD0/MMXU1.X.quality");

    struct TEdit {
        int col;
        const char* text;
        bool stored;
    };
    const TEdit edits[] = {{Member_Col::Position, "12", true}, {Member_Col::StartBit, "3", true},
        {Member_Col::Convertion, "ItoF/FtoI", true}, {Member_Col::MoltFact, "0,5", true},
        {Member_Col::Mnemonic, "breaker", true}, {Member_Col::bType, "x", false}, {Member_Col::Reference, "x", false},
        {Member_Col::N, "x", false}};
    for (const auto& e : edits)
        EXPECT_EQ(Store_Member_Edit(access, 1, 2, e.col, QString::fromLatin1(e.text)), e.stored) << e.col;
    const TDataSet_DA& member = *access.List_DataSet[0]->List_DAs[1];
    EXPECT_EQ(member.Position, "12");
    EXPECT_EQ(member.bitAddress, "3");
    EXPECT_EQ(member.conversion, "ItoF/FtoI");
    EXPECT_EQ(member.multFactor, "0,5");
    EXPECT_EQ(member.Mnemonic, "breaker");
    EXPECT_EQ(member.Select_DA, &model.DA(1));

    // Missing entries store nothing.
    EXPECT_FALSE(Store_Member_Edit(access, 0, 1, Member_Col::Position, "1"));
    EXPECT_FALSE(Store_Member_Edit(access, 3, 1, Member_Col::Position, "1"));
    EXPECT_FALSE(Store_Member_Edit(access, 1, 4, Member_Col::Position, "1"));
    EXPECT_FALSE(Store_Member_Edit(access, 2, 1, Member_Col::Position, "1"));

    Show_DataSet_DAs(access, 2); // no members
    EXPECT_EQ(members.Row_Count(), 2);
    EXPECT_EQ(Column(members, Member_Col::bType), QStringList({""}));
    Show_DataSet_DAs(access, 1);
    EXPECT_EQ(Column(members, Member_Col::Position), QStringList({"", "12", ""}));
    EXPECT_EQ(Column(members, Member_Col::Mnemonic), QStringList({"", "breaker", ""}));
    Show_DataSet_DAs(access, 0);
    EXPECT_EQ(members.Row_Count(), 2);
}

TEST(AccessOps, RemoveDataSetKeepsRowsAndEntriesPaired)
{
    TModel model;
    TAccess_List access;
    Add_DataSet(access, model.With_Goose, 0);
    Add_DataSet(access, model.Without_Goose, 0);
    Add_DataSet(access, model.No_Members, 0);
    Show_DataSet_DAs(access, 1);

    Remove_DataSet(access, 2);
    EXPECT_EQ(Column(access.ACG_DataSet, DS_Col::N), QStringList({"1", "2"}));
    EXPECT_EQ(Column(access.ACG_DataSet, DS_Col::Reference), QStringList({"IED1LD0/LLN0.DS1", "IED1LD0/LLN0.DS3"}));
    ASSERT_EQ(access.List_DataSet.size(), 2u);
    EXPECT_EQ(access.List_DataSet[1]->Select_DataSet, &model.No_Members);
    EXPECT_EQ(access.ACG_DS_Vars.Row_Count(), 2);
    EXPECT_EQ(access.ACG_DS_Vars.Cell(Member_Col::bType, 1), "");

    // A row without an entry removes neither a row nor an entry.
    for (int row : {0, 3, -1}) {
        Remove_DataSet(access, row);
        EXPECT_EQ(access.ACG_DataSet.Row_Count(), 3) << row;
        EXPECT_EQ(access.List_DataSet.size(), 2u) << row;
    }

    Remove_DataSet(access, 2);
    Remove_DataSet(access, 1);
    EXPECT_TRUE(access.List_DataSet.empty());
    EXPECT_TRUE(access.ACG_DataSet.Is_Empty());
    EXPECT_EQ(Column(access.ACG_DataSet, DS_Col::Reference), QStringList({""}));
    // The blank grid takes the next data set in row 1 again.
    EXPECT_EQ(Add_DataSet(access, model.Without_Goose, 0), 1);
    EXPECT_EQ(access.List_DataSet.size(), 1u);
}
