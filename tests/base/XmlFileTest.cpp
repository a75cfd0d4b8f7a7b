#include "base/XmlFile.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <QStringEncoder>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString messageOf(const Result& result)
{
    static const TextTable texts;
    return result.ok ? QString() : texts.message(result);
}

} // namespace

// The parser takes a character reference or a raw control character that XML 1.0 forbids
// without a word, and cuts a value short at "&#0;": every such file is refused with its line,
// element and attribute; what XML allows, or what only looks like a reference, still reads.
TEST(XmlFile, CharactersXmlDoesNotAllowAreRefusedWithTheirLine)
{
    struct Case {
        const char* name;
        QByteArray xml;
        const char* refused; // after "FILE: ", or null when the file reads
    };
    const Case cases[] = {
        {"vertical tab as a reference", "<R>\n<Item IPAddress=\"&#11;1.2.3.4\"/></R>",
            "line 2: the attribute IPAddress of Item holds the character &#11;, which XML does not allow"},
        {"NUL that would cut the value", "<R><Item Mnemonic=\"ab&#0;cd\"/></R>",
            "line 1: the attribute Mnemonic of Item holds the character &#0;, which XML does not allow"},
        {"NUL in hexadecimal", "<R><Item a=\"&#x0000;\"/></R>",
            "line 1: the attribute a of Item holds the character &#x0000;, which XML does not allow"},
        {"surrogate", "<R><Item a=\"&#xD800;\"/></R>",
            "line 1: the attribute a of Item holds the character &#xD800;, which XML does not allow"},
        {"U+FFFE", "<R><Item a=\"&#65534;\"/></R>",
            "line 1: the attribute a of Item holds the character &#65534;, which XML does not allow"},
        {"beyond U+10FFFF", "<R><Item a=\"&#x110000;\"/></R>",
            "line 1: the attribute a of Item holds the character &#x110000;, which XML does not allow"},
        {"digits that would wrap around", "<R><Item a=\"&#4294967306;\"/></R>",
            "line 1: the attribute a of Item holds the character &#4294967306;, which XML does not allow"},
        {"in text, third line", "<R>\n<V>\n1&#1;</V></R>", "line 3: V holds the character &#1;, which XML does not allow"},
        {"raw control character", "<R><Item a=\"x\x0By\"/></R>",
            "line 1: the attribute a of Item holds the character U+000B, which XML does not allow"},
        {"raw control character in a comment", "<R/><!-- \x01 -->",
            "line 1: #comment holds the character U+0001, which XML does not allow"},
        {"raw U+FFFF", "<R><V>\xEF\xBF\xBF</V></R>", "line 1: V holds the character U+FFFF, which XML does not allow"},
        {"allowed references", "<R a=\"&#9;&#xA;&#13;&#x20AC;&#x10FFFF;&#xFEFF;\">&#32;</R>", nullptr},
        {"what only looks like a reference", "<R a=\"&#;&#x;&#X41;&#12\">&amp;#0;</R>", nullptr},
        {"reference in a comment or CDATA is text", "<R><!-- &#0; --><![CDATA[&#11;]]></R>", nullptr},
        {"tab, line feed and carriage return", "<R a=\"\t\">\r\n\t</R>", nullptr},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("f.xml");
    const QString file = QDir::toNativeSeparators(path) + QStringLiteral(": ");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeTestFile(path, c.xml);
        pugi::xml_document doc;
        const Result loaded = loadXmlFile(path, doc);
        EXPECT_EQ(messageOf(loaded), c.refused ? file + QString::fromUtf8(c.refused) : QString());
        if (!loaded) {
            EXPECT_FALSE(doc.first_child()) << "nothing of a refused file is used";
        }
    }

    // A file in UTF-16, as a standard parser reads it, is checked the same way.
    QStringEncoder toUtf16(QStringEncoder::Utf16LE);
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + QByteArray(toUtf16(u"<R>\n\n<Item a=\"&#11;\"/></R>"));
    writeTestFile(path, utf16);
    pugi::xml_document doc;
    EXPECT_EQ(messageOf(loadXmlFile(path, doc)),
        file + "line 3: the attribute a of Item holds the character &#11;, which XML does not allow");
}

TEST(XmlFile, ValuesKeepALeadingByteOrderMark)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.xml");
    writeTestFile(path,
        "<R Position=\"&#xFEFF;5\" Raw=\"\xEF\xBB\xBF\xEF\xBB\xBF"
        "7\">&#xFEFF;x</R>");
    pugi::xml_document doc;
    ASSERT_TRUE(loadXmlFile(path, doc).ok);
    const pugi::xml_node root = doc.first_child();
    EXPECT_EQ(xmlToQString(root.attribute("Position").value()), QStringLiteral("\uFEFF5"));
    EXPECT_EQ(xmlToQString(root.attribute("Raw").value()), QStringLiteral("\uFEFF\uFEFF7"));
    EXPECT_EQ(xmlChildText(doc, "R"), QStringLiteral("\uFEFFx"));
}

// The writer would put "&#11;" for a control character, which the reader refuses: such a
// document is not written, and the file it would have replaced stays.
TEST(XmlFile, ADocumentTheReaderWouldRefuseIsNotWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.xml");
    writeTestFile(path, "<Old/>");
    const QString file = QDir::toNativeSeparators(path);
    struct Case {
        const char* name;
        std::function<void(pugi::xml_document&)> fill;
        QString refused;
    };
    const Case cases[] = {
        {"control character in an attribute",
            [](pugi::xml_document& d) { d.append_child("Item").append_attribute("Mnemonic").set_value("a\x0B"); },
            "Cannot write " + file
                + ": the attribute Mnemonic of Item would hold the character U+000B, which XML does not allow"},
        {"U+FFFE in text", [](pugi::xml_document& d) { d.append_child("V").text().set("\xEF\xBF\xBE"); },
            "Cannot write " + file + ": V would hold the character U+FFFE, which XML does not allow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pugi::xml_document doc;
        c.fill(doc);
        EXPECT_EQ(messageOf(saveXmlFile(doc, path)), c.refused);
        EXPECT_EQ(readTestFile(path), "<Old/>");
    }
    pugi::xml_document fine;
    fine.append_child("Item").append_attribute("Mnemonic").set_value("tab\there, line\nthere");
    ASSERT_TRUE(saveXmlFile(fine, path).ok);
    pugi::xml_document back;
    ASSERT_TRUE(loadXmlFile(path, back).ok);
    EXPECT_STREQ(back.child("Item").attribute("Mnemonic").value(), "tab\there, line\nthere");
}

TEST(XmlFile, CellsAFileCannotHoldAreFound)
{
    EXPECT_EQ(firstNonXmlCharacter(u"plain \u20AC and \U0001F600"), -1);
    EXPECT_EQ(firstNonXmlCharacter(QStringLiteral("ab\x01")), 2);
    EXPECT_EQ(firstNonXmlCharacter(QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b")), 1); // a lone surrogate
    EXPECT_EQ(firstNonXmlCharacter(u"\uFFFE"), 0);
    EXPECT_EQ(firstNonXmlCharacter(QString(1, QChar(0))), 0);
}
