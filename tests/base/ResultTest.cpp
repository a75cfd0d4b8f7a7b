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
    EXPECT_EQ(r.message, "Cannot write bank1.bin: disk full");
    TextTable texts;
    EXPECT_EQ(r.text(texts), r.message);
    texts.set(Text::ErrorCannotWrite, QStringLiteral("Impossibile scrivere %1 (%2)"));
    EXPECT_EQ(r.text(texts), "Impossibile scrivere bank1.bin (disk full)");

    // The older forms: a text followed by its argument, and a plain message.
    texts.set(Text::ErrorNameEmpty, QStringLiteral("Empty: "));
    EXPECT_EQ(Result::textError(Text::ErrorNameEmpty, "x").text(texts), "Empty: x");
    EXPECT_EQ(Result::error("plain").text(texts), "plain");
}
