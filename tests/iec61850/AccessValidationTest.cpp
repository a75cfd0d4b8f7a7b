#include "iec61850/core/AccessList.h"
#include "iec61850/core/AccessOperations.h"
#include "iec61850/core/AccessValidation.h"
#include "support/TestSupport.h"
#include "base/TextTable.h"
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using Cells = std::vector<std::pair<int, QString>>;

// A row that passes every check; cases change only the cells they are about.
Cells validRow(const QString& bType = QStringLiteral("FLOAT32"))
{
    return {{VariableColumn::Index, "0"}, {VariableColumn::BType, bType}, {VariableColumn::Reference, "IED1LD0/MMXU1.TotW.mag.f"},
        {VariableColumn::StartByte, "0"}, {VariableColumn::NumByte, "4"}, {VariableColumn::IpAddress, "192.168.1.125"},
        {VariableColumn::Port, "102"}, {VariableColumn::OnChange, "N"}, {VariableColumn::OnCommand, "N"},
        {VariableColumn::OnTimer, "N"}, {VariableColumn::Time, ""}, {VariableColumn::Position, "0"},
        {VariableColumn::MultFactor, "None"}};
}

Cells With(Cells row, const Cells& changes)
{
    for (const auto& change : changes)
        row.push_back(change); // later entries win when the row is written
    return row;
}

StringGrid gridOf(const std::vector<Cells>& rows)
{
    AccessList access;
    StringGrid& grid = access.variableGrid;
    grid.setRowCount(static_cast<int>(rows.size()) + 1);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        grid.setCell(0, r, QString::number(r));
        for (const auto& [col, text] : rows[static_cast<size_t>(r - 1)])
            grid.setCell(col, r, text);
    }
    return grid;
}

QString message(const Result& result, const TextTable& texts)
{
    return result.ok ? QString() : texts[result.textNumber] + result.arg;
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

    struct Case {
        const char* name;
        Cells row;
        QString expected; // empty: passes
    };
    const Case cases[] = {
        {"valid row", validRow(), {}},
        {"IP empty", With(validRow(), {{VariableColumn::IpAddress, ""}}), ip},
        {"IP three parts", With(validRow(), {{VariableColumn::IpAddress, "10.0.0"}}), ip},
        {"IP blanks around parts", With(validRow(), {{VariableColumn::IpAddress, " 10. 0 .0.1 "}}), {}},
        {"port 65535", With(validRow(), {{VariableColumn::Port, "65535"}}), {}},
        {"port 65536", With(validRow(), {{VariableColumn::Port, "65536"}}), port},
        {"port empty", With(validRow(), {{VariableColumn::Port, ""}}), port},
        {"port hex", With(validRow(), {{VariableColumn::Port, "0x66"}}), {}},
        {"timer off, time empty", With(validRow(), {{VariableColumn::OnTimer, "N"}, {VariableColumn::Time, ""}}), {}},
        {"timer on, time 0", With(validRow(), {{VariableColumn::OnTimer, "Y"}, {VariableColumn::Time, "0"}}), time},
        {"timer on with blanks, time empty", With(validRow(), {{VariableColumn::OnTimer, " Y "}, {VariableColumn::Time, ""}}),
            time},
        {"timer on, time 1", With(validRow(), {{VariableColumn::OnTimer, "Y"}, {VariableColumn::Time, "1"}}), {}},
        {"timer on, time max", With(validRow(), {{VariableColumn::OnTimer, "Y"}, {VariableColumn::Time, "100000000"}}), {}},
        {"timer on, time above", With(validRow(), {{VariableColumn::OnTimer, "Y"}, {VariableColumn::Time, "100000001"}}), time},
        {"position empty", With(validRow(), {{VariableColumn::Position, ""}}), position},
        {"position 1399", With(validRow(), {{VariableColumn::Position, "1399"}}), {}},
        {"position 1400", With(validRow(), {{VariableColumn::Position, "1400"}}), position},
        {"position -1", With(validRow(), {{VariableColumn::Position, "-1"}}), position},
        {"factor none", With(validRow(), {{VariableColumn::MultFactor, "none"}}), {}},
        {"factor NONE with blanks", With(validRow(), {{VariableColumn::MultFactor, " NONE "}}), {}},
        {"factor 0,5", With(validRow(), {{VariableColumn::MultFactor, "0,5"}}), {}},
        {"factor 0.5", With(validRow(), {{VariableColumn::MultFactor, "0.5"}}), {}},
        {"factor empty", With(validRow(), {{VariableColumn::MultFactor, ""}}), factor},
        {"factor thousands", With(validRow(), {{VariableColumn::MultFactor, "1.000,5"}}), factor},
        {"fixed-size type ignores its byte cells",
            With(validRow(), {{VariableColumn::StartByte, "x"}, {VariableColumn::NumByte, ""}}), {}},
        {"VisString 200+55", With(validRow(vs), {{VariableColumn::StartByte, "200"}, {VariableColumn::NumByte, "55"}}), {}},
        {"VisString 200+56", With(validRow(vs), {{VariableColumn::StartByte, "200"}, {VariableColumn::NumByte, "56"}}), vsSum},
        {"VisString start 254", With(validRow(vs), {{VariableColumn::StartByte, "254"}, {VariableColumn::NumByte, "1"}}), {}},
        {"VisString start 255", With(validRow(vs), {{VariableColumn::StartByte, "255"}, {VariableColumn::NumByte, "1"}}),
            vsStart},
        {"VisString num 0", With(validRow(vs), {{VariableColumn::StartByte, "0"}, {VariableColumn::NumByte, "0"}}), vsNum},
        {"VisString num 256", With(validRow(vs), {{VariableColumn::StartByte, "0"}, {VariableColumn::NumByte, "256"}}), vsNum},
        {"VisString upper case", With(validRow("VISSTRING255"), {{VariableColumn::StartByte, ""}}), vsStart},
        {"VisString checks come first",
            With(validRow(vs), {{VariableColumn::StartByte, ""}, {VariableColumn::IpAddress, ""}, {VariableColumn::Port, ""}}),
            vsStart},
        {"Octet64 0+64", With(validRow(oc), {{VariableColumn::StartByte, "0"}, {VariableColumn::NumByte, "64"}}), {}},
        {"Octet64 1+64", With(validRow(oc), {{VariableColumn::StartByte, "1"}, {VariableColumn::NumByte, "64"}}), ocSum},
        {"Octet64 start 64", With(validRow(oc), {{VariableColumn::StartByte, "64"}, {VariableColumn::NumByte, "1"}}), ocStart},
        {"Octet64 num 65", With(validRow(oc), {{VariableColumn::StartByte, "0"}, {VariableColumn::NumByte, "65"}}), ocNum},
        {"other variable-size type unchecked",
            With(validRow("Dbpos"), {{VariableColumn::StartByte, ""}, {VariableColumn::NumByte, ""}}), {}},
        {"empty bType skipped",
            {{VariableColumn::Index, "x"}, {VariableColumn::IpAddress, "bad"}, {VariableColumn::MultFactor, ""}}, {}},
    };
    TextTable texts;
    for (const QChar separator : {QChar(u','), QChar(u'.')})
        for (const auto& c : cases) {
            const Result result = validateVariables(gridOf({c.row}), separator, texts);
            EXPECT_EQ(result.ok, c.expected.isEmpty()) << c.name << " sep " << separator.toLatin1();
            EXPECT_EQ(message(result, texts), c.expected) << c.name << " sep " << separator.toLatin1();
        }
}

TEST(AccessValidation, StopsAtTheFirstFailingRow)
{
    TextTable texts;
    const StringGrid grid = gridOf({validRow(), {}, With(validRow(), {{VariableColumn::Port, "70000"}}),
        With(validRow(), {{VariableColumn::IpAddress, ""}})});
    EXPECT_EQ(message(validateVariables(grid, u'.', texts), texts), "Error row 3!! Port must be between 0 and 65535");
}

TEST(AccessValidation, RowsLeftAsAddedFailOnTheirFirstCheck)
{
    DataAttribute quality{"IED1LD0/XCBR1.Pos.q", "ST", "Quality", "q", {}};
    DataAttribute text{"IED1LD0/LPHD1.PhyNam.vendor", "DC", "VisString255", "vendor", {}};
    TextTable texts;
    {
        AccessList access;
        addVariable(access.variableGrid, quality, 0);
        EXPECT_EQ(message(validateVariables(access.variableGrid, u',', texts), texts),
            "Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)");
    }
    {
        AccessList access;
        addVariable(access.variableGrid, text, 0);
        EXPECT_EQ(message(validateVariables(access.variableGrid, u',', texts), texts),
            "Error row 1!! Start Byte must be between 0 and 254");
    }
}

TEST(AccessValidation, EmptyGridPasses)
{
    AccessList access;
    TextTable texts;
    EXPECT_TRUE(validateVariables(access.variableGrid, u',', texts).ok);
}
