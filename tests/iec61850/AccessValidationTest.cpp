#include "Access_List.h"
#include "Access_Ops.h"
#include "Access_Validation.h"
#include "TestSupport.h"
#include "TextTable.h"
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using TCells = std::vector<std::pair<int, QString>>;

// A row that passes every check; cases change only the cells they are about.
TCells Valid_Row(const QString& bType = QStringLiteral("FLOAT32"))
{
    return {{Var_Col::Index, "0"}, {Var_Col::bType, bType}, {Var_Col::Reference, "IED1LD0/MMXU1.TotW.mag.f"},
        {Var_Col::StartByte, "0"}, {Var_Col::NumByte, "4"}, {Var_Col::IPAddress, "192.168.1.125"}, {Var_Col::Port, "102"},
        {Var_Col::OnChange, "N"}, {Var_Col::OnCMD, "N"}, {Var_Col::OnTimer, "N"}, {Var_Col::Time, ""},
        {Var_Col::Position, "0"}, {Var_Col::MoltFact, "None"}};
}

TCells With(TCells row, const TCells& changes)
{
    for (const auto& change : changes)
        row.push_back(change); // later entries win when the row is written
    return row;
}

TGrid Grid_Of(const std::vector<TCells>& rows)
{
    TAccess_List access;
    TGrid& grid = access.ACG_DA;
    grid.Set_Row_Count(static_cast<int>(rows.size()) + 1);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        grid.Set_Cell(0, r, QString::number(r));
        for (const auto& [col, text] : rows[static_cast<size_t>(r - 1)])
            grid.Set_Cell(col, r, text);
    }
    return grid;
}

QString Message(const TResult& result, const TText_Table& texts)
{
    return result.Ok ? QString() : texts[result.Text_No] + result.Arg;
}

} // namespace

TEST(AccessValidation, ChecksInOrderAndReportsTheFirstFailingRow)
{
    const QString ip = QStringLiteral("Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)");
    const QString port = QStringLiteral("Error row 1!! Port must be between 0 and 65535");
    const QString time = QStringLiteral("Error row 1!! Time must be between 1 and 100000000 ms");
    const QString position = QStringLiteral("Error row 1!! Position must be between 0 and 1399");
    const QString factor = QStringLiteral("Error row 1!! Mult. Factor must be a valid Float");
    const QString vsStart = QStringLiteral("Error row 1!! Start Byte must be between 0 and 254");
    const QString vsNum = QStringLiteral("Error row 1!! Num Byte must be between 1 and 255");
    const QString vsSum = QStringLiteral("Error row 1!! Start Byte plus Num Byte must be minor of 255");
    const QString ocStart = QStringLiteral("Error row 1!! Start Byte must be between 0 and 63");
    const QString ocNum = QStringLiteral("Error row 1!! Num Byte must be between 1 and 64");
    const QString ocSum = QStringLiteral("Error row 1!! Start Byte plus Num Byte must be minor of 64");
    const QString vs = QStringLiteral("VisString255"), oc = QStringLiteral("Octet64");

    struct TCase {
        const char* name;
        TCells row;
        QString expected; // empty: passes
    };
    const TCase cases[] = {
        {"valid row", Valid_Row(), {}},
        {"IP empty", With(Valid_Row(), {{Var_Col::IPAddress, ""}}), ip},
        {"IP three parts", With(Valid_Row(), {{Var_Col::IPAddress, "10.0.0"}}), ip},
        {"IP blanks around parts", With(Valid_Row(), {{Var_Col::IPAddress, " 10. 0 .0.1 "}}), {}},
        {"port 65535", With(Valid_Row(), {{Var_Col::Port, "65535"}}), {}},
        {"port 65536", With(Valid_Row(), {{Var_Col::Port, "65536"}}), port},
        {"port empty", With(Valid_Row(), {{Var_Col::Port, ""}}), port},
        {"port hex", With(Valid_Row(), {{Var_Col::Port, "0x66"}}), {}},
        {"timer off, time empty", With(Valid_Row(), {{Var_Col::OnTimer, "N"}, {Var_Col::Time, ""}}), {}},
        {"timer on, time 0", With(Valid_Row(), {{Var_Col::OnTimer, "Y"}, {Var_Col::Time, "0"}}), time},
        {"timer on with blanks, time empty", With(Valid_Row(), {{Var_Col::OnTimer, " Y "}, {Var_Col::Time, ""}}), time},
        {"timer on, time 1", With(Valid_Row(), {{Var_Col::OnTimer, "Y"}, {Var_Col::Time, "1"}}), {}},
        {"timer on, time max", With(Valid_Row(), {{Var_Col::OnTimer, "Y"}, {Var_Col::Time, "100000000"}}), {}},
        {"timer on, time above", With(Valid_Row(), {{Var_Col::OnTimer, "Y"}, {Var_Col::Time, "100000001"}}), time},
        {"position empty", With(Valid_Row(), {{Var_Col::Position, ""}}), position},
        {"position 1399", With(Valid_Row(), {{Var_Col::Position, "1399"}}), {}},
        {"position 1400", With(Valid_Row(), {{Var_Col::Position, "1400"}}), position},
        {"position -1", With(Valid_Row(), {{Var_Col::Position, "-1"}}), position},
        {"factor none", With(Valid_Row(), {{Var_Col::MoltFact, "none"}}), {}},
        {"factor NONE with blanks", With(Valid_Row(), {{Var_Col::MoltFact, " NONE "}}), {}},
        {"factor 0,5", With(Valid_Row(), {{Var_Col::MoltFact, "0,5"}}), {}},
        {"factor 0.5", With(Valid_Row(), {{Var_Col::MoltFact, "0.5"}}), {}},
        {"factor empty", With(Valid_Row(), {{Var_Col::MoltFact, ""}}), factor},
        {"factor thousands", With(Valid_Row(), {{Var_Col::MoltFact, "1.000,5"}}), factor},
        {"fixed-size type ignores its byte cells", With(Valid_Row(), {{Var_Col::StartByte, "x"}, {Var_Col::NumByte, ""}}), {}},
        {"VisString 200+55", With(Valid_Row(vs), {{Var_Col::StartByte, "200"}, {Var_Col::NumByte, "55"}}), {}},
        {"VisString 200+56", With(Valid_Row(vs), {{Var_Col::StartByte, "200"}, {Var_Col::NumByte, "56"}}), vsSum},
        {"VisString start 254", With(Valid_Row(vs), {{Var_Col::StartByte, "254"}, {Var_Col::NumByte, "1"}}), {}},
        {"VisString start 255", With(Valid_Row(vs), {{Var_Col::StartByte, "255"}, {Var_Col::NumByte, "1"}}), vsStart},
        {"VisString num 0", With(Valid_Row(vs), {{Var_Col::StartByte, "0"}, {Var_Col::NumByte, "0"}}), vsNum},
        {"VisString num 256", With(Valid_Row(vs), {{Var_Col::StartByte, "0"}, {Var_Col::NumByte, "256"}}), vsNum},
        {"VisString upper case", With(Valid_Row("VISSTRING255"), {{Var_Col::StartByte, ""}}), vsStart},
        {"VisString checks come first",
            With(Valid_Row(vs), {{Var_Col::StartByte, ""}, {Var_Col::IPAddress, ""}, {Var_Col::Port, ""}}), vsStart},
        {"Octet64 0+64", With(Valid_Row(oc), {{Var_Col::StartByte, "0"}, {Var_Col::NumByte, "64"}}), {}},
        {"Octet64 1+64", With(Valid_Row(oc), {{Var_Col::StartByte, "1"}, {Var_Col::NumByte, "64"}}), ocSum},
        {"Octet64 start 64", With(Valid_Row(oc), {{Var_Col::StartByte, "64"}, {Var_Col::NumByte, "1"}}), ocStart},
        {"Octet64 num 65", With(Valid_Row(oc), {{Var_Col::StartByte, "0"}, {Var_Col::NumByte, "65"}}), ocNum},
        {"other variable-size type unchecked", With(Valid_Row("Dbpos"), {{Var_Col::StartByte, ""}, {Var_Col::NumByte, ""}}), {}},
        {"empty bType skipped", {{Var_Col::Index, "x"}, {Var_Col::IPAddress, "bad"}, {Var_Col::MoltFact, ""}}, {}},
    };
    TText_Table texts;
    for (const QChar separator : {QChar(u','), QChar(u'.')})
        for (const auto& c : cases) {
            const TResult result = Controllo_dati(Grid_Of({c.row}), separator, texts);
            EXPECT_EQ(result.Ok, c.expected.isEmpty()) << c.name << " sep " << separator.toLatin1();
            EXPECT_EQ(Message(result, texts), c.expected) << c.name << " sep " << separator.toLatin1();
        }
}

TEST(AccessValidation, StopsAtTheFirstFailingRow)
{
    TText_Table texts;
    const TGrid grid = Grid_Of({Valid_Row(), {}, With(Valid_Row(), {{Var_Col::Port, "70000"}}),
        With(Valid_Row(), {{Var_Col::IPAddress, ""}})});
    EXPECT_EQ(Message(Controllo_dati(grid, u'.', texts), texts), "Error row 3!! Port must be between 0 and 65535");
}

TEST(AccessValidation, RowsLeftAsAddedFailOnTheirFirstCheck)
{
    TIEC_DA quality{"IED1LD0/XCBR1.Pos.q", "ST", "Quality", "q", {}, nullptr};
    TIEC_DA text{"IED1LD0/LPHD1.PhyNam.vendor", "DC", "VisString255", "vendor", {}, nullptr};
    TText_Table texts;
    {
        TAccess_List access;
        Add_Var(access.ACG_DA, quality, 0);
        EXPECT_EQ(Message(Controllo_dati(access.ACG_DA, u',', texts), texts),
            "Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)");
    }
    {
        TAccess_List access;
        Add_Var(access.ACG_DA, text, 0);
        EXPECT_EQ(Message(Controllo_dati(access.ACG_DA, u',', texts), texts),
            "Error row 1!! Start Byte must be between 0 and 254");
    }
}

TEST(AccessValidation, EmptyGridPasses)
{
    TAccess_List access;
    TText_Table texts;
    EXPECT_TRUE(Controllo_dati(access.ACG_DA, u',', texts).Ok);
}
