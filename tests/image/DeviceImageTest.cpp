#include "support/ImageTestSupport.h"
#include "base/TextTable.h"
#include <QFile>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace Image;
using namespace ImageTest;

namespace {

// A project with every kind of entry: two variables, a data set with members and an empty one.
void fillRichProject(const Project& p)
{
    CommunicationSettings parGen = defaultCommunicationSettings();
    parGen["EtherNetIP_IP4"] = QStringLiteral("77");
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("12");
    parGen["IEC61850_Client_Application_ID"] = QStringLiteral("0x2222");
    p.writeParGenFile(parGen);
    p.writeAccess(accessFileXml(
        {exampleVariable(), With(exampleVariable(), {{"bType", "VisString255"}, {"Reference", "LD0/LPHD1.PhyNam.vendor"}})},
        dataSet(exampleDataSet(), {exampleMember(1), exampleMember(2), exampleMember(3)}) + dataSet(exampleDataSet(), {})));
}

struct Files {
    QByteArray bank1, bank2;
    bool operator==(const Files&) const = default;
};
Files filesOf(const Project& p) { return {readTestFile(p.Bin("bank1.bin")), readTestFile(p.Bin("bank2.bin"))}; }

void writeOldImages(const Project& p)
{
    writeTestFile(p.Bin("bank1.bin"), "old bank1");
    writeTestFile(p.Bin("bank2.bin"), "old bank2");
}

} // namespace

TEST(ImageBuild, NewProjectWithoutFilesWritesBothImages)
{
    Project p;
    DeviceImage image;
    ASSERT_TRUE(buildAndWriteImages(image, p.state, u'.').ok);
    const Files files = filesOf(p);
    EXPECT_EQ(files.bank1.size(), 2048);
    EXPECT_EQ(files.bank1.right(4).toHex(), QByteArray("8a0d0000"));
    EXPECT_EQ(files.bank2.toHex(), emptyRequestTablesHex);
}

TEST(ImageBuild, Bank2SizeIsHeaderRecordsAndStrings)
{
    Project p;
    fillRichProject(p);
    DeviceImage image;
    ASSERT_TRUE(buildAndWriteImages(image, p.state, u',').ok);
    const qsizetype strings = (8 + 13 + 21) + (13 + 13 + 24) + 2 * (4 + 17 + 13) + 3 * (6 + 26);
    EXPECT_EQ(filesOf(p).bank2.size(), 24 + 2 * 32 + 2 * 28 + 3 * 16 + strings);
    EXPECT_EQ(filesOf(p).bank1.size(), 2048);
}

TEST(ImageBuild, UnchangedFilesGiveIdenticalImagesAndAnotherProjectKeepsNothingOfThePrevious)
{
    Project rich(QStringLiteral("Rich")), empty(QStringLiteral("Empty"));
    fillRichProject(rich);
    DeviceImage image;
    ASSERT_TRUE(buildAndWriteImages(image, rich.state, u'.').ok);
    const Files first = filesOf(rich);
    ASSERT_TRUE(buildAndWriteImages(image, rich.state, u'.').ok);
    EXPECT_EQ(filesOf(rich), first);

    ASSERT_TRUE(buildAndWriteImages(image, empty.state, u'.').ok);
    Project fresh(QStringLiteral("Empty"));
    DeviceImage freshImage;
    ASSERT_TRUE(buildAndWriteImages(freshImage, fresh.state, u'.').ok);
    EXPECT_EQ(filesOf(empty), filesOf(fresh));
    EXPECT_EQ(filesOf(rich), first);
}

TEST(ImageBuild, FailedBuildWritesNoImage)
{
    struct Case {
        const char* label;
        QByteArray parGen, access;
    };
    const Case cases[] = {
        {"malformed ParGen.xml", "<Par_Gen>", {}},
        {"malformed access file", {}, "<IEC_68850_Client>"},
        {"missing attribute", {}, accessFileXml({With(exampleVariable(), {{"Port", nullptr}})})},
        {"tables too large", {}, accessFileXml({With(exampleVariable(), {{"Reference", QString(0x80000, u'R')}})})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Project p;
        writeOldImages(p);
        if (!c.parGen.isEmpty())
            writeTestFile(p.paths().communicationFile(), c.parGen);
        if (!c.access.isEmpty())
            p.writeAccess(c.access);
        DeviceImage image;
        EXPECT_FALSE(buildAndWriteImages(image, p.state, u'.').ok);
        EXPECT_EQ(filesOf(p), (Files{"old bank1", "old bank2"}));
        EXPECT_EQ(
            QDir(joinPath(p.state.configurationFolder, "bin")).entryList(QDir::Files), QStringList({"bank1.bin", "bank2.bin"}));
    }
}

TEST(ImageBuild, MissingBinFolderIsMadeAgain)
{
    Project p, reference(QStringLiteral("Reference"));
    fillRichProject(p);
    fillRichProject(reference);
    QDir(joinPath(p.state.configurationFolder, "bin")).removeRecursively();
    DeviceImage image;
    const Result r = buildAndWriteImages(image, p.state, u'.');
    ASSERT_TRUE(r.ok) << englishMessage(r).toStdString();
    ASSERT_TRUE(buildAndWriteImages(image, reference.state, u'.').ok);
    EXPECT_EQ(filesOf(p), filesOf(reference));
    EXPECT_EQ(QDir(joinPath(p.state.configurationFolder, "bin")).entryList(QDir::Files), QStringList({"bank1.bin", "bank2.bin"}));
}

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
TEST(ImageBuild, FullDiskNamesTheCauseAndReplacesNeitherImage)
{
    struct Case {
        const char* label;
        rlim_t room;
        const char* failing;
    };
    // bank1.bin is 2048 bytes; the long name makes bank2.bin larger than that.
    const Case cases[] = {
        {"no room at all", 0, "bank1.bin"},
        {"room for part of bank1.bin", 1000, "bank1.bin"},
        {"room for bank1.bin, not for bank2.bin", 3000, "bank2.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Project p;
        p.writeAccess(accessFileXml({With(exampleVariable(), {{"Reference", QString(4000, u'R')}})}));
        writeOldImages(p);
        DeviceImage image;
        Result r;
        {
            const FileSizeLimit fullDisk(c.room);
            r = buildAndWriteImages(image, p.state, u'.');
        }
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(englishMessage(r),
            "Cannot write " + QDir::toNativeSeparators(p.Bin(c.failing)) + ": " + QString::fromLocal8Bit(std::strerror(EFBIG)));
        EXPECT_EQ(filesOf(p), (Files{"old bank1", "old bank2"}));
        EXPECT_EQ(
            QDir(joinPath(p.state.configurationFolder, "bin")).entryList(QDir::Files), QStringList({"bank1.bin", "bank2.bin"}));
        ASSERT_GT(image.bank2().size(), 3000u);
    }
}
#endif

TEST(ImageBuild, WriteFailureNamesTheFileAndReplacesNeitherImage)
{
    {
        // bank2.bin cannot be replaced (here: a folder has taken its name); bank1.bin must stay the old one.
        Project p;
        writeTestFile(p.Bin("bank1.bin"), "old bank1");
        QDir().mkpath(p.Bin("bank2.bin"));
        DeviceImage image;
        const Result r = buildAndWriteImages(image, p.state, u'.');
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(englishMessage(r).startsWith("Cannot write " + QDir::toNativeSeparators(p.Bin("bank2.bin")) + ": "))
            << englishMessage(r).toStdString();
        EXPECT_EQ(readTestFile(p.Bin("bank1.bin")), "old bank1");
        EXPECT_EQ(QDir(joinPath(p.state.configurationFolder, "bin")).entryList(QDir::Files), QStringList({"bank1.bin"}));
    }
}

TEST(ImageBuild, ReadOnlyImageIsReported)
{
    Project p;
    writeOldImages(p);
    QFile::setPermissions(p.Bin("bank1.bin"), QFile::ReadOwner);
    if (QFileInfo(p.Bin("bank1.bin")).isWritable())
        GTEST_SKIP() << "running with rights that write read-only files";
    DeviceImage image;
    const Result r = buildAndWriteImages(image, p.state, u'.');
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(englishMessage(r).contains("bank1.bin")) << englishMessage(r).toStdString();
    QFile::setPermissions(p.Bin("bank1.bin"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(filesOf(p), (Files{"old bank1", "old bank2"}));
}

TEST(ImageBuild, LinksLeadingOutsideTheConfigurationAreNotWrittenThrough)
{
    enum class Link { ProjectFolder, BinFolder, Bank1File, Bank2Dangling, BinInside, Bank1Inside };
    struct Case {
        Link link;
        bool ok;
        const char* named; // the path the error names, below the project folder ("" for the folder itself)
    };
    const Case cases[] = {
        {Link::ProjectFolder, false, ""},
        {Link::BinFolder, false, "bin"},
        {Link::Bank1File, false, "bin/bank1.bin"},
        {Link::Bank2Dangling, false, "bin/bank2.bin"},
        {Link::BinInside, true, nullptr},
        {Link::Bank1Inside, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.link));
        const int id = static_cast<int>(c.link);
        Project p;
        QTemporaryDir outside;
        QDir().mkpath(outside.filePath("Real/bin"));
        writeTestFile(outside.filePath("Real/bin/bank1.bin"), "precious");
        writeTestFile(outside.filePath("victim.bin"), "precious");
        const QString bin = p.file("bin");
        switch (c.link) {
        case Link::ProjectFolder:
            QDir(p.state.configurationFolder).removeRecursively();
            ASSERT_TRUE(QFile::link(outside.filePath("Real"), p.state.configurationFolder));
            break;
        case Link::BinFolder:
            QDir(bin).removeRecursively();
            ASSERT_TRUE(QFile::link(outside.filePath("Real/bin"), bin));
            break;
        case Link::Bank1File:
            ASSERT_TRUE(QFile::link(outside.filePath("victim.bin"), p.Bin("bank1.bin")));
            break;
        case Link::Bank2Dangling:
            ASSERT_TRUE(QFile::link(outside.filePath("made.bin"), p.Bin("bank2.bin")));
            break;
        case Link::BinInside:
            QDir(bin).removeRecursively();
            QDir().mkpath(p.file("images"));
            ASSERT_TRUE(QFile::link(p.file("images"), bin));
            break;
        case Link::Bank1Inside:
            writeTestFile(p.file("kept.bin"), "old");
            ASSERT_TRUE(QFile::link(p.file("kept.bin"), p.Bin("bank1.bin")));
            break;
        }
        DeviceImage image;
        const Result r = buildAndWriteImages(image, p.state, u'.');
        EXPECT_EQ(r.ok, c.ok) << id << ' ' << englishMessage(r).toStdString();
        if (!c.ok) {
            const QString named = *c.named ? p.file(QString::fromUtf8(c.named)) : p.state.configurationFolder;
            EXPECT_TRUE(englishMessage(r).startsWith("Cannot write " + QDir::toNativeSeparators(named) + ": "))
                << id << ' ' << englishMessage(r).toStdString();
        }
        EXPECT_EQ(readTestFile(outside.filePath("Real/bin/bank1.bin")), "precious") << id;
        EXPECT_EQ(readTestFile(outside.filePath("victim.bin")), "precious") << id;
        EXPECT_FALSE(QFileInfo::exists(outside.filePath("made.bin"))) << id;
        EXPECT_FALSE(QFileInfo::exists(outside.filePath("Real/bin/bank2.bin"))) << id;
        if (c.link == Link::BinInside) {
            EXPECT_EQ(readTestFile(p.file("images/bank1.bin")), bytes(image.bank1())) << id;
        }
        if (c.link == Link::Bank1Inside) {
            // The atomic replacement puts the new image in the link's place; what it led to stays.
            EXPECT_EQ(readTestFile(p.Bin("bank1.bin")), bytes(image.bank1())) << id;
            EXPECT_EQ(readTestFile(p.file("kept.bin")), "old") << id;
        }
    }
}
