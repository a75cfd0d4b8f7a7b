#include "access/core/AccessList.h"
#include "access/core/AccessOperations.h"
#include "access/core/AccessValidation.h"
#include "support/TestSupport.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
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
        {VariableColumn::ReadWrite, "Read"}, {VariableColumn::MultFactor, "None"}};
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

QString message(const Result& result, const TextTable& texts) { return result.ok ? QString() : texts.message(result); }

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
    const QString rw = QStringLiteral("Error row 1!! R/W: select Read or Write");
    const QString startBit = QStringLiteral("Error row 1!! Start Bit must be between 0 and 7");
    const QString otherStart = QStringLiteral("Error row 1!! Start Byte must be between 0 and 255");
    const QString otherNum = QStringLiteral("Error row 1!! Num Byte must be between 0 and 255");
    const QString conversion = QStringLiteral("Error row 1!! Convertion: select None or ItoF/FtoI");
    const QString flag = QStringLiteral("Error row 1!! %1 must be Y or N");
    const QString fc = QStringLiteral("Error row 1!! fc must have at most 2 characters");
    const QString wide
        = QStringLiteral("Error row 1!! %1 holds the character %2: the device receives one byte per character, up to U+00FF");
    const QString stored = QStringLiteral("Error row 1!! %1 holds the character %2, which the access file cannot store");

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
        // The build sets the timer for exactly "Y": " Y " would be sent without it.
        {"timer on with blanks, time empty", With(validRow(), {{VariableColumn::OnTimer, " Y "}, {VariableColumn::Time, ""}}),
            flag.arg("OnTimer")},
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
        // Every value that reaches the image fits its field, and the direction is chosen.
        {"IP with blanks around", With(validRow(), {{VariableColumn::IpAddress, " 10.0.0.3 "}}), {}},
        {"IP abc", With(validRow(), {{VariableColumn::IpAddress, "abc"}}), ip},
        {"port -1", With(validRow(), {{VariableColumn::Port, "-1"}}), port},
        {"port 0", With(validRow(), {{VariableColumn::Port, "0"}}), {}},
        {"port 99999", With(validRow(), {{VariableColumn::Port, "99999"}}), port},
        {"port abc", With(validRow(), {{VariableColumn::Port, "abc"}}), port},
        {"position 0", With(validRow(), {{VariableColumn::Position, "0"}}), {}},
        {"position 70000", With(validRow(), {{VariableColumn::Position, "70000"}}), position},
        {"position abc", With(validRow(), {{VariableColumn::Position, "abc"}}), position},
        // Without the timer a time still reaches the image; only a blank one takes the build's 1000.
        {"timer off, time not a number", With(validRow(), {{VariableColumn::Time, "abc"}}), time},
        {"timer off, time beyond a whole number", With(validRow(), {{VariableColumn::Time, "4294967295"}}), time},
        {"timer off, time 0xFFFFFFFF", With(validRow(), {{VariableColumn::Time, "0xFFFFFFFF"}}), time},
        {"timer off, time of blanks", With(validRow(), {{VariableColumn::Time, "  "}}), {}},
        {"timer off, largest time", With(validRow(), {{VariableColumn::Time, "2147483647"}}), {}},
        {"timer off, time -1", With(validRow(), {{VariableColumn::Time, "-1"}}), time},
        {"timer off, time above the timer's range", With(validRow(), {{VariableColumn::Time, "200000000"}}), {}},
        {"R/W empty", With(validRow(), {{VariableColumn::ReadWrite, ""}}), rw},
        {"R/W Write", With(validRow(), {{VariableColumn::ReadWrite, "Write"}}), {}},
        {"R/W compared exactly", With(validRow(), {{VariableColumn::ReadWrite, "read"}}), rw},
        {"start bit empty reads as 0", With(validRow(), {{VariableColumn::StartBit, ""}}), {}},
        {"start bit 7", With(validRow(), {{VariableColumn::StartBit, "7"}}), {}},
        {"start bit 8", With(validRow(), {{VariableColumn::StartBit, "8"}}), startBit},
        {"start bit -1", With(validRow(), {{VariableColumn::StartBit, "-1"}}), startBit},
        {"start bit abc", With(validRow(), {{VariableColumn::StartBit, "abc"}}), startBit},
        {"factor largest float as printed", With(validRow(), {{VariableColumn::MultFactor, "3.4028235e38"}}), {}},
        {"factor beyond the largest float", With(validRow(), {{VariableColumn::MultFactor, "-3.5e38"}}), factor},
        {"other type, byte cells empty",
            With(validRow("Dbpos"), {{VariableColumn::StartByte, ""}, {VariableColumn::NumByte, ""}}), {}},
        {"other type, start byte 255", With(validRow("Dbpos"), {{VariableColumn::StartByte, "255"}}), {}},
        {"other type, start byte 256", With(validRow("Dbpos"), {{VariableColumn::StartByte, "256"}}), otherStart},
        {"other type, num byte -1", With(validRow("Struct"), {{VariableColumn::NumByte, "-1"}}), otherNum},
        // The build converts only for exactly "ItoF/FtoI"; None may be left empty.
        {"conversion empty reads as None", With(validRow(), {{VariableColumn::Conversion, ""}}), {}},
        {"conversion None", With(validRow(), {{VariableColumn::Conversion, "None"}}), {}},
        {"conversion ItoF/FtoI", With(validRow(), {{VariableColumn::Conversion, "ItoF/FtoI"}}), {}},
        {"conversion typed short", With(validRow(), {{VariableColumn::Conversion, "ItoF"}}), conversion},
        {"conversion with a blank", With(validRow(), {{VariableColumn::Conversion, "ItoF/FtoI "}}), conversion},
        {"other type, start byte not a number", With(validRow("Dbpos"), {{VariableColumn::StartByte, "abc"}}), otherStart},
        {"other type, num byte of blanks", With(validRow("Dbpos"), {{VariableColumn::NumByte, " "}}), {}},
        // A flag is on for exactly "Y" and off for "N" or nothing: anything else is not what the build reads.
        {"timer flag in lower case", With(validRow(), {{VariableColumn::OnTimer, "y"}}), flag.arg("OnTimer")},
        {"change flag empty", With(validRow(), {{VariableColumn::OnChange, ""}}), {}},
        {"command flag Yes", With(validRow(), {{VariableColumn::OnCommand, "Yes"}}), flag.arg("OnCMD")},
        // The device receives two characters of the fc and one byte per character of the image's texts.
        {"fc of two", With(validRow(), {{VariableColumn::Fc, "MX"}}), {}},
        {"fc of three", With(validRow(), {{VariableColumn::Fc, "MXY"}}), fc},
        {"fc above U+00FF", With(validRow(), {{VariableColumn::Fc, QStringLiteral("M\u0141")}}), wide.arg("fc", "U+0141")},
        {"reference in Latin-1", With(validRow(), {{VariableColumn::Reference, QStringLiteral("LD0/GGIO1.Ind\u00e9.stVal")}}),
            {}},
        {"reference above U+00FF", With(validRow(), {{VariableColumn::Reference, QStringLiteral("LD0/GGIO1.Ind\u20ac.stVal")}}),
            wide.arg("Reference", "U+20AC")},
        {"reference beyond U+FFFF", With(validRow(), {{VariableColumn::Reference, QStringLiteral("LD0/GGIO1.\U0001F600")}}),
            wide.arg("Reference", "U+1F600")},
        {"bType above U+00FF", With(validRow(QStringLiteral("FLOAT\u0663\u0662")), {}), wide.arg("bType", "U+0663")},
        {"mnemonic above U+00FF stays in the file", With(validRow(), {{VariableColumn::Mnemonic, QStringLiteral("\u20ac/kWh")}}),
            {}},
        // Every cell is stored in the access file, which holds only what XML allows.
        {"mnemonic with a control character", With(validRow(), {{VariableColumn::Mnemonic, QStringLiteral("a\x01")}}),
            stored.arg("Mnemonic", "U+0001")},
        {"mnemonic with NUL",
            With(validRow(), {{VariableColumn::Mnemonic, QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")}}),
            stored.arg("Mnemonic", "U+0000")},
        {"mnemonic with a lone surrogate", With(validRow(), {{VariableColumn::Mnemonic, QString(1, QChar(0xDC00))}}),
            stored.arg("Mnemonic", "U+DC00")},
        {"mnemonic with U+FFFF", With(validRow(), {{VariableColumn::Mnemonic, QString(1, QChar(0xFFFF))}}),
            stored.arg("Mnemonic", "U+FFFF")},
        {"address after a control character",
            With(validRow(),
                {{VariableColumn::IpAddress,
                    QStringLiteral("\x0b"
                                   "1.2.3.4")}}),
            stored.arg("IPAddress", "U+000B")},
    };
    TextTable texts;
    for (const QChar separator : {QChar(u','), QChar(u'.')})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " with separator " + char(separator.toLatin1()));
            const Result result = validateVariables(gridOf({c.row}), separator, texts);
            EXPECT_EQ(result.ok, c.expected.isEmpty());
            EXPECT_EQ(message(result, texts), c.expected);
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

namespace {

using Changes = std::vector<std::pair<size_t, QString>>;

template <typename Item> Item itemOf(const std::vector<QString>& texts, const Changes& changes)
{
    Item item;
    for (size_t i = 0; i < texts.size(); ++i)
        item.attributes[i].text = texts[i];
    for (const auto& [at, text] : changes)
        item.attributes[at].text = text;
    for (auto& a : item.attributes) {
        a.present = true;
        a.number = parseWholeNumber(a.text);
    }
    return item;
}

// A data set row that passes every check, with `members` members that pass too.
StoredDataSet dataSetOf(const Changes& changes, std::vector<Changes> members = {{}})
{
    auto dataSet = itemOf<StoredDataSet>({"0", "IED1LD0/LLN0.DS1", "GO1", "Y", "192.168.1.20", "102", "1000", ""}, changes);
    for (const Changes& m : members)
        dataSet.members.push_back(itemOf<StoredMember>({"INT32", "IED1LD0/GGIO1.AnIn1.mag.i", "5", "0", "None", "1", ""}, m));
    return dataSet;
}

QStringList lines(const Problems& problems, const TextTable& texts)
{
    QStringList result;
    for (const Problem& p : problems)
        result << p.line(texts);
    return result;
}

} // namespace

TEST(AccessValidation, DataSetRowsAndMembersAreCheckedLikeVariables)
{
    using namespace AccessItem;
    const QString row = QStringLiteral("Error DataSet row 1!!");
    const QString member = QStringLiteral("Error DataSet row 1, member 1!!");
    const QString position = QStringLiteral(" Position must be between 0 and 1399");
    const QString startBit = QStringLiteral(" Start Bit must be between 0 and 7");
    struct Case {
        const char* name;
        StoredDataSet dataSet;
        QString expected; // empty: passes
    };
    const Case cases[] = {
        {"valid", dataSetOf({}), {}},
        {"IP empty", dataSetOf({{DsIpAddress, ""}}), row + " IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"IP with blanks", dataSetOf({{DsIpAddress, " 10.0.0.3 "}}), {}},
        {"port empty", dataSetOf({{DsPort, ""}}), row + " Port must be between 0 and 65535"},
        {"port -1", dataSetOf({{DsPort, "-1"}}), row + " Port must be between 0 and 65535"},
        {"port 0", dataSetOf({{DsPort, "0"}}), {}},
        {"port 65535", dataSetOf({{DsPort, "65535"}}), {}},
        {"port 65536", dataSetOf({{DsPort, "65536"}}), row + " Port must be between 0 and 65535"},
        // A data set is always requested on its timer.
        {"time empty", dataSetOf({{DsTime, ""}}), row + " Time must be between 1 and 100000000 ms"},
        {"time 0", dataSetOf({{DsTime, "0"}}), row + " Time must be between 1 and 100000000 ms"},
        {"time 1", dataSetOf({{DsTime, "1"}}), {}},
        {"no members", dataSetOf({}, {}), row + " A DataSet must have at least one member"},
        {"255 members", dataSetOf({}, std::vector<Changes>(255)), {}},
        {"member position -1", dataSetOf({}, {{{MPosition, "-1"}}}), member + position},
        {"member position 0", dataSetOf({}, {{{MPosition, "0"}}}), {}},
        {"member position 1399", dataSetOf({}, {{{MPosition, "1399"}}}), {}},
        {"member position 1400", dataSetOf({}, {{{MPosition, "1400"}}}), member + position},
        {"member position empty", dataSetOf({}, {{{MPosition, ""}}}), member + position},
        {"member position abc", dataSetOf({}, {{{MPosition, "abc"}}}), member + position},
        {"member start bit empty reads as 0", dataSetOf({}, {{{MStartBit, ""}}}), {}},
        {"member start bit 8", dataSetOf({}, {{{MStartBit, "8"}}}), member + startBit},
        {"third member", dataSetOf({}, {{}, {}, {{MPosition, "1400"}}}), "Error DataSet row 1, member 3!!" + position},
        {"member conversion empty", dataSetOf({}, {{{MConversion, ""}}}), {}},
        {"member conversion ItoF/FtoI", dataSetOf({}, {{{MConversion, "ItoF/FtoI"}}}), {}},
        {"member conversion itof/ftoi", dataSetOf({}, {{{MConversion, "itof/ftoi"}}}),
            member + " Convertion: select None or ItoF/FtoI"},
        {"member factor None", dataSetOf({}, {{{MMultFactor, "None"}}}), {}},
        {"member factor empty reads as None", dataSetOf({}, {{{MMultFactor, " "}}}), {}},
        {"member factor 0.5", dataSetOf({}, {{{MMultFactor, "0.5"}}}), {}},
        {"member factor abc", dataSetOf({}, {{{MMultFactor, "abc"}}}), member + " Mult. Factor must be a valid Float"},
        {"member factor beyond the largest float", dataSetOf({}, {{{MMultFactor, "1e39"}}}),
            member + " Mult. Factor must be a valid Float"},
        {"GOOSE flag N", dataSetOf({{DsEnGoose, "N"}}), {}},
        {"GOOSE flag empty", dataSetOf({{DsEnGoose, ""}}), {}},
        {"GOOSE flag yes", dataSetOf({{DsEnGoose, "yes"}}), row + " EnGoose must be Y or N"},
        {"GOOSE name above U+00FF", dataSetOf({{DsGooseName, QStringLiteral("GO\u0141")}}),
            row + " GooseName holds the character U+0141: the device receives one byte per character, up to U+00FF"},
        {"data set reference above U+00FF", dataSetOf({{DsReference, QStringLiteral("IED1LD0/LLN0.DS\u20ac")}}),
            row + " Reference holds the character U+20AC: the device receives one byte per character, up to U+00FF"},
        {"data set mnemonic with a control character", dataSetOf({{DsMnemonic, QStringLiteral("\x7f\x1f")}}),
            row + " Mnemonic holds the character U+001F, which the access file cannot store"},
        {"member reference above U+00FF", dataSetOf({}, {{{MReference, QStringLiteral("IED1LD0/GGIO1.AnIn\u20ac.mag.i")}}}),
            member + " Reference holds the character U+20AC: the device receives one byte per character, up to U+00FF"},
        {"member mnemonic above U+00FF", dataSetOf({}, {{{MMnemonic, QStringLiteral("\u20ac")}}}), {}},
        {"member mnemonic with a control character", dataSetOf({}, {{{MMnemonic, QStringLiteral("\x02")}}}),
            member + " Mnemonic holds the character U+0002, which the access file cannot store"},
    };
    TextTable texts;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccessFileModel model;
        model.dataSets.push_back(c.dataSet);
        const Problems problems = checkAccessRows(model, u'.', texts);
        EXPECT_EQ(problems.empty() ? QString() : message(problems.front().what, texts), c.expected);
        EXPECT_LE(problems.size(), 1u);
    }
}

TEST(AccessValidation, EveryProblemIsListedInTheWindowsOrderWithRowAndColumn)
{
    using namespace AccessItem;
    AccessFileModel model;
    const std::vector<QString> valid = {"0", "FLOAT32", "MX", "LD0/MMXU1.TotW.mag.f", "0", "4", "192.168.0.10", "102", "Y", "N",
        "Y", "500", "10", "0", "Read", "None", "1", ""};
    model.variables.push_back(itemOf<StoredVariable>(valid, {{Port, "99999"}, {Position, "70000"}}));
    model.variables.push_back(itemOf<StoredVariable>(valid, {}));
    model.variables.push_back(itemOf<StoredVariable>(valid, {{ReadWrite, ""}}));
    model.dataSets.push_back(dataSetOf({{DsPort, ""}}, {{}, {{MPosition, "abc"}}}));
    TextTable texts;
    EXPECT_EQ(lines(checkAccessRows(model, u',', texts), texts),
        QStringList({"row 1: Port: Error row 1!! Port must be between 0 and 65535",
            "row 1: Position: Error row 1!! Position must be between 0 and 1399",
            "row 3: ReadWrite: Error row 3!! R/W: select Read or Write",
            "DataSet row 1: Port: Error DataSet row 1!! Port must be between 0 and 65535",
            "DataSet row 1, member 2: Position: Error DataSet row 1, member 2!! Position must be between 0 and 1399"}));
}

TEST(AccessValidation, TheWindowsListsAreCheckedAsTheyWouldBeSaved)
{
    DataAttribute quality{"IED1LD0/XCBR1.Pos.q", "ST", "Quality", "q", {}};
    DataAttribute member{"IED1LD0/GGIO1.AnIn1.mag.i", "MX", "INT32", "i", {}};
    // The device whose model holds the data set, as the access list's device 0.
    AccessList access;
    access.devices.push_back(std::make_unique<Ied>());
    auto& node = access.devices[0]
                     ->logicalDevices.emplace_back(std::make_unique<LogicalDevice>())
                     ->logicalNodes.emplace_back(std::make_unique<LogicalNode>());
    DataSet& dataSet = *node->dataSets.emplace_back(std::make_unique<DataSet>());
    dataSet.reference = QStringLiteral("IED1LD0/LLN0.DS1");
    dataSet.attributes = {&member, &member};
    const int row = addVariable(access.variableGrid, quality, 0);
    // Add Var chooses explicitly what the build would otherwise take silently.
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::ReadWrite, row), "Read");
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::StartBit, row), "0");
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::Conversion, row), "None");
    for (auto [col, text] : Cells{{VariableColumn::IpAddress, " 10.0.0.3 "}, {VariableColumn::Port, "102"},
             {VariableColumn::Position, "1"}, {VariableColumn::MultFactor, "None"}})
        access.variableGrid.setCell(col, row, text);
    addDataSet(access, dataSet, 0);
    const auto& members = access.dataSets.front()->members;
    EXPECT_EQ(members[1]->bitAddress, "0");
    EXPECT_EQ(members[1]->conversion, "None");
    for (auto [col, text] :
        Cells{{DataSetColumn::IpAddress, "10.0.0.4"}, {DataSetColumn::Port, "102"}, {DataSetColumn::Time, "500"}})
        access.dataSetGrid.setCell(col, 1, text);
    members[0]->position = "2";

    TextTable texts;
    EXPECT_EQ(message(validateAccessList(access, u'.', texts), texts),
        "Error DataSet row 1, member 2!! Position must be between 0 and 1399");
    members[1]->position = "3";
    EXPECT_TRUE(validateAccessList(access, u'.', texts).ok);

    EXPECT_TRUE(trimIpAddresses(access));
    EXPECT_EQ(access.variableGrid.cell(VariableColumn::IpAddress, row), "10.0.0.3");
    EXPECT_FALSE(trimIpAddresses(access));
}
