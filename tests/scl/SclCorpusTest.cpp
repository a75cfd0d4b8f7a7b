#include "scl/core/SclDump.h"
#include "base/TextTable.h"
#include "scl/core/SclIedList.h"
#include "scl/core/SclReader.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

// Real SCL files from other IEC 61850 projects: every well-formed one gives a device whose
// dump is valid JSON, every malformed one the parser's error. An extra to the project's own
// files (SclReferenceTest.cpp): the corpus lies beside the checkout only on some machines, and
// these tests skip elsewhere (scripts/check-skipped allows it only there).

namespace {

QString corpusFile(const QString& name) { return corpusFolder() + QLatin1Char('/') + name; }

bool corpusPresent() { return QFileInfo::exists(corpusFolder() + QStringLiteral("/../MANIFEST.tsv")); }

QJsonObject Dump(const Ied& device)
{
    QString text;
    QTextStream out(&text);
    writeDeviceJson(device, out);
    out.flush();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

TEST(SclCorpus, EveryFileLoadsOrGivesTheParserError)
{
    if (!corpusPresent())
        GTEST_SKIP() << "no SCL corpus at " << corpusFolder().toStdString();
    // MANIFEST.tsv: file, ..., ied_count (column 7, "n/a" when not well-formed XML), ...
    const QStringList rows
        = QString::fromUtf8(readTestFile(corpusFolder() + QStringLiteral("/../MANIFEST.tsv"))).split('\n', Qt::SkipEmptyParts);
    int files = 0;
    for (const QString& row : rows.mid(1)) {
        const QStringList columns = row.split('\t');
        ASSERT_GE(columns.size(), 7);
        const QString path = corpusFile(columns[0]);
        SCOPED_TRACE(columns[0].toStdString());
        std::unique_ptr<Ied> device;
        const Result read = readSclFile(path, {}, device);
        if (columns[6] == QLatin1String("n/a")) {
            EXPECT_FALSE(read.ok);
            EXPECT_FALSE(device);
            EXPECT_TRUE(englishMessage(read).startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": line ")))
                << englishMessage(read).toStdString();
        } else {
            ASSERT_TRUE(read.ok) << englishMessage(read).toStdString();
            EXPECT_EQ(device->fileName, columns[0]);
            if (columns[6] == QLatin1String("0")) {
                EXPECT_TRUE(device->logicalDevices.empty());
            }
            EXPECT_EQ(Dump(*device)[QStringLiteral("fileName")].toString(), columns[0]);
        }
        ++files;
    }
    EXPECT_EQ(files, 52);
}

struct DataSetCase {
    const char* file;
    const char* Device;
    QStringList logicalDevices;
    const char* DataSet; // reference of the first data set of the first logical node
    const char* Goose;
    QStringList firstMembers;
};

// Picked by reading the files by hand.
const DataSetCase dataSetCases[] = {
    {"iec61850bean__src_test_resources_iec61850bean-sample01.icd", "ied1", {"lDevice1"}, "ied1lDevice1/LLN0.dataset1", "",
        {"ied1lDevice1/MMXU1.TotW.mag.f"}}, // W.phsA / cVal.mag.f dropped
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
    if (!corpusPresent())
        GTEST_SKIP() << "no SCL corpus at " << corpusFolder().toStdString();
    for (const DataSetCase& c : dataSetCases) {
        SCOPED_TRACE(c.file);
        std::unique_ptr<Ied> device;
        ASSERT_TRUE(readSclFile(corpusFile(c.file), {}, device).ok);
        EXPECT_EQ(device->name, QString::fromUtf8(c.Device));
        QStringList lds;
        for (const auto& ld : device->logicalDevices)
            lds << ld->name;
        EXPECT_EQ(lds, c.logicalDevices);
        const auto& dataSets = device->logicalDevices[0]->logicalNodes[0]->dataSets;
        ASSERT_FALSE(dataSets.empty());
        EXPECT_EQ(dataSets[0]->reference, QString::fromUtf8(c.DataSet));
        EXPECT_EQ(dataSets[0]->gooseName, QString::fromUtf8(c.Goose));
        QStringList members;
        for (const DataAttribute* m : dataSets[0]->attributes)
            if (members.size() < c.firstMembers.size())
                members << m->reference;
        EXPECT_EQ(members, c.firstMembers);
    }
}

TEST(SclCorpus, PrefixedAndShellFiles)
{
    if (!corpusPresent())
        GTEST_SKIP() << "no SCL corpus at " << corpusFolder().toStdString();
    struct Case {
        const char* file;
        const char* name;
    };
    const Case cases[] = {
        {"open-scd__test_testfiles_compas_test-scd.cid", ""}, // scl:SCL, scl:IED: not SCL, not IED
        {"cyberrange__VirtualIED_config_files_sample.sed", "IED100"}, // an access point without server
        {"scl-lib__tIED_insertIED_incomplete.iid", "incompleteIED"}, // LN types missing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::unique_ptr<Ied> device;
        ASSERT_TRUE(readSclFile(corpusFile(c.file), {}, device).ok);
        EXPECT_EQ(device->name, QString::fromUtf8(c.name));
        const ModelCounts counts = countModel(*device);
        EXPECT_EQ(counts.dataObjects + counts.dataAttributes, 0);
    }
}

// Station files and vendor files with client stubs: every IED is listed, and each one reads
// by its name with the logical devices the list promised.
TEST(SclCorpus, EveryIedIsListedAndReadByItsName)
{
    if (!corpusPresent())
        GTEST_SKIP() << "no SCL corpus at " << corpusFolder().toStdString();
    const QStringList rows
        = QString::fromUtf8(readTestFile(corpusFolder() + QStringLiteral("/../MANIFEST.tsv"))).split('\n', Qt::SkipEmptyParts);
    int several = 0;
    for (const QString& row : rows.mid(1)) {
        const QStringList columns = row.split('\t');
        const QString path = corpusFile(columns[0]);
        // Without type templates (or with only prefixed elements) nothing is read from any IED.
        if (columns[6] == QLatin1String("n/a") || !readTestFile(path).contains("<DataTypeTemplates"))
            continue;
        SCOPED_TRACE(columns[0].toStdString());
        std::vector<IedSummary> ieds;
        ASSERT_TRUE(listSclIedsOfFile(path, ieds).ok);
        EXPECT_EQ(QString::number(ieds.size()), columns[6]);
        several += ieds.size() > 1;
        QStringList names;
        for (const IedSummary& ied : ieds)
            names << ied.name;
        for (const IedSummary& ied : ieds) {
            SCOPED_TRACE(ied.name.toStdString());
            if (names.count(ied.name) > 1)
                continue; // an ambiguous name reads its first IED
            std::unique_ptr<Ied> device;
            ASSERT_TRUE(readSclFile(path, ied.name, device).ok);
            EXPECT_EQ(device->name, ied.name);
            EXPECT_EQ(int(device->logicalDevices.size()), ied.logicalDevices);
        }
    }
    EXPECT_GE(several, 10);
}

} // namespace
