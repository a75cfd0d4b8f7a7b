#include "scl/core/SclDump.h"
#include "base/TextTable.h"
#include "scl/core/SclReader.h"
#include "support/TestSupport.h"
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The reader parses only the chosen IED element and the type templates after one scan of the
// whole file. Whatever the file, it must give what a parse of the whole document gives: the
// same model, or the same refusal with the same line.

namespace {

struct Reading {
    bool ok = false;
    QString text; // the model as JSON, or the message

    bool operator==(const Reading&) const = default;
};

void PrintTo(const Reading& r, std::ostream* out) { *out << (r.ok ? "model " : "refused ") << r.text.toStdString(); }

template <typename Read> Reading reading(Read read)
{
    std::unique_ptr<Ied> device;
    const Result result = read(device);
    EXPECT_EQ(result.ok, bool(device));
    if (!result.ok)
        return {false, englishMessage(result)};
    QString text;
    QTextStream out(&text);
    writeDeviceJson(*device, out);
    out.flush();
    return {true, text};
}

Reading partly(const QByteArray& bytes, const QString& iedName = {})
{
    return reading([&](std::unique_ptr<Ied>& device) { return readSclData(bytes, "f.scd", iedName, device); });
}

Reading fully(const QByteArray& bytes, const QString& iedName = {})
{
    return reading([&](std::unique_ptr<Ied>& device) { return readSclDataFully(bytes, "f.scd", iedName, device); });
}

// The names of the IEDs a file holds, as far as a pattern finds them, and one that is not there.
QStringList iedNamesIn(const QByteArray& bytes)
{
    QStringList names{QString(), QStringLiteral("no such IED")};
    const QRegularExpression ied(QStringLiteral(R"(<IED[^>]*\sname\s*=\s*["']([^"']*)["'])"));
    for (const auto& match : ied.globalMatch(QString::fromUtf8(bytes)))
        names << match.captured(1);
    return names;
}

QStringList sclFiles()
{
    QStringList files;
    for (const QString& name : QDir(Fixture("scl")).entryList(QDir::Files))
        files << Fixture("scl/" + name);
    for (const QString& name : QDir(corpusFolder()).entryList(QDir::Files))
        files << corpusFolder() + '/' + name;
    return files;
}

TEST(SclPartialRead, EveryFileGivesTheModelOfTheWholeParseForEachIed)
{
    int files = 0;
    for (const QString& path : sclFiles()) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray bytes = readTestFile(path);
        for (const QString& iedName : iedNamesIn(bytes)) {
            SCOPED_TRACE(iedName.toStdString());
            EXPECT_EQ(partly(bytes, iedName), fully(bytes, iedName));
        }
        ++files;
    }
    EXPECT_GE(files, 8);
}

// Every prefix of a small file breaks it somewhere else: in a tag, an attribute, a comment, a
// declaration, before or after the IED.
TEST(SclPartialRead, EveryTruncationIsRefusedAsByTheWholeParse)
{
    for (const char* name : {"basic.scd", "bay.scd", "types.scd"}) {
        const QByteArray bytes = readTestFile(Fixture(QStringLiteral("scl/") + name));
        for (qsizetype size = 0; size < bytes.size(); ++size) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(size));
            const Reading expected = fully(bytes.left(size));
            ASSERT_EQ(partly(bytes.left(size)), expected);
        }
    }
}

// What the scan must skip without being fooled, and faults far from the IED that only a check
// of the whole file finds.
TEST(SclPartialRead, SkippedPartsAndFaultsElsewhere)
{
    const QByteArray ied = R"(<IED name="A"><AccessPoint><Server><LDevice inst="L"/></Server></AccessPoint></IED>)";
    const QByteArray templates = "<DataTypeTemplates/>";
    const QByteArray cases[] = {
        // Markup inside comments, CDATA, processing instructions, DOCTYPE and attribute values.
        "<?xml version='1.0'?><!DOCTYPE SCL [<!ENTITY e '<IED name=\"B\">'><!-- <IED> -->]><SCL><!-- <IED name=\"C\"/> -->"
        "<Private><![CDATA[<IED name=\"D\"><DataTypeTemplates>]]></Private><?pi <IED name='E'/> ?><Header x='<IED>'/>"
            + ied + templates + "</SCL>",
        // An IED or templates nested deeper, or in another top-level element, do not count.
        "<Other>" + ied + templates + "</Other><SCL><Substation>" + ied + "</Substation>" + templates + "</SCL>",
        "<SCL><IED name='first'/>" + ied + templates + templates + "</SCL>",
        // Faults before, between and after the elements the model needs.
        "<SCL><Header><Bad></Header>" + ied + templates + "</SCL>",
        "<SCL>" + ied + "<Communication a='1' a2></Communication>" + templates + "</SCL>",
        "<SCL>" + ied + templates + "<Private><!-- unclosed </Private></SCL>",
        "<SCL>" + ied + templates + "</SCL><!DOCTYPE late>",
        "<SCL>" + ied + templates + "</SCL><",
        "<SCL>" + ied + templates + "</SCL>trailing text",
        "<SCL>" + ied + templates + "</SC>",
        "<SCL>" + ied + templates,
        QByteArray("<SCL>") + ied + templates + "</SCL>" + QByteArray(1, '\0') + "<broken",
        QByteArray("<SCL>") + ied + QByteArray(1, '\0') + templates + "</SCL>",
        "\xef\xbb\xbf<SCL>" + ied + templates + "</SCL>",
        "<SCL>\r\n" + ied + "\r\n" + templates + "\r\n</SCL>\r\n",
        "<SCL/>",
        "",
        "   ",
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toStdString());
        EXPECT_EQ(partly(bytes), fully(bytes));
        EXPECT_EQ(partly(bytes, "A"), fully(bytes, "A"));
    }
}

TEST(SclPartialRead, ChoosesTheNamedIedElseTheFirst)
{
    const QByteArray xml = R"(<SCL><IED name="Client1"/>)"
                           R"(<IED name="R&amp;1"><AccessPoint><Server><LDevice inst="P"/></Server></AccessPoint></IED>)"
                           R"(<IED name="B" ><AccessPoint><Server><LDevice inst="Q"/></Server></AccessPoint></IED>)"
                           R"(<IED name="B"><AccessPoint><Server><LDevice inst="second B"/></Server></AccessPoint></IED>)"
                           R"(<DataTypeTemplates/></SCL>)";
    struct Case {
        const char* wanted;
        const char* name;
        const char* logicalDevice;
    };
    const Case cases[] = {
        {"B", "B", "Q"}, // the first of that name
        {"R&1", "R&1", "P"}, // as the parser decodes the attribute
        {"R&amp;1", "Client1", nullptr},
        {"b", "Client1", nullptr}, // names compare exactly
        {"", "Client1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wanted);
        std::unique_ptr<Ied> device;
        ASSERT_TRUE(readSclData(xml, "f.scd", QString::fromUtf8(c.wanted), device).ok);
        EXPECT_EQ(device->name, QString::fromUtf8(c.name));
        if (c.logicalDevice) {
            ASSERT_EQ(device->logicalDevices.size(), 1u);
            EXPECT_EQ(device->logicalDevices[0]->name, QString::fromUtf8(c.logicalDevice));
        } else {
            EXPECT_TRUE(device->logicalDevices.empty());
        }
    }
}

// A broken tag far behind the chosen IED: refused with the line of the fault, the same from
// a file as from memory.
TEST(SclPartialRead, FaultAfterTheIedIsRefusedWithItsLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("station.scd");
    writeTestFile(path,
        "<SCL>\n<IED name=\"A\"/>\n<DataTypeTemplates/>\n" + QByteArray("<Private/>\n").repeated(1000)
            + "<Private a=b/>\n</SCL>\n");
    for (const QString& iedName : {QString(), QStringLiteral("A")}) {
        std::unique_ptr<Ied> device;
        const Result read = readSclFile(path, iedName, device);
        EXPECT_FALSE(read.ok);
        EXPECT_FALSE(device);
        EXPECT_EQ(englishMessage(read), QDir::toNativeSeparators(path) + ": line 1004: Error parsing element attribute");
    }
}

} // namespace
