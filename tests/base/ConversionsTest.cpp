#include "base/Conversions.h"
#include "base/Files.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(Common, SplitIpAddress)
{
    struct Case {
        const char* text;
        bool ok;
        std::array<QString, 4> parts;
    };
    const Case cases[] = {
        {" 10.0.0.1 ", true, {"10", "0", "0", "1"}},
        {"192.168.002.010", true, {"192", "168", "002", "010"}},
        {"192. 168 .2.205", true, {"192", "168", "2", "205"}},
        {"0.0.0.0", true, {"0", "0", "0", "0"}},
        {"255.255.255.255", true, {"255", "255", "255", "255"}},
        {"10.0.0", false, {}},
        {"10.0.0.1.5", false, {}},
        {"10.0..1", false, {}},
        {"256.1.1.1", false, {}},
        {"1.2.3.x", false, {}},
        {"1.2.3.-1", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::array<QString, 4> parts;
        EXPECT_EQ(splitIpAddress(QString::fromLatin1(c.text), parts), c.ok);
        if (c.ok) {
            EXPECT_EQ(parts, c.parts);
        }
    }
}

TEST(Common, ConvFloatAcceptsEitherSeparatorUnderBothLocales)
{
    struct Case {
        const char* text;
        bool ok;
        float value;
    };
    const Case cases[] = {
        {"2,5", true, 2.5f},
        {"2.5", true, 2.5f},
        {"0.5", true, 0.5f},
        {"-3", true, -3.0f},
        {" 7 ", true, 7.0f},
        {"1e3", true, 1000.0f},
        {"", false, 1.0f},
        {"1.000,5", false, 1.0f},
        {"1,000.5", false, 1.0f},
        {",5", true, 0.5f},
        {"-0,25", true, -0.25f},
        {"2,5,", false, 1.0f},
        {"abc", false, 1.0f},
        {"1e99", false, 1.0f},
    };
    for (const QChar sep : {QChar(u','), QChar(u'.')})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.text) + " with separator " + char(sep.toLatin1()));
            float value = 99;
            EXPECT_EQ(parseDecimal(QString::fromLatin1(c.text), sep, value), c.ok);
            EXPECT_FLOAT_EQ(value, c.value);
        }
}

TEST(Common, DecimalSeparatorFallsBackToComma)
{
    EXPECT_EQ(decimalSeparatorOf("."), u'.');
    EXPECT_EQ(decimalSeparatorOf(","), u',');
    EXPECT_EQ(decimalSeparatorOf("\u066B"), u',');
    EXPECT_EQ(decimalSeparatorOf(""), u',');
}

TEST(Common, GridEnterJumpMovesThroughTheDataCells)
{
    // A 4-column grid (number column + 3) with 3 rows (heading + 2).
    struct Case {
        bool enabled;
        int key;
        int col, row;
        int wantKey, wantCol, wantRow;
    };
    const Case cases[] = {
        {true, enterKey, 1, 1, 0, 2, 1}, // next column
        {true, enterKey, 3, 1, 0, 1, 2}, // last column: first data column of the next row
        {true, enterKey, 3, 2, 0, 1, 1}, // last cell: back to row 1
        {true, enterKey, 0, 2, 0, 0, 2}, // number column: consumed, no move
        {true, enterKey, 2, 0, 0, 2, 0}, // heading row: consumed, no move
        {false, enterKey, 1, 1, enterKey, 1, 1},
        {true, 'a', 1, 1, 'a', 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.col) + "," + std::to_string(c.row));
        int col = c.col, row = c.row;
        EXPECT_EQ(gridEnterJump(c.enabled, c.key, col, row, 4, 3), c.wantKey);
        EXPECT_EQ(col, c.wantCol);
        EXPECT_EQ(row, c.wantRow);
    }
    // A grid with a single data row stays on it.
    int col = 3, row = 1;
    gridEnterJump(true, enterKey, col, row, 4, 2);
    EXPECT_EQ(std::pair(col, row), std::pair(1, 1));
}

TEST(Common, GridAutoSizeOnlyOnTheHeadingWithTheOption)
{
    EXPECT_TRUE(gridAutoSizeColumn(true, 0));
    EXPECT_FALSE(gridAutoSizeColumn(true, 1));
    EXPECT_FALSE(gridAutoSizeColumn(false, 0));
}

TEST(Files, AtomicWriteReplacesOrReportsAndLeavesNoDebris)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bin");
    ASSERT_TRUE(writeFileAtomically(path, "first").ok);
    ASSERT_TRUE(writeFileAtomically(path, "second").ok);
    EXPECT_EQ(readTestFile(path), "second");

    // A target that cannot be replaced (here a folder of that name) fails with its name and
    // leaves neither a half-written file nor a temporary one behind.
    QDir(dir.path()).mkdir("taken");
    const Result failed = writeFileAtomically(dir.filePath("taken"), "third");
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(englishMessage(failed).contains("taken")) << englishMessage(failed).toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.bin"});

    const Result noFolder = writeFileAtomically(dir.filePath("nowhere/b.bin"), "x");
    EXPECT_FALSE(noFolder.ok);
}
