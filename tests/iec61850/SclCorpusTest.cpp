#include "SCL_Dump.h"
#include "SCL_Reader.h"
#include "TestSupport.h"
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

// Real SCL files from other IEC 61850 projects: every well-formed one gives a device whose
// dump is valid JSON, every malformed one the parser's error.

namespace {

QString Corpus_File(const QString& name) { return Corpus_Folder() + QLatin1Char('/') + name; }

bool Corpus_Present() { return QFileInfo::exists(Corpus_Folder() + QStringLiteral("/../MANIFEST.tsv")); }

QJsonObject Dump(const TIEC_Device& device)
{
    QString text;
    QTextStream out(&text);
    Write_Device_Json(device, out);
    out.flush();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

TEST(SclCorpus, EveryFileLoadsOrGivesTheParserError)
{
    if (!Corpus_Present())
        GTEST_SKIP() << "no SCL corpus at " << Corpus_Folder().toStdString();
    // MANIFEST.tsv: file, ..., ied_count (column 7, "n/a" when not well-formed XML), ...
    const QStringList rows = QString::fromUtf8(Read_Test_File(Corpus_Folder() + QStringLiteral("/../MANIFEST.tsv"))).split('\n', Qt::SkipEmptyParts);
    int files = 0;
    for (const QString& row : rows.mid(1)) {
        const QStringList columns = row.split('\t');
        ASSERT_GE(columns.size(), 7);
        const QString path = Corpus_File(columns[0]);
        SCOPED_TRACE(columns[0].toStdString());
        std::unique_ptr<TIEC_Device> device;
        const TResult read = Read_SCL_File(path, device);
        if (columns[6] == QLatin1String("n/a")) {
            EXPECT_FALSE(read.Ok);
            EXPECT_FALSE(device);
            EXPECT_TRUE(read.Message.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": line "))) << read.Message.toStdString();
        } else {
            ASSERT_TRUE(read.Ok) << read.Message.toStdString();
            EXPECT_EQ(device->FileName, columns[0]);
            if (columns[6] == QLatin1String("0")) {
                EXPECT_TRUE(device->List_LDevice.empty());
            }
            EXPECT_EQ(Dump(*device)[QStringLiteral("fileName")].toString(), columns[0]);
        }
        ++files;
    }
    EXPECT_EQ(files, 52);
}

struct TData_Set_Case {
    const char* File;
    const char* Device;
    QStringList LDevices;
    const char* DataSet; // reference of the first data set of the first logical node
    const char* Goose;
    QStringList First_Members;
};

// Picked by reading the files by hand.
const TData_Set_Case Data_Set_Cases[] = {
    {"iec61850bean__src_test_resources_iec61850bean-sample01.icd", "ied1", {"lDevice1"},
     "ied1lDevice1/LLN0.dataset1", "", {"ied1lDevice1/MMXU1.TotW.mag.f"}}, // W.phsA / cVal.mag.f dropped
    {"libiec61850__tools_model_generator_sampleModel_with_dataset.icd", "SampleIED", {"Device1"},
     "SampleIEDDevice1/LLN0.dataset1", "gcbDataset1",
     {"SampleIEDDevice1/LLN0.Mod.q", "SampleIEDDevice1/MMXU1.Mod.q", "SampleIEDDevice1/MMXU1.Mod.ctlModel"}},
    {"scl_loader__tests_resources_SCD_WRONG.scd", "LD_All", {"LD_all"}, "LD_AllLD_all/LLN0.DS_LPHD", "GoCB_LD_all_1",
     {"LD_AllLD_all/LPHD1.PhyNam.vendor", "LD_AllLD_all/LPHD1.PhyHealth.stVal", "LD_AllLD_all/LPHD1.OutOv.stVal"}},
    {"iec61850ctl__cids_ZX2REX640A1.cid", "ZX2REX640A1", {"LD0", "CTRL", "DR"}, "ZX2REX640A1LD0/LLN0.MeasReg", "",
     {"ZX2REX640A1LD0/FLTRFRC1.Hz.mag.f", "ZX2REX640A1LD0/FLTRFRC1.FltPtRis.mag.f"}},
};

TEST(SclCorpus, HandPickedReferences)
{
    if (!Corpus_Present())
        GTEST_SKIP() << "no SCL corpus at " << Corpus_Folder().toStdString();
    for (const TData_Set_Case& c : Data_Set_Cases) {
        SCOPED_TRACE(c.File);
        std::unique_ptr<TIEC_Device> device;
        ASSERT_TRUE(Read_SCL_File(Corpus_File(c.File), device).Ok);
        EXPECT_EQ(device->Name, QString::fromUtf8(c.Device));
        QStringList lds;
        for (const auto& ld : device->List_LDevice)
            lds << ld->Name;
        EXPECT_EQ(lds, c.LDevices);
        const auto& dataSets = device->List_LDevice[0]->List_LN[0]->List_DataSet;
        ASSERT_FALSE(dataSets.empty());
        EXPECT_EQ(dataSets[0]->Reference, QString::fromUtf8(c.DataSet));
        EXPECT_EQ(dataSets[0]->GooseName, QString::fromUtf8(c.Goose));
        QStringList members;
        for (const TIEC_DA* m : dataSets[0]->List_DA)
            if (members.size() < c.First_Members.size())
                members << m->Reference;
        EXPECT_EQ(members, c.First_Members);
    }
}

TEST(SclCorpus, PrefixedAndShellFiles)
{
    if (!Corpus_Present())
        GTEST_SKIP() << "no SCL corpus at " << Corpus_Folder().toStdString();
    struct TCase { const char* File; const char* Name; };
    const TCase cases[] = {
        {"open-scd__test_testfiles_compas_test-scd.cid", ""},        // scl:SCL, scl:IED: not SCL, not IED
        {"cyberrange__VirtualIED_config_files_sample.sed", "IED100"}, // an access point without server
        {"scl-lib__tIED_insertIED_incomplete.iid", "incompleteIED"},  // LN types missing
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        std::unique_ptr<TIEC_Device> device;
        ASSERT_TRUE(Read_SCL_File(Corpus_File(c.File), device).Ok);
        EXPECT_EQ(device->Name, QString::fromUtf8(c.Name));
        const TModel_Counts counts = Count_Model(*device);
        EXPECT_EQ(counts.DOs + counts.DAs, 0);
    }
}

} // namespace
