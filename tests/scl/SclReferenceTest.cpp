#include "scl/core/SclReader.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

// The references the reader gives to the objects of the project's own SCL files, worked out
// by reading the files by hand: data sets, their GOOSE control blocks and their members.

namespace {

struct ReferenceCase {
    const char* file; // under tests/fixtures/scl
    const char* Device;
    QStringList logicalDevices;
    const char* DataSet; // reference of the first data set of the first logical node
    const char* Goose;
    QStringList members; // all of them, in the order of the file
};

const ReferenceCase referenceCases[] = {
    // Members in three functional constraints of two logical nodes; published by GOOSE.
    {"generator.icd", "GeneratorIED", {"Gen"}, "GeneratorIEDGen/LLN0.GenStatus", "gcbGenStatus",
        {"GeneratorIEDGen/LLN0.Mod.q", "GeneratorIEDGen/MMXU1.Mod.q", "GeneratorIEDGen/MMXU1.Mod.ctlModel"}},
    // Reported, not published: no GOOSE name. Without daName the first leaf stands for the data
    // object; a dotted doName (A.phsA) finds nothing and is left out; a daName may name a
    // structure.
    {"feeder.icd", "FeederIED", {"Meas"}, "FeederIEDMeas/LLN0.Measurements", "",
        {"FeederIEDMeas/MMXU1.TotW.mag.f", "FeederIEDMeas/MMXU1.TotW.q", "FeederIEDMeas/MMXU1.Hz.mag"}},
    // Byte order mark, two IEDs (the first is read), three logical devices, prefixed logical
    // nodes, members in a later logical device, an attribute of an undefined type.
    {"bay.scd", "BayIED", {"LD0", "CTRL", "DR"}, "BayIEDLD0/LLN0.Events", "gcbEvents",
        {"BayIEDLD0/FLTRFRC1.Hz.mag.f", "BayIEDLD0/FLTRFRC1.Str.general", "BayIEDCTRL/Q0XCBR1.Pos.stVal",
            "BayIEDCTRL/Q0XCBR1.Pos.q", "BayIEDLD0/LPHD1.PhyHealth.stVal", "BayIEDLD0/LPHD1.Cell.detail"}},
};

TEST(SclReferences, HandPickedFromTheFixtures)
{
    for (const ReferenceCase& c : referenceCases) {
        SCOPED_TRACE(c.file);
        std::unique_ptr<Ied> device;
        const Result read = readSclFile(Fixture(QStringLiteral("scl/") + QString::fromUtf8(c.file)), {}, device);
        ASSERT_TRUE(read.ok) << englishMessage(read).toStdString();
        EXPECT_EQ(device->name, QString::fromUtf8(c.Device));
        EXPECT_EQ(device->fileName, QString::fromUtf8(c.file));
        QStringList lds;
        for (const auto& ld : device->logicalDevices)
            lds << ld->name;
        EXPECT_EQ(lds, c.logicalDevices);
        ASSERT_FALSE(device->logicalDevices.empty());
        ASSERT_FALSE(device->logicalDevices[0]->logicalNodes.empty());
        const auto& dataSets = device->logicalDevices[0]->logicalNodes[0]->dataSets;
        ASSERT_FALSE(dataSets.empty());
        EXPECT_EQ(dataSets[0]->reference, QString::fromUtf8(c.DataSet));
        EXPECT_EQ(dataSets[0]->gooseName, QString::fromUtf8(c.Goose));
        QStringList members;
        for (const DataAttribute* m : dataSets[0]->attributes)
            members << m->reference;
        EXPECT_EQ(members, c.members);
    }
}

// A member is the attribute of the device's own tree, found by its reference, not a copy.
TEST(SclReferences, MembersAreTheAttributesOfTheirLogicalNodes)
{
    std::unique_ptr<Ied> device;
    ASSERT_TRUE(readSclFile(Fixture(QStringLiteral("scl/bay.scd")), {}, device).ok);
    const DataSet& events = *device->logicalDevices[0]->logicalNodes[0]->dataSets[0];
    ASSERT_EQ(events.attributes.size(), 6u);
    const LogicalNode* breaker = device->findLogicalDevice(QStringLiteral("CTRL"))->findLogicalNode(QStringLiteral("XCBR"));
    ASSERT_TRUE(breaker);
    EXPECT_EQ(events.attributes[3], breaker->findDataObject(QStringLiteral("Pos"))->findAttribute(QStringLiteral("q")));
    // The attribute of the undefined type is there, with nothing below it.
    EXPECT_TRUE(events.attributes[5]->isLeaf());
    EXPECT_EQ(events.attributes[5]->bType, QStringLiteral("Struct"));
    // The second data set's only member lives in a logical node the device lacks.
    const auto& dataSets = device->logicalDevices[0]->logicalNodes[0]->dataSets;
    ASSERT_EQ(dataSets.size(), 2u);
    EXPECT_EQ(dataSets[1]->reference, QStringLiteral("BayIEDLD0/LLN0.Spare"));
    EXPECT_TRUE(dataSets[1]->attributes.empty());
}

} // namespace
