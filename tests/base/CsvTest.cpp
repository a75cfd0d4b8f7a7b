#include "base/Csv.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(Csv, WritesWhatSpreadsheetsOpenAndReadsItBack)
{
    struct Case {
        const char* name;
        QChar separator;
        std::vector<QStringList> records;
        QByteArray written; // after the BOM
    };
    const Case cases[] = {
        {"plain, comma", u',', {{"a", "b"}, {"1", "2"}}, "a,b\r\n1,2\r\n"},
        {"decimal comma kept bare beside ;", u';', {{"Molt Fact", "x"}, {"0,5", ""}}, "Molt Fact;x\r\n0,5;\r\n"},
        {"separator inside a value is quoted", u',', {{"h"}, {"0,5"}}, "h\r\n\"0,5\"\r\n"},
        {"quotes doubled", u';', {{"h", "g"}, {R"(say "hi")", "x"}}, "h;g\r\n\"say \"\"hi\"\"\";x\r\n"},
        {"line breaks inside a value", u';', {{"h", "g"}, {"one\ntwo", "z"}}, "h;g\r\n\"one\ntwo\";z\r\n"},
        {"non-ASCII mnemonic", u';', {{"Mnemonic", "N"}, {u"Temperatur \u00FCber 40 \u00B0C \u20AC"_qs, "1"}},
            "Mnemonic;N\r\nTemperatur \xC3\xBC"
            "ber 40 \xC2\xB0"
            "C \xE2\x82\xAC;1\r\n"},
        {"empty fields keep their places", u',', {{"a", "b", "c"}, {"", "", ""}}, "a,b,c\r\n,,\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = writeCsv(c.records, c.separator);
        EXPECT_EQ(bytes, "\xEF\xBB\xBF" + c.written);
        CsvTable table;
        ASSERT_TRUE(readCsv(bytes, table));
        EXPECT_EQ(table.separator, c.separator);
        ASSERT_EQ(table.records.size(), c.records.size());
        for (size_t i = 0; i < c.records.size(); ++i)
            EXPECT_EQ(table.records[i].fields, c.records[i]) << c.name << " record " << i;
    }
}

TEST(Csv, ReadsFilesOfOtherWriters)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QChar separator;
        std::vector<QStringList> records;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {"no BOM, LF only, last line without break", "IED;Reference\nA;B", u';', {{"IED", "Reference"}, {"A", "B"}}, {1, 2}},
        {"separator from the header, not from the data", "IED,Reference\nA;x,B", u',', {{"IED", "Reference"}, {"A;x", "B"}},
            {1, 2}},
        {"a quoted ; in the header does not count", "\"a;b\",c,d\n1,2,3", u',', {{"a;b", "c", "d"}, {"1", "2", "3"}}, {1, 2}},
        {"tab separated", "a\tb\n1\t2\n", u'\t', {{"a", "b"}, {"1", "2"}}, {1, 2}},
        {"blank lines skipped, line numbers kept", "a;b\r\n\r\n1;2\r\n", u';', {{"a", "b"}, {"1", "2"}}, {1, 3}},
        // Inside quotes every character is kept as it is, so that a value round-trips byte for byte.
        {"a record over two lines starts where it starts", "a;b\n\"x\r\ny\";2\n3;4\n", u';',
            {{"a", "b"}, {"x\r\ny", "2"}, {"3", "4"}}, {1, 2, 4}},
        {"a lone CR inside quotes", "a;b\n\"\rx\";2\n", u';', {{"a", "b"}, {"\rx", "2"}}, {1, 2}},
        {"CR line ends", "a;b\r1;2\r", u';', {{"a", "b"}, {"1", "2"}}, {1, 2}},
        {"Windows-1252 without BOM",
            "a;b\n\xFC"
            "ber;\x80\n",
            u';', {{"a", "b"}, {u"\u00FCber"_qs, u"\u20AC"_qs}}, {1, 2}},
        {"UTF-16 with BOM",
            QByteArray("\xFF\xFE"
                       "a\0;\0b\0",
                8),
            u';', {{"a", "b"}}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CsvTable table;
        ASSERT_TRUE(readCsv(c.bytes, table));
        EXPECT_EQ(table.separator, c.separator);
        ASSERT_EQ(table.records.size(), c.records.size());
        for (size_t i = 0; i < c.records.size(); ++i) {
            EXPECT_EQ(table.records[i].fields, c.records[i]) << c.name << " record " << i;
            EXPECT_EQ(table.records[i].line, c.lines[i]) << c.name << " record " << i;
        }
    }
}

TEST(Csv, QuoteLeftOpenNamesItsLine)
{
    CsvTable table;
    const Result read = readCsv("a;b\n1;\"open\n2;3\n", table);
    EXPECT_FALSE(read);
    EXPECT_EQ(englishMessage(read), "line 2: a quoted value is not closed");
    EXPECT_EQ(csvSeparatorFor(u','), u';');
    EXPECT_EQ(csvSeparatorFor(u'.'), u',');
}
