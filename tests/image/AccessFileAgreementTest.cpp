// The access window and the image build read IEC_61850_Client.xml through one reader: every
// stored file, broken or not, gets the same verdict from both.
#include "support/ImageTestSupport.h"
#include "base/TextTable.h"
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace Image;
using namespace ImageTest;

namespace {

struct Verdicts {
    Result window, build;
    size_t windowVariables = 0, buildVariables = 0, windowDataSets = 0, buildDataSets = 0;
};

Verdicts readBoth(const QByteArray& xml)
{
    Project p;
    p.writeAccess(xml);
    Verdicts v;
    AccessList access;
    AccessFileReport report;
    v.window
        = loadAccessFile(p.paths().accessFile(), ConfigurationPaths(p.state.configurationFolder).catalogFolder(), access, report);
    v.windowVariables = static_cast<size_t>(access.variableGrid.isEmpty() ? 0 : access.variableGrid.rowCount() - 1);
    v.windowDataSets = access.dataSets.size();
    DeviceImage image;
    v.build = image.buildImages(p.paths(), u'.');
    v.buildVariables = image.requestTables.variableList.size();
    v.buildDataSets = image.requestTables.dataSetList.size();
    return v;
}

QByteArray wrap(const QByteArray& variables, const QByteArray& dataSets = {})
{
    return "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected>" + variables + "</List_DA_Selected><List_DataSet_Selected>"
        + dataSets + "</List_DataSet_Selected></IEC_68850_Client>";
}

} // namespace

TEST(AccessFileAgreement, WindowAndBuildGiveOneVerdictForEveryStoredFile)
{
    const QByteArray var = Element("DA_Item", exampleVariable());
    const QByteArray set = dataSet(exampleDataSet(), {exampleMember(1)});
    auto varWithout = [](const char* attr) { return Element("DA_Item", With(exampleVariable(), {{attr, nullptr}})); };
    struct Case {
        const char* label;
        QByteArray xml;
        const char* error; // after "<file>: ", or null when both load
        size_t variables = 0, dataSets = 0; // what both read when they load
    };
    QByteArray utf16 = QByteArray("\xFF\xFE", 2);
    {
        QStringEncoder toUtf16(QStringEncoder::Utf16LE);
        const QByteArray encoded = toUtf16(QString::fromUtf8(wrap(var)));
        utf16 += encoded;
    }
    const Case cases[] = {
        {"no root", "<Other/>", "no IEC_68850_Client element"},
        {"root without lists", "<IEC_68850_Client/>", nullptr, 0, 0},
        {"no variable list", "<IEC_68850_Client><List_DataSet_Selected>" + set + "</List_DataSet_Selected></IEC_68850_Client>",
            nullptr, 0, 1},
        {"comment between variables", wrap(var + "<!-- x -->" + var), nullptr, 2, 0},
        {"processing instruction and text", wrap("\n  <?note x?>text" + var), nullptr, 1, 0},
        {"comment among members",
            wrap({},
                Element("DataSet_Item", exampleDataSet(),
                    Element("DataSet_List_DAs", {}, "<!-- m -->" + Element("DataSet_DA_Item", exampleMember(1))))),
            nullptr, 0, 1},
        {"variable without Port", wrap(var + varWithout("Port")), "item 2 of List_DA_Selected has no Port attribute"},
        {"variable without Mnemonic", wrap(varWithout("Mnemonic")), "item 1 of List_DA_Selected has no Mnemonic attribute"},
        {"variable of an older version without StartByte", wrap(varWithout("StartByte")), nullptr, 1, 0},
        {"element of another name", wrap(var + Element("DA_Itm", exampleVariable())),
            "item 2 of List_DA_Selected is a DA_Itm element, not DA_Item"},
        {"data set in the variable list", wrap(set), "item 1 of List_DA_Selected is a DataSet_Item element, not DA_Item"},
        {"data set without member list", wrap({}, Element("DataSet_Item", exampleDataSet())), nullptr, 0, 1},
        {"data set without EnGoose", wrap({}, dataSet(With(exampleDataSet(), {{"EnGoose", nullptr}}), {})), nullptr, 0, 1},
        {"data set without GooseName", wrap({}, dataSet(With(exampleDataSet(), {{"GooseName", nullptr}}), {})),
            "item 1 of List_DataSet_Selected has no GooseName attribute"},
        {"variable without triggers", wrap(varWithout("OnChange")), nullptr, 1, 0},
        {"data set Index not a whole number", wrap({}, dataSet(With(exampleDataSet(), {{"Index", "one"}}), {})),
            "item 1 of List_DataSet_Selected has the Index \"one\", not a whole number"},
        {"member without Position",
            wrap({}, dataSet(exampleDataSet(), {exampleMember(1), With(exampleMember(2), {{"Position", nullptr}})})),
            "item 2 of DataSet_List_DAs of item 1 of List_DataSet_Selected has no Position attribute"},
        {"device without FileName",
            "<IEC_68850_Client><List_ICD_Files><ICD_File Name=\"A\"/></List_ICD_Files></IEC_68850_Client>",
            "item 1 of List_ICD_Files has no FileName attribute"},
        {"UTF-16 with a byte order mark", utf16, nullptr, 1, 0},
        // A character XML does not allow is refused by the reader both use, not taken as text.
        {"character reference XML forbids",
            wrap(Element("DA_Item", With(exampleVariable(), {{"IPAddress", "@1.2.3.4"}}))).replace("@", "&#11;"),
            "line 1: the attribute IPAddress of DA_Item holds the character &#11;, which XML does not allow"},
        {"undeclared entity kept as text",
            "<!DOCTYPE IEC_68850_Client [<!ENTITY e \"x\">]>"
                + wrap(Element("DA_Item", With(exampleVariable(), {{"Mnemonic", "m"}})))
                      .replace("Mnemonic=\"m\"", "Mnemonic=\"&e;\""),
            nullptr, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Verdicts v = readBoth(c.xml);
        EXPECT_EQ(v.window.ok, v.build.ok) << c.label << ": window " << englishMessage(v.window).toStdString() << " / build "
                                           << englishMessage(v.build).toStdString();
        EXPECT_EQ(v.window.ok, c.error == nullptr) << c.label << ": " << englishMessage(v.window).toStdString();
        if (c.error) {
            EXPECT_TRUE(englishMessage(v.window).endsWith(QStringLiteral("IEC_61850_Client.xml: ") + QString::fromUtf8(c.error)))
                << c.label << ": " << englishMessage(v.window).toStdString();
            EXPECT_EQ(englishMessage(v.window), englishMessage(v.build)) << c.label;
        } else {
            EXPECT_EQ(v.windowVariables, c.variables);
            EXPECT_EQ(v.buildVariables, c.variables);
            EXPECT_EQ(v.windowDataSets, c.dataSets);
            EXPECT_EQ(v.buildDataSets, c.dataSets);
        }
    }
}

TEST(AccessFileAgreement, HugeAccessFileIsRefusedBeforeEveryItemIsRead)
{
    // 40 000 variables need well over 512 KiB; the build stops at the first item past the room.
    QByteArray variables;
    const QByteArray var = Element("DA_Item", exampleVariable());
    for (int i = 0; i < 40000; ++i)
        variables += var;
    Project p;
    p.writeAccess(wrap(variables));
    RequestTables tables;
    const Result r = loadRequestTables(tables, p.paths().accessFile(), 0, u'.', DeviceImage::bank2Size);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(englishMessage(r).startsWith("The request tables need at least ")) << englishMessage(r).toStdString();
    EXPECT_TRUE(englishMessage(r).contains("more than the 524288 bytes the device holds")) << englishMessage(r).toStdString();
    EXPECT_TRUE(tables.variableList.empty());
    DeviceImage image;
    const Result built = image.buildImages(p.paths(), u'.');
    EXPECT_EQ(englishMessage(built), englishMessage(r));
    EXPECT_TRUE(image.bank2().empty());
}
