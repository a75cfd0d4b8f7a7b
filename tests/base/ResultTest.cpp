#include "base/Result.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include <gtest/gtest.h>

TEST(Result, PlaceholdersAreFilledInOnePass)
{
    struct Case {
        const char* text;
        QStringList args;
        const char* filled;
    };
    const Case cases[] = {
        {"Cannot write %1: %2", {"C:\\a%2b", "full"}, "Cannot write C:\\a%2b: full"}, // a value's "%2" stays
        {"%2 before %1", {"one", "two"}, "two before one"},
        {"%1 and %3", {"one"}, "one and %3"}, // no value: the placeholder stays
        {"100% of %1%", {"x"}, "100% of x%"},
        {"%10", {"a"}, "a0"},
        {"", {"a"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillPlaceholders(QString::fromUtf8(c.text), c.args), QString::fromUtf8(c.filled)) << c.text;
}

TEST(Result, NumberedErrorKeepsItsEnglishTextAndFollowsTheTable)
{
    const Result r = Result::failed(Text::ErrorCannotWrite, {"bank1.bin", "disk full"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(englishMessage(r), "Cannot write bank1.bin: disk full");
    TextTable texts;
    EXPECT_EQ(texts.message(r), englishMessage(r));
    texts.set(Text::ErrorCannotWrite, QStringLiteral("Impossibile scrivere %1 (%2)"));
    EXPECT_EQ(texts.message(r), "Impossibile scrivere bank1.bin (disk full)");
    // A translation that leaves out a placeholder loses its value, as the built-in text decides.
    texts.set(Text::ErrorCannotWrite, QStringLiteral("Impossibile scrivere"));
    EXPECT_EQ(texts.message(r), "Impossibile scrivere");

    // A text written without placeholders is followed by its value.
    const Result row = Result::failed(Text::ErrorRow, {"3: bad"});
    EXPECT_EQ(englishMessage(row), "Error row 3: bad");
    texts.set(Text::ErrorRow, QStringLiteral("Errore riga "));
    EXPECT_EQ(texts.message(row), "Errore riga 3: bad");
    EXPECT_EQ(texts.message(Result::success()), "");
}
