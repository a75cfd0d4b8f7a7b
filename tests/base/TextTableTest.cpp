#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(TextTable, BuiltinTextsFillEveryBlockAndBlanksElsewhere)
{
    TextTable t;
    EXPECT_EQ(t[0], "Begin");
    EXPECT_EQ(t[9], "None Configuration Opened ");
    EXPECT_EQ(t[18], "Error! Project not Valid");
    EXPECT_EQ(t[306], " / ");
    EXPECT_EQ(t[400], "Set Communication");
    EXPECT_EQ(t[716], "Error EtherNet/IP!! Number Byte Input must be between 0 and ");
    EXPECT_EQ(t[1036].isEmpty(), false);
    EXPECT_EQ(t[1252], "Error row ");
    EXPECT_EQ(t[31], " ");
    EXPECT_EQ(t[1499], " ");
    for (int i = 0; i < TextTable::size; ++i)
        EXPECT_FALSE(t[i].isEmpty()) << i;
}

TEST(TextTable, LanguageLines)
{
    struct Case {
        QString line;
        int index; // -1: skipped
        QString text;
    };
    const Case cases[] = {
        {"STR0013 = Optionen /#/ icon button", 13, "Optionen"},
        {u"STR0306 = \u00B6 / \u00B6"_qs, 306, " / "},
        {"STR0013=Optionen", 1, "Optionen"}, // the character before "=" is never in the index
        {u"STR0009 = \u00B6\u00B6"_qs, 9, ""},
        {"STR0013 =", -1, ""},
        {"STR0013 =    ", -1, ""},
        {"   STR0020 = Set   \t", 20, "Set"},
        {"STR1500 = later windows", 1500, "later windows"},
        {"STR3999 = last", 3999, "last"},
        {"STR4000 = too far", -1, ""},
        {"STR-001 = negative", -1, ""},
        {"STR 0x0A = hex", 10, "hex"},
        {"str0013 = small letters", -1, ""},
        {"[Title]", -1, ""},
        {"", -1, ""},
        {"STR0013 no equals", -1, ""},
        {"STRabc = letters", -1, ""},
        {"STR0014 = a = b", 14, "a = b"},
        {u"STR0015 = \u00B6  keep  \u00B6 after"_qs, 15, "  keep  "},
        {u"STR0016 = keep  \u00B6"_qs, 16, "keep  "},
        {u"STR0017 = \u00B6 blanks /#/ \u00B6"_qs, 17, " blanks"}, // comment cut first, then the pilcrow
        {"STR0018 = /#/ only a comment", -1, ""},
    };
    for (const auto& c : cases) {
        const auto parsed = parseLanguageLine(c.line);
        if (c.index < 0) {
            EXPECT_FALSE(parsed.has_value()) << c.line.toStdString();
        } else {
            ASSERT_TRUE(parsed.has_value()) << c.line.toStdString();
            EXPECT_EQ(parsed->index, c.index) << c.line.toStdString();
            EXPECT_EQ(parsed->text, c.text) << c.line.toStdString();
        }
    }
}

TEST(TextTable, DecodesByByteOrderMarkElseWindows1252)
{
    const QString expected = u"STR0013 = Caf\u00E9 \u20AC"_qs;
    QByteArray utf16le("\xFF\xFE"), utf16be("\xFE\xFF");
    for (QChar c : expected) {
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    EXPECT_EQ(decodeLanguageFile("\xEF\xBB\xBF" + expected.toUtf8()), expected);
    EXPECT_EQ(decodeLanguageFile(utf16le), expected);
    EXPECT_EQ(decodeLanguageFile(utf16be), expected);
    EXPECT_EQ(decodeLanguageFile("STR0013 = Caf\xE9 \x80"), expected);
}

TEST(TextTable, ReadsEveryLineEndingAndLaterLinesWin)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Test.lng");
    writeTestFile(path, "Title\rSTR0001 = one\nSTR0002 = two\r\nSTR0003 = three\rSTR0001 = uno");
    TextTable t;
    ASSERT_TRUE(t.readLanguageFile(path));
    EXPECT_EQ(t[1], "uno");
    EXPECT_EQ(t[2], "two");
    EXPECT_EQ(t[3], "three");
    EXPECT_EQ(t[4], "Step 4");
    EXPECT_FALSE(t.readLanguageFile(dir.filePath("missing.lng")));
}

TEST(TextTable, LoadLanguageRestoresEnglishBeforeEachLanguage)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Complete.lng"), "STR0000 = Anfang\nSTR0001 = Schritt 1\n");
    writeTestFile(dir.filePath("Partial.lng"), "STR0001 = Passo 1\n");
    TextTable t;
    QString name = "Complete";
    t.loadLanguage(dir.path(), name);
    EXPECT_EQ(t[0], "Anfang");
    name = "Partial";
    t.loadLanguage(dir.path(), name);
    EXPECT_EQ(name, "Partial");
    EXPECT_EQ(t[0], "Begin"); // nothing of the first language is left behind
    EXPECT_EQ(t[1], "Passo 1");
}

TEST(TextTable, MissingLanguageFallsBackToEnglish)
{
    QTemporaryDir dir;
    TextTable t;
    QString name = "Klingon";
    t.loadLanguage(dir.path(), name);
    EXPECT_EQ(name, "English");
    EXPECT_EQ(t[0], "Begin");

    writeTestFile(dir.filePath("English.lng"), "STR0000 = Start\n");
    name = "";
    t.loadLanguage(dir.path(), name);
    EXPECT_EQ(name, "English");
    EXPECT_EQ(t[0], "Start");

    // A language file that exists but cannot be read counts as missing.
    QDir(dir.path()).mkdir("Broken.lng");
    name = "Broken";
    t.loadLanguage(dir.path(), name);
    EXPECT_EQ(name, "English");
    EXPECT_EQ(t[0], "Start");
}

// A line longer than the bound is skipped whole, one at the bound is read; lines after the
// last one counted set nothing. A 10 MB line costs a scan, not a copy per step.
TEST(TextTable, LanguageFileBounds)
{
    struct Case {
        const char* name;
        QByteArray content;
        int index;
        QString expected;
    };
    const QByteArray prefix = "STR0005 = ";
    const QByteArray atBound = prefix + QByteArray(TextTable::maxLineLength - prefix.size(), 'a');
    const QByteArray overBound = atBound + 'a';
    QByteArray manyLines;
    for (int i = 0; i < TextTable::maxLines - 1; ++i)
        manyLines += "x\n";
    const Case cases[] = {
        {"line at the bound", "STR0004 = four\n" + atBound + "\n", 5, QString(atBound.mid(prefix.size()))},
        {"line one over the bound", overBound + "\nSTR0004 = four", 5, TextTable::builtinText(5)},
        {"10 MB line", "STR0005 = " + QByteArray(10'000'000, 'b') + "\nSTR0004 = four", 5, TextTable::builtinText(5)},
        {"lines after a long one still read", "STR0005 = " + QByteArray(10'000'000, 'b') + "\nSTR0004 = four", 4, "four"},
        {"last line counted", manyLines + "STR0004 = four\nSTR0005 = five", 4, "four"},
        {"first line not counted", manyLines + "STR0004 = four\nSTR0005 = five", 5, TextTable::builtinText(5)},
        {"CR LF counts once", manyLines.replace("\n", "\r\n") + "STR0004 = four\r\nSTR0005 = five", 4, "four"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("Bounds.lng");
        writeTestFile(path, c.content);
        TextTable t;
        ASSERT_TRUE(t.readLanguageFile(path));
        EXPECT_EQ(t[c.index], c.expected);
    }
}
