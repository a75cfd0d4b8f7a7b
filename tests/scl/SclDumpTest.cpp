#include "scl/core/SclDump.h"
#include "scl/core/SclReader.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

TEST(SclDump, WritesTheModelAsJsonInModelOrder)
{
    const QByteArray xml = R"(<SCL><IED name="E"><AccessPoint><Server><LDevice inst="L">
        <LN0 lnClass="LLN0" inst="" lnType="T"><DataSet name="DS"><FCDA ldInst="L" lnClass="LLN0" doName="D"/></DataSet>
        <DataSet name="q&quot;b\c&#9;d&#1;&#x20ac;/"/><GSEControl name="G" datSet="DS"/></LN0></LDevice></Server></AccessPoint></IED>
        <DataTypeTemplates><LNodeType id="T"><DO name="D" type="O"/></LNodeType><DOType id="O"><SDO name="S" type="X"/>
        <DA name="a" bType="Struct" type="A" fc="ST"/></DOType><DAType id="A"><BDA name="b" bType="INT8"/></DAType>
        </DataTypeTemplates></SCL>)";
    std::unique_ptr<Ied> device;
    ASSERT_TRUE(readSclData(xml, QStringLiteral("/some/folder/dump.scd"), {}, device).ok);
    QString text;
    QTextStream out(&text);
    writeDeviceJson(*device, out);
    out.flush();
    EXPECT_EQ(text,
        QStringLiteral(
            R"({"name": "E", "fileName": "dump.scd", "lDevices": [{"name": "L", "lns": [{"prefix": "", "lnClass": "LLN0", )"
            R"("inst": "", "lnType": "T", "dos": [{"name": "D", "dos": [{"name": "S", "dos": [], "das": []}], "das": [{"name": "a", )"
            R"("reference": "EL/LLN0.D.a", "fc": "ST", "bType": "Struct", "das": [{"name": "b", "reference": "EL/LLN0.D.a.b", )"
            R"("fc": "ST", "bType": "INT8", "das": []}]}]}], "dataSets": [{"name": "DS", "reference": "EL/LLN0.DS", )"
            R"("gooseName": "G", "members": ["EL/LLN0.D.a.b"]}, {"name": "q\"b\\c\td\u0001)"
            "\u20ac"
            R"(/", )"
            R"("reference": "EL/LLN0.q\"b\\c\td\u0001)"
            "\u20ac"
            R"(/", "gooseName": "", "members": []}]}]}]})"
            "\n"));
}

TEST(SclDump, EmptyDevice)
{
    Ied device;
    device.fileName = QStringLiteral("none.icd");
    QString text;
    QTextStream out(&text);
    writeDeviceJson(device, out);
    out.flush();
    EXPECT_EQ(text, QStringLiteral("{\"name\": \"\", \"fileName\": \"none.icd\", \"lDevices\": []}\n"));
    EXPECT_EQ(formatCounts(countModel(device)), QStringLiteral("lDevices=0 lns=0 dos=0 das=0 leaves=0 dataSets=0 members=0"));
}

TEST(SclDump, CountsEveryLevel)
{
    std::unique_ptr<Ied> device;
    ASSERT_TRUE(readSclFile(Fixture("scl/cycles.scd"), {}, device).ok);
    EXPECT_EQ(formatCounts(countModel(*device)), QStringLiteral("lDevices=1 lns=1 dos=8 das=11 leaves=8 dataSets=1 members=1"));
}

} // namespace
