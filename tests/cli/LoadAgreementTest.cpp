// What is built is what the next load shows: every configuration of one table goes through
// the access window (load, then OK), `swquelmor-cli check`, `swquelmor-cli build` and the
// import of a point list of the same rows, and all four give one verdict. A configuration
// whose next load would not give its rows back as they are (members of a data set not the SCL
// file's, an Index that is no device, an SCL file missing, not a file or unreadable) is refused
// by all four; nothing is saved, built or imported from it.
#include "cli/CheckCommand.h"
#include "cli/CommandRun.h"
#include "cli/ImageCommands.h"
#include "access/AccessRun.h"
#include "access/core/AccessFile.h"
#include "access/core/AccessFileModel.h"
#include "access/core/PointList.h"
#include "base/Csv.h"
#include <gtest/gtest.h>

namespace {

enum class CatalogFile { Present, Missing, Folder, NotXml };

struct Member {
    const char* bType;
    const char* reference;
    const char* position;
};
// The data set DS1 of the fixture's IED1, member by member as its SCL file has them.
const Member q{"Quality", "IED1LD0/MMXU1.TotW.q", "20"};
const Member t{"Timestamp", "IED1LD0/MMXU1.TotW.t", "24"};
const Member vendor{"VisString255", "IED1LD0/LPHD1.PhyNam.vendor", "30"};

QByteArray variable(const char* index = "0")
{
    return QByteArray(R"(<DA_Item Index=")") + index
        + R"(" bType="FLOAT32" fc="MX" Reference="IED1LD0/MMXU1.TotW.mag.f" StartByte="0" NumByte="4" )"
          R"(IPAddress="127.0.0.1" Port="102" OnChange="N" OnCMD="N" OnTimer="N" Time="" Position="10" StartBit="0" )"
          R"(ReadWrite="Read" Convertion="None" MoltFact="None" Mnemonic="v"/>)";
}

QByteArray dataSet(const std::vector<Member>& members, const char* index = "0", const char* reference = "IED1LD0/LLN0.DS1")
{
    QByteArray items;
    for (const Member& m : members)
        items += QByteArray(R"(<DataSet_DA_Item bType=")") + m.bType + R"(" Reference=")" + m.reference + R"(" Position=")"
            + m.position + R"(" StartBit="0" Convertion="None" MoltFact="None" Mnemonic=""/>)";
    return QByteArray(R"(<DataSet_Item Index=")") + index + R"(" Reference=")" + reference
        + R"(" GooseName="GCB1" EnGoose="Y" IPAddress="127.0.0.1" Port="102" Time="1000" Mnemonic="ds"><DataSet_List_DAs>)"
        + items + "</DataSet_List_DAs></DataSet_Item>";
}

QByteArray accessFile(const QByteArray& variables, const QByteArray& dataSets, const QByteArray& moreFiles = {})
{
    return R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="IED1" FileName="A.icd"/>)" + moreFiles
        + "</List_ICD_Files><List_DA_Selected>" + variables + "</List_DA_Selected><List_DataSet_Selected>" + dataSets
        + "</List_DataSet_Selected></IEC_68850_Client><!--SW_VERSION = 1.000-->";
}

// The point list of the rows stored in `file`: one line per variable and per stored member.
QByteArray pointListOf(const QString& file)
{
    AccessFileModel model;
    if (!readAccessFileModel(file, model))
        return {};
    const auto iedOf = [&model](const StoredAttribute& index) {
        const qint32 i = index.numberOr(-1);
        return i >= 0 && i < static_cast<qint32>(model.devices.size()) ? model.devices[static_cast<size_t>(i)][0].text
                                                                       : QString();
    };
    CsvWriter csv(u',');
    csv.addRecord({"IED", "Index", "DataSet", "bType", "Reference", "Position", "IP Address", "Port", "Time (ms)", "Molt Fact"});
    using namespace AccessItem;
    for (const StoredVariable& v : model.variables)
        csv.addRecord({iedOf(v[Index]), v[Index].text, {}, v[BType].text, v[Reference].text, v[Position].text, v[IpAddress].text,
            v[Port].text, v[Time].text, v[MultFactor].text});
    for (const StoredDataSet& d : model.dataSets)
        for (const StoredMember& m : d.members)
            csv.addRecord({iedOf(d[DsIndex]), d[DsIndex].text, d[DsReference].text, m[MBType].text, m[MReference].text,
                m[MPosition].text, d[DsIpAddress].text, d[DsPort].text, d[DsTime].text, m[MMultFactor].text});
    return csv.take();
}

} // namespace

TEST(LoadAgreement, WindowCheckBuildAndImportGiveOneVerdict)
{
    const QByteArray all = dataSet({q, t, vendor});
    struct Case {
        const char* name;
        QByteArray xml;
        CatalogFile catalog;
        QString refused; // a part of check's message; empty when everything passes
    };
    const Case cases[] = {
        {"members as in the SCL file", accessFile(variable(), all), CatalogFile::Present, {}},
        {"one member left out", accessFile({}, dataSet({q, vendor})), CatalogFile::Present,
            "Member 2 must be Timestamp IED1LD0/MMXU1.TotW.t, as in the SCL file, not VisString255"},
        {"first member left out", accessFile({}, dataSet({t, vendor})), CatalogFile::Present,
            "Member 1 must be Quality IED1LD0/MMXU1.TotW.q"},
        {"members in another order", accessFile({}, dataSet({t, q, vendor})), CatalogFile::Present,
            "Member 1 must be Quality IED1LD0/MMXU1.TotW.q"},
        {"last member left out", accessFile({}, dataSet({q, t})), CatalogFile::Present,
            "Member 3, VisString255 IED1LD0/LPHD1.PhyNam.vendor, of the SCL file is missing"},
        {"a member too many", accessFile({}, dataSet({q, t, vendor, q})), CatalogFile::Present,
            "The SCL file gives the data set 3 members, not 4"},
        {"a member of another type", accessFile({}, dataSet({{"FLOAT32", q.reference, "20"}, t, vendor})), CatalogFile::Present,
            "Member 1 must be Quality IED1LD0/MMXU1.TotW.q, as in the SCL file, not FLOAT32"},
        {"data set Index past the devices", accessFile({}, dataSet({q, t, vendor}, "1")), CatalogFile::Present,
            "Error DataSet row 1!! Index 1 is not a device of the access list"},
        {"variable Index past the devices", accessFile(variable("3"), {}), CatalogFile::Present,
            "Error row 1!! Index 3 is not a device of the access list"},
        {"data set not in the SCL file", accessFile({}, dataSet({q, t, vendor}, "0", "IED1LD0/LLN0.DS9")), CatalogFile::Present,
            "IED1LD0/LLN0.DS9 is not a data set of IED1 in its SCL file"},
        {"SCL file missing", accessFile(variable(), all), CatalogFile::Missing,
            "The SCL file A.icd of IED1 is missing from the folder ICD_Catalog or is not a file"},
        {"SCL file is a folder", accessFile(variable(), all), CatalogFile::Folder,
            "The SCL file A.icd of IED1 is missing from the folder ICD_Catalog or is not a file"},
        {"SCL file not XML", accessFile(variable(), {}), CatalogFile::NotXml, "The SCL file A.icd of IED1 cannot be read: "},
        {"an unused device without its file", accessFile(variable(), all, R"(<ICD_File Name="IED9" FileName="B.icd"/>)"),
            CatalogFile::Present, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool refused = !c.refused.isEmpty();
        AccessRun run("Plant");
        const QString project = run.state.configurationFolder;
        QDir().mkpath(run.catalog());
        const QString scl = joinPath(run.catalog(), "A.icd");
        if (c.catalog == CatalogFile::Present)
            QFile::copy(Fixture("access/Access_Window.icd"), scl);
        else if (c.catalog == CatalogFile::Folder)
            QDir().mkpath(scl);
        else if (c.catalog == CatalogFile::NotXml)
            writeTestFile(scl, "<SCL>");
        writeTestFile(run.paths().accessFile(), c.xml);
        QFile::copy(Fixture("comm/ParGen.xml"), run.paths().communicationFile());

        // check
        const CommandRun check = runCommand(checkCommand, {project});
        EXPECT_EQ(check.exitCode, refused ? 1 : 0) << check.out.toStdString();
        if (refused) {
            EXPECT_TRUE(check.out.contains(c.refused)) << check.out.toStdString();
        }

        // build
        const CommandRun build = runCommand(buildCommand, {project});
        EXPECT_EQ(build.exitCode, refused ? 1 : 0) << build.err.toStdString();
        EXPECT_EQ(QFile::exists(joinPath(project, "bin/bank2.bin")), !refused);

        // the import of a point list of the same rows
        AccessList access;
        AccessFileReport report;
        ASSERT_TRUE(loadAccessFile(run.paths().accessFile(), run.catalog(), access, report));
        PointListImport import;
        ASSERT_TRUE(readPointList(pointListOf(run.paths().accessFile()), access, u'.', TextTable(), import));
        EXPECT_EQ(import.unusable.isEmpty(), !refused) << import.unusable.join('\n').toStdString();
        clearAccessList(access);

        // the access window: OK saves only what the next load gives back
        run.open();
        run.click("Btn_OK");
        const QStringList errors = run.fakes.messages.texts("error");
        if (refused) {
            ASSERT_EQ(errors.size(), 1);
            EXPECT_TRUE(errors[0].contains(c.refused)) << errors[0].toStdString();
            EXPECT_TRUE(run.window->isVisible());
            EXPECT_EQ(readTestFile(run.paths().accessFile()), c.xml);
            run.click("Btn_Cancel");
        } else {
            EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
            EXPECT_FALSE(run.window->isVisible());
        }
    }
}
