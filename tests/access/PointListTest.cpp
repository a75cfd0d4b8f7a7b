#include "scl/SclTestData.h"
#include "access/core/AccessFile.h"
#include "access/core/AccessOperations.h"
#include "access/core/PointList.h"
#include "scl/core/SclReader.h"
#include "base/Csv.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// An access list over two devices read from the test SCL, with variables and data sets whose
// cells hold what a point list must carry through: separators, quotes, line breaks, non-ASCII.
struct Mapping {
    QTemporaryDir dir;
    AccessList access;
    TextTable texts;

    // With `newMember`, DS1 holds TotW.q, Pos.stVal and Pos.q; else TotW.q and Pos.q.
    explicit Mapping(const QStringList& ieds = {"IED1", "IED2"}, bool newMember = false)
    {
        for (const QString& ied : ieds) {
            const QString file = dir.filePath(QStringLiteral("IED%1.icd").arg(access.devices.size() + 1));
            writeTestFile(file, testScl(ied, newMember));
            std::unique_ptr<Ied> device;
            if (!readSclFile(file, {}, device))
                qFatal("cannot read the test SCL");
            device->fileName = QFileInfo(file).fileName();
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
    DataAttribute& stVal(int i)
    {
        return *device(i).logicalDevices[0]->findLogicalNode("XCBR")->findDataObject("Pos")->findAttribute("stVal");
    }

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
        const QByteArray before = m.saved();

        const QByteArray csv = exportPointList(m.access, decimal);
        EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
        CsvTable table;
        ASSERT_TRUE(readCsv(csv, table));
        EXPECT_EQ(table.separator, decimal == u',' ? u';' : u',');
        EXPECT_EQ(table.records.front().fields, pointListHeadings());
        // Three variables, then the members of each data set in order.
        ASSERT_EQ(table.records.size(), 1u + 3 + 2 + 2 + 2);
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
        {"IED1;IED1LD0/MMXU1.TotW.q;IED1LD0/LLN0.DS9;127.0.0.1;102;7;;", "IED1LD0/LLN0.DS9 is not a data set of IED1"},
        {"IED1;IED1LD0/MMXU1.TotW.t;IED1LD0/LLN0.DS1;127.0.0.1;102;7;;",
            "IED1LD0/MMXU1.TotW.t is not a member of data set IED1LD0/LLN0.DS1"},
        {"IED1;IED1LD0/MMXU1.TotW.mag.f;;127.0.0.1;102;9;None;", ""},
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
    EXPECT_EQ(result.variableGrid.rowCount(), 3);
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::NumByte, 1), "4");
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::Position, 1), "5");
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::Position, 2), "9");
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::OnChange, 1), "N"); // no such column: as Add Var fills it
    EXPECT_TRUE(result.dataSets.empty());

    EXPECT_EQ(m.import("Reference;Position\r\nx;1\r\n", result).textNumber, Text::ImportNoColumns);
    EXPECT_EQ(m.import("", result).textNumber, Text::ImportNoColumns);
    EXPECT_FALSE(m.import("IED;Reference\r\n\"IED1;x\r\n", result));
}

// The lines of a data set give one entry only when they give its members exactly, in the
// order of the SCL file: else the next load would drop members, and the device would send them
// into other places than the list says. DS1 holds TotW.q, Pos.stVal and Pos.q.
TEST(PointList, ADataSetComesInWithExactlyItsMembersInTheirOrderOrNotAtAll)
{
    const QString q = "IED1LD0/MMXU1.TotW.q", stVal = "IED1LD0/XCBR1.Pos.stVal", posQ = "IED1LD0/XCBR1.Pos.q",
                  ds = "IED1LD0/LLN0.DS1";
    const auto lacks = [&](const QString& member) { return "data set " + ds + " lacks its member " + member; };
    const auto mustBe = [&](int number, const QString& member, const QString& found) {
        return QStringLiteral("data set %1: member %2 must be %3, not %4").arg(ds).arg(number).arg(member, found);
    };
    struct Line {
        QString reference;
        QString position = "7";
    };
    struct Case {
        const char* name;
        std::vector<Line> lines;
        QStringList problems; // one per line, empty when the line is used
        std::vector<int> entries; // members of each data set entry made
    };
    const Case cases[] = {
        {"all members in order", {{q}, {stVal}, {posQ}}, {"", "", ""}, {3}},
        {"one member left out", {{q}, {posQ}}, {lacks(stVal), lacks(stVal)}, {}},
        {"first member missing", {{stVal}, {posQ}}, {lacks(q), lacks(q)}, {}},
        {"members in another order", {{stVal}, {q}, {posQ}}, QStringList(3, mustBe(1, q, stVal)), {}},
        {"last two swapped", {{q}, {posQ}, {stVal}}, QStringList(3, mustBe(2, stVal, posQ)), {}},
        {"first line fails its own check", {{q, "1400"}, {stVal}, {posQ}},
            {"Position must be between 0 and 1399", lacks(q), lacks(q)}, {}},
        {"a line of no member in between", {{q}, {"IED1LD0/MMXU1.TotW.t"}, {stVal}, {posQ}},
            {"", "IED1LD0/MMXU1.TotW.t is not a member of data set " + ds, "", ""}, {3}},
        {"listed twice in a row", {{q}, {stVal}, {posQ}, {q}, {stVal}, {posQ}}, QStringList(6, QString()), {3, 3}},
        {"a member twice begins the next entry", {{q}, {q}, {stVal}, {posQ}}, {lacks(stVal), "", "", ""}, {3}},
        {"no member line at all", {{""}}, {lacks(q)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mapping m({"IED1"}, true);
        QByteArray csv = "IED,DataSet,Reference,Position,IP Address,Port,Time (ms)\n";
        for (const Line& l : c.lines)
            csv += "IED1," + ds.toUtf8() + "," + l.reference.toUtf8() + "," + l.position.toUtf8() + ",127.0.0.1,102,1000\n";
        PointListImport result;
        ASSERT_TRUE(m.import(csv, result));
        QStringList expected;
        for (qsizetype i = 0; i < c.problems.size(); ++i)
            if (!c.problems[i].isEmpty())
                expected << QStringLiteral("Line %1: %2").arg(i + 2).arg(c.problems[i]);
        EXPECT_EQ(result.unusable, expected);
        std::vector<int> entries;
        for (const auto& entry : result.dataSets) {
            entries.push_back(static_cast<int>(entry->members.size()));
            for (size_t k = 0; k < entry->members.size(); ++k)
                EXPECT_EQ(entry->members[k]->attribute, m.dataSet(0).attributes[k]);
        }
        EXPECT_EQ(entries, c.entries);
        EXPECT_EQ(result.dataSetGrid.isEmpty() ? 0 : result.dataSetGrid.rowCount() - 1, static_cast<int>(c.entries.size()));
    }
}

TEST(PointList, ADataSetListedTwiceInARowStaysTwoEntries)
{
    Mapping m;
    const QByteArray csv = "IED,DataSet,Reference,Position,IP Address,Port,Time (ms)\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/MMXU1.TotW.q,1,127.0.0.1,102,1000\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/XCBR1.Pos.q,2,127.0.0.1,102,1000\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/MMXU1.TotW.q,3,127.0.0.1,102,1000\n"
                           "IED1,IED1LD0/LLN0.DS1,IED1LD0/XCBR1.Pos.q,5,127.0.0.1,102,1000\n"
                           "IED2,IED2LD0/LLN0.DS1,IED2LD0/MMXU1.TotW.q,4,127.0.0.1,102,1000\n"
                           "IED2,IED2LD0/LLN0.DS1,IED2LD0/XCBR1.Pos.q,6,127.0.0.1,102,1000\n";
    PointListImport result;
    ASSERT_TRUE(m.import(csv, result));
    EXPECT_TRUE(result.unusable.isEmpty());
    ASSERT_EQ(result.dataSets.size(), 3u);
    EXPECT_EQ(result.dataSets[0]->members.size(), 2u);
    EXPECT_EQ(result.dataSets[1]->members[0]->position, "3");
    EXPECT_EQ(result.dataSets[2]->members[0]->position, "4");
    EXPECT_EQ(result.dataSetGrid.cell(DataSetColumn::Index, 3), "1");
    EXPECT_EQ(result.dataSetGrid.cell(DataSetColumn::GooseName, 1), "GC1");
    EXPECT_EQ(result.dataSetGrid.cell(DataSetColumn::EnGoose, 1), "Y");
}

// What a spreadsheet would run as a formula goes out behind an apostrophe, in text columns only,
// and comes back without it: the round trip gives the same access file byte for byte. Names from
// the SCL file are marked as well.
TEST(PointList, FormulaTextIsMarkedOnExportAndUnmarkedOnImport)
{
    Mapping m({"=IED"});
    DataAttribute& da = m.leaf(0, "TotW", "mag");
    const QStringList mnemonics
        = {"=1+2", "+cmd", "-minus", "@SUM(A1)", "\tTab", "\rCR", "'=quoted", "''+twice", "'plain", "plain", "a=b", "'", ""};
    for (const QString& mnemonic : mnemonics)
        m.addFilled(da, 0, QString::number(4 * m.access.variableGrid.rowCount()), mnemonic);
    m.access.variableGrid.setCell(VariableColumn::MultFactor, 1, "-0,5"); // a number: never marked
    const QByteArray before = m.saved();

    const QByteArray csv = exportPointList(m.access, u',');
    CsvTable table;
    ASSERT_TRUE(readCsv(csv, table));
    const QStringList& first = table.records[1].fields;
    EXPECT_EQ(first[3], "'=IEDLD0/MMXU1.TotW.mag.f"); // Reference
    EXPECT_EQ(first[18], "'=IED"); // IED
    EXPECT_EQ(first[16], "-0,5"); // Molt Fact
    QStringList written;
    for (size_t i = 1; i < table.records.size(); ++i)
        written << table.records[i].fields[17];
    EXPECT_EQ(written,
        QStringList({"'=1+2", "'+cmd", "'-minus", "'@SUM(A1)", "'\tTab", "'\rCR", "''=quoted", "'''+twice", "'plain", "plain",
            "a=b", "'", ""}));

    clearAccessList(m.access);
    Mapping fresh({"=IED"});
    PointListImport result;
    ASSERT_TRUE(fresh.import(csv, result, u','));
    EXPECT_EQ(result.unusable, QStringList());
    applyPointList(fresh.access, result);
    EXPECT_EQ(fresh.saved(), before);

    // A list written before the mark: its text comes in as it stands.
    PointListImport old;
    ASSERT_TRUE(fresh.import("IED;Reference;IP Address;Port;Position;Molt Fact;Mnemonic\n"
                             "=IED;=IEDLD0/MMXU1.TotW.mag.f;127.0.0.1;102;8;None;=SUM(A1)\n"
                             "=IED;=IEDLD0/MMXU1.TotW.mag.f;127.0.0.1;102;12;None;'apostrophe\n",
        old, u','));
    EXPECT_EQ(old.unusable, QStringList());
    EXPECT_EQ(old.variableGrid.cell(VariableColumn::Mnemonic, 1), "=SUM(A1)");
    EXPECT_EQ(old.variableGrid.cell(VariableColumn::Mnemonic, 2), "'apostrophe");
}

// What no project file can hold, and headings that leave a column in doubt, stop the import
// with the line and the column; nothing is read.
TEST(PointList, BrokenFilesAreRefusedWithLineAndColumn)
{
    Mapping m;
    // Little-endian UTF-16 with its byte-order mark, unit by unit, whatever the units are.
    const auto utf16 = [](const QString& text) {
        QByteArray bytes("\xFF\xFE");
        for (QChar c : text)
            bytes += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
        return bytes;
    };
    const QByteArray header = "IED,Reference,IP Address,Port,Position,Molt Fact,Mnemonic\n";
    const QByteArray good = "IED1,IED1LD0/MMXU1.TotW.q,127.0.0.1,102,5,None,";
    struct Case {
        const char* name;
        QByteArray csv;
        QString error; // empty: read, every line usable
    };
    const Case cases[] = {
        {"NUL in an address", header + "IED1,IED1LD0/MMXU1.TotW.q,10.0" + '\0' + ".0.1,102,5,None,\n",
            "line 2, column 3: the character U+0000 is not allowed here"},
        {"NUL in a mnemonic", header + good + "ab" + '\0' + "cd\n", "line 2, column 7: the character U+0000 is not allowed here"},
        {"escape character", header + good + "\x1B[0m\n", "line 2, column 7: the character U+001B is not allowed here"},
        {"delete character", header + good + "x\x7F\n", "line 2, column 7: the character U+007F is not allowed here"},
        {"C1 control of a Windows-1252 file", header + good + "\x81\n",
            "line 2, column 7: the character U+0081 is not allowed here"},
        {"not a character", header + good + "\xEF\xBF\xBF\n", "line 2, column 7: the character U+FFFF is not allowed here"},
        {"invalid UTF-8 after a BOM", "\xEF\xBB\xBF" + header + good + "\xC3\x28\n",
            "line 2, column 7: the text is not valid UTF-8"},
        {"lone surrogate in UTF-16", utf16(u"IED,Reference\n\xD800"_qs), "line 2, column 1: the text is not valid UTF-16"},
        {"odd number of bytes in UTF-16", utf16(u"IED,Reference\nIED1,x"_qs).chopped(1),
            "line 2, column 2: the text is not valid UTF-16"},
        {"tab in a number", header + "IED1,IED1LD0/MMXU1.TotW.q,127.0.0.1,\"1\t02\",5,None,\n",
            "line 2, column 4: the character U+0009 is not allowed here"},
        {"line break in a number", header + "IED1,IED1LD0/MMXU1.TotW.q,127.0.0.1,102,\"5\n\",None,\n",
            "line 2, column 5: the character U+000A is not allowed here"},
        {"a column twice", "IED,Reference,Position,IED\n", "line 1, column 4: the column IED is there twice"},
        {"a column twice in another case", "Reference,IED, reference\n", "line 1, column 3: the column Reference is there twice"},
        // Tab and line breaks are text; columns that are no point-list columns are left alone.
        {"tab and line break in text", header + good + "\"a\tb\r\nc\"\n", ""},
        {"unknown columns twice", "Note,IED,Reference,Note\nx,IED1,IED1LD0/MMXU1.TotW.q,y\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointListImport result;
        const Result read = m.import(c.csv, result);
        EXPECT_EQ(read.ok, c.error.isEmpty()) << englishMessage(read).toStdString();
        if (!c.error.isEmpty()) {
            EXPECT_EQ(englishMessage(read), c.error);
        }
    }
    PointListImport result;
    ASSERT_TRUE(m.import(header + good + "\"a\tb\r\nc\"\n", result));
    EXPECT_EQ(result.variableGrid.cell(VariableColumn::Mnemonic, 1), "a\tb\r\nc");
}

TEST(PointList, AListLargerThanImportReadsIsNotWritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("points.csv");
    writeTestFile(file, "old");
    const Result refused = writePointList(file, "0123456789A", ReadLimit{10, "a point list"});
    EXPECT_FALSE(refused);
    EXPECT_EQ(englishMessage(refused),
        "Cannot write " + QDir::toNativeSeparators(file)
            + ": it would be larger than the 10 bytes a point list may have, and could not be read again");
    EXPECT_EQ(readTestFile(file), "old");
    EXPECT_TRUE(writePointList(file, "0123456789", ReadLimit{10, "a point list"}));
    EXPECT_EQ(readTestFile(file), "0123456789");
}
