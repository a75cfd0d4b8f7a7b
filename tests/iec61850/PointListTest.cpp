#include "iec61850/AccessTestData.h"
#include "iec61850/core/AccessFile.h"
#include "iec61850/core/AccessOperations.h"
#include "iec61850/core/PointList.h"
#include "iec61850/core/SclReader.h"
#include "base/Csv.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

// An access list over two devices read from the test SCL, with variables and data sets whose
// cells hold what a point list must carry through: separators, quotes, line breaks, non-ASCII.
struct Mapping {
    QTemporaryDir dir;
    AccessList access;
    TextTable texts;

    Mapping()
    {
        for (const char* ied : {"IED1", "IED2"}) {
            const QString file = dir.filePath(QString::fromLatin1(ied) + ".icd");
            writeTestFile(file, testScl(QString::fromLatin1(ied)));
            std::unique_ptr<Ied> device;
            if (!readSclFile(file, {}, device))
                qFatal("cannot read the test SCL");
            device->fileName = QString::fromLatin1(ied) + ".icd";
            access.devices.push_back(std::move(device));
        }
    }
    Ied& device(int i) { return *access.devices[static_cast<size_t>(i)]; }
    DataAttribute& leaf(int i, const char* dataObject, const char* name)
    {
        LogicalNode* ln = device(i).logicalDevices[0]->findLogicalNode(dataObject[0] == 'T' ? "MMXU" : "XCBR");
        DataAttribute* da = ln->findDataObject(QString::fromLatin1(dataObject))->findAttribute(QString::fromLatin1(name));
        return da->isLeaf() ? *da : *da->firstLeaf();
    }
    DataSet& dataSet(int i) { return *findDataSet(device(i), device(i).name + "LD0/LLN0.DS1"); }

    int addFilled(DataAttribute& da, int deviceIndex, const QString& position, const QString& mnemonic)
    {
        StringGrid& vars = access.variableGrid;
        const int row = addVariable(vars, da, deviceIndex);
        vars.setCell(VariableColumn::IpAddress, row, "127.0.0.1");
        vars.setCell(VariableColumn::Port, row, "102");
        vars.setCell(VariableColumn::OnTimer, row, "Y");
        vars.setCell(VariableColumn::Time, row, "500");
        vars.setCell(VariableColumn::Position, row, position);
        vars.setCell(VariableColumn::StartBit, row, "0");
        vars.setCell(VariableColumn::ReadWrite, row, "Read");
        vars.setCell(VariableColumn::Conversion, row, "None");
        vars.setCell(VariableColumn::MultFactor, row, "0,5");
        vars.setCell(VariableColumn::Mnemonic, row, mnemonic);
        return row;
    }

    void fill()
    {
        addFilled(leaf(0, "TotW", "mag"), 0, "10", u"Wirkleistung; \"gesamt\", in \u00B5W \u20AC"_qs);
        const int row = addFilled(leaf(1, "NamPlt", "vendor"), 1, "20", "two\nlines");
        access.variableGrid.setCell(VariableColumn::StartByte, row, "2");
        access.variableGrid.setCell(VariableColumn::NumByte, row, "12");
        addFilled(leaf(0, "TotW", "t"), 0, "40", "");
        for (int i : {1, 0, 1}) {
            const int dsRow = addDataSet(access, dataSet(i), i);
            access.dataSetGrid.setCell(DataSetColumn::IpAddress, dsRow, "127.0.0.2");
            access.dataSetGrid.setCell(DataSetColumn::Port, dsRow, "102");
            access.dataSetGrid.setCell(DataSetColumn::Time, dsRow, "1000");
            access.dataSetGrid.setCell(DataSetColumn::Mnemonic, dsRow, QStringLiteral("set %1, ok").arg(dsRow));
            int position = 100 * dsRow;
            for (auto& m : access.dataSets.back()->members) {
                m->position = QString::number(position += 4);
                m->multFactor = "1.5";
                m->mnemonic = u"\u00E9t\u00E9;"_qs;
            }
        }
        // A stored entry that lost its first member: the rest still goes out and comes back.
        access.dataSets[2]->members.erase(access.dataSets[2]->members.begin());
    }

    QByteArray saved()
    {
        const QString file = dir.filePath("IEC_61850_Client.xml");
        EXPECT_TRUE(saveAccessFile(access, file));
        return readTestFile(file);
    }
    Result import(const QByteArray& csv, PointListImport& result, QChar separator = u',')
    {
        return readPointList(csv, access, separator, texts, result);
    }
};

} // namespace

TEST(PointList, RoundTripGivesTheSameAccessFileWithEitherSeparator)
{
    for (QChar decimal : {u',', u'.'}) {
        Mapping m;
        m.fill();
        // A data set without members goes out as one line and comes back.
        addDataSet(m.access, m.dataSet(1), 1);
        m.access.dataSets.back()->members.clear();
        const QByteArray before = m.saved();

        const QByteArray csv = exportPointList(m.access, decimal);
        EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
        CsvTable table;
        ASSERT_TRUE(readCsv(csv, table));
        EXPECT_EQ(table.separator, decimal == u',' ? u';' : u',');
        EXPECT_EQ(table.records.front().fields, pointListHeadings());
        // Three variables, then members in order: 2 + 2 + 1, and the set without members.
        ASSERT_EQ(table.records.size(), 1u + 3 + 2 + 2 + 1 + 1);
        const auto& first = table.records[1].fields;
        EXPECT_EQ(first[18], "IED1");
        EXPECT_EQ(first.last(), "10-13");
        EXPECT_EQ(table.records[2].fields.last(), "20-31"); // Num Byte 12
        EXPECT_EQ(table.records[4].fields[19], "IED2LD0/LLN0.DS1");
        EXPECT_EQ(table.records[4].fields[3], "IED2LD0/MMXU1.TotW.q");

        clearAccessList(m.access); // every row removed, the devices stay
        Mapping fresh;
        PointListImport result;
        ASSERT_TRUE(fresh.import(csv, result, decimal));
        EXPECT_EQ(result.unusable, QStringList());
        EXPECT_EQ(result.lines, 9);
        applyPointList(fresh.access, result);
        EXPECT_EQ(fresh.saved(), before) << "separator " << QString(decimal).toStdString();
    }
}

TEST(PointList, LinesThatCannotBeUsedAreNamedByLine)
{
    Mapping m;
    const QByteArray header = "IED;Reference;DataSet;IP Address;Port;Position;Molt Fact;Unknown Column;Time (ms)\r\n";
    struct Case {
        const char* line;
        QString problem; // empty: usable
    };
    const Case cases[] = {
        {"IED1;IED1LD0/MMXU1.TotW.mag.f;;127.0.0.1;102;5;None;x", ""},
        {"IED9;IED1LD0/MMXU1.TotW.mag.f;;127.0.0.1;102;5;None;", "no IED named IED9 in the access list"},
        {"IED2;IED1LD0/MMXU1.TotW.mag.f;;127.0.0.1;102;5;None;", "IED1LD0/MMXU1.TotW.mag.f is not a data attribute of IED2"},
        {"IED1;IED1LD0/MMXU1.TotW.mag;;127.0.0.1;102;5;None;", "IED1LD0/MMXU1.TotW.mag is not a data attribute of IED1"},
        {"IED1;IED1LD0/MMXU1.TotW.q;;127.0.0.1;70000;5;None;", "Port must be between 0 and 65535"},
        {"IED1;IED1LD0/MMXU1.TotW.q;;127.0.0.1;102;1400;None;", "Position must be between 0 and 1399"},
        {"IED1;IED1LD0/XCBR1.Pos.q;IED1LD0/LLN0.DS1;127.0.0.1;102;7;;;1000", ""},
        // Data set lines meet the checks of the data set row and of the member.
        {"IED1;IED1LD0/MMXU1.TotW.q;IED1LD0/LLN0.DS1;127.0.0.1;102;1400;;;1000", "Position must be between 0 and 1399"},
        {"IED1;IED1LD0/MMXU1.TotW.q;IED1LD0/LLN0.DS1;;102;8;;;1000",
            "IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"IED1;IED1LD0/MMXU1.TotW.q;IED1LD0/LLN0.DS9;127.0.0.1;102;7;;", "IED1LD0/LLN0.DS9 is not a data set of IED1"},
        {"IED1;IED1LD0/MMXU1.TotW.t;IED1LD0/LLN0.DS1;127.0.0.1;102;7;;",
            "IED1LD0/MMXU1.TotW.t is not a further member of data set IED1LD0/LLN0.DS1"},
    };
    QByteArray csv = header;
    for (const Case& c : cases)
        csv += QByteArray(c.line) + "\r\n";
    PointListImport result;
    ASSERT_TRUE(m.import(csv, result));
    QStringList expected;
    int line = 1;
    for (const Case& c : cases) {
        ++line;
        if (!c.problem.isEmpty())
            expected << QStringLiteral("Line %1: %2").arg(line).arg(c.problem);
    }
    EXPECT_EQ(result.unusable, expected);
    EXPECT_EQ(result.usable(), 2);
    // The usable lines only, each a complete row; nothing changes until they are applied.
    EXPECT_TRUE(m.access.variableGrid.isEmpty());
    EXPECT_EQ(result.variableGrid.rowCount(), 2);
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::NumByte, 1), "4");
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::Position, 1), "5");
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::OnChange, 1), "N"); // no such column: as Add Var fills it
    ASSERT_EQ(result.dataSets.size(), 1u);
    EXPECT_EQ(result.dataSets[0]->members.size(), 1u);
    EXPECT_EQ(result.dataSets[0]->members[0]->reference(), "IED1LD0/XCBR1.Pos.q");

    EXPECT_EQ(m.import("Reference;Position\r\nx;1\r\n", result).textNumber, Text::ImportNoColumns);
    EXPECT_FALSE(m.import("IED;Reference\r\n\"IED1;x\r\n", result));
}

TEST(PointList, ADataSetListedTwiceInARowStaysTwoEntries)
{
    Mapping m;
    const QByteArray csv = "IED,DataSet,Reference,Position,IP Address,Port,Time (ms)\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/MMXU1.TotW.q,1,127.0.0.1,102,1000\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/XCBR1.Pos.q,2,127.0.0.1,102,1000\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/MMXU1.TotW.q,3,127.0.0.1,102,1000\n"
                           "IED2,IED2LD0/LLN0.DS1,IED2LD0/XCBR1.Pos.q,4,127.0.0.1,102,1000\n";
    PointListImport result;
    ASSERT_TRUE(m.import(csv, result));
    EXPECT_TRUE(result.unusable.isEmpty());
    ASSERT_EQ(result.dataSets.size(), 3u);
    EXPECT_EQ(result.dataSets[0]->members.size(), 2u);
    EXPECT_EQ(result.dataSets[1]->members.size(), 1u);
    EXPECT_EQ(result.dataSets[2]->members[0]->position, "4");
    EXPECT_EQ(result.dataSetGrid.cell(DataSetColumn::Index, 3), "1");
    EXPECT_EQ(result.dataSetGrid.cell(DataSetColumn::GooseName, 1), "GC1");
    EXPECT_EQ(result.dataSetGrid.cell(DataSetColumn::EnGoose, 1), "Y");
}
