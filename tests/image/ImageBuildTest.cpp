#include "ImageTestSupport.h"
#include <QFile>
#include <gtest/gtest.h>

using namespace Image;
using namespace Image_Test;

namespace {

// A project with every kind of entry: two variables, a data set with members and an empty one.
void Fill_Rich_Project(const TProject& p)
{
    TParGen parGen = Default_ParGen();
    parGen["EtherNetIP_IP4"] = QStringLiteral("77");
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("12");
    parGen["IEC61850_Client_Application_ID"] = QStringLiteral("0x2222");
    p.Write_ParGen(parGen);
    p.Write_Access(Access_File({Example_Variable(), With(Example_Variable(), {{"bType", "VisString255"}, {"Reference", "LD0/LPHD1.PhyNam.vendor"}})},
        Data_Set(Example_DataSet(), {Example_Member(1), Example_Member(2), Example_Member(3)}) + Data_Set(Example_DataSet(), {})));
}

struct TFiles {
    QByteArray Bank1, Bank2;
    bool operator==(const TFiles&) const = default;
};
TFiles Files_Of(const TProject& p) { return {Read_Test_File(p.Bin("bank1.bin")), Read_Test_File(p.Bin("bank2.bin"))}; }

void Write_Old_Images(const TProject& p)
{
    Write_Test_File(p.Bin("bank1.bin"), "old bank1");
    Write_Test_File(p.Bin("bank2.bin"), "old bank2");
}

} // namespace

TEST(ImageBuild, NewProjectWithoutFilesWritesBothImages)
{
    TProject p;
    TDevice_Image image;
    ASSERT_TRUE(Build_Images(image, p.State, u'.').Ok);
    const TFiles files = Files_Of(p);
    EXPECT_EQ(files.Bank1.size(), 2048);
    EXPECT_EQ(files.Bank1.right(4).toHex(), QByteArray("8a0d0000"));
    EXPECT_EQ(files.Bank2.toHex(), QByteArray("00000000" "00000000" "00000000" "00000000" "18000800" "18000800"));
}

TEST(ImageBuild, Bank2SizeIsHeaderRecordsAndStrings)
{
    TProject p;
    Fill_Rich_Project(p);
    TDevice_Image image;
    ASSERT_TRUE(Build_Images(image, p.State, u',').Ok);
    const qsizetype strings = (8 + 13 + 21) + (13 + 13 + 24) + 2 * (4 + 17 + 13) + 3 * (6 + 26);
    EXPECT_EQ(Files_Of(p).Bank2.size(), 24 + 2 * 32 + 2 * 28 + 3 * 16 + strings);
    EXPECT_EQ(Files_Of(p).Bank1.size(), 2048);
}

TEST(ImageBuild, UnchangedFilesGiveIdenticalImagesAndAnotherProjectKeepsNothingOfThePrevious)
{
    TProject rich(QStringLiteral("Rich")), empty(QStringLiteral("Empty"));
    Fill_Rich_Project(rich);
    TDevice_Image image;
    ASSERT_TRUE(Build_Images(image, rich.State, u'.').Ok);
    const TFiles first = Files_Of(rich);
    ASSERT_TRUE(Build_Images(image, rich.State, u'.').Ok);
    EXPECT_EQ(Files_Of(rich), first);

    ASSERT_TRUE(Build_Images(image, empty.State, u'.').Ok);
    TProject fresh(QStringLiteral("Empty"));
    TDevice_Image freshImage;
    ASSERT_TRUE(Build_Images(freshImage, fresh.State, u'.').Ok);
    EXPECT_EQ(Files_Of(empty), Files_Of(fresh));
    EXPECT_EQ(Files_Of(rich), first);
}

TEST(ImageBuild, FailedBuildWritesNoImage)
{
    struct TCase {
        const char* label;
        QByteArray parGen, access;
    };
    const TCase cases[] = {
        {"malformed ParGen.xml", "<Par_Gen>", {}},
        {"malformed access file", {}, "<IEC_68850_Client>"},
        {"missing attribute", {}, Access_File({With(Example_Variable(), {{"Port", nullptr}})})},
        {"tables too large", {}, Access_File({With(Example_Variable(), {{"Reference", QString(0x80000, u'R')}})})},
    };
    for (const TCase& c : cases) {
        TProject p;
        Write_Old_Images(p);
        if (!c.parGen.isEmpty())
            Write_Test_File(p.State.ParGen_File, c.parGen);
        if (!c.access.isEmpty())
            p.Write_Access(c.access);
        TDevice_Image image;
        EXPECT_FALSE(Build_Images(image, p.State, u'.').Ok) << c.label;
        EXPECT_EQ(Files_Of(p), (TFiles{"old bank1", "old bank2"})) << c.label;
        EXPECT_EQ(QDir(Join_Path(p.State.Project_Folder, "bin")).entryList(QDir::Files), QStringList({"bank1.bin", "bank2.bin"})) << c.label;
    }
}

TEST(ImageBuild, WriteFailureNamesTheFileAndReplacesNeitherImage)
{
    {
        TProject p;
        QDir(p.State.Project_Folder).rmdir("bin");
        TDevice_Image image;
        const TResult r = Build_Images(image, p.State, u'.');
        EXPECT_FALSE(r.Ok);
        EXPECT_TRUE(r.Message.startsWith("Cannot write " + QDir::toNativeSeparators(p.Bin("bank1.bin")) + ": ")) << r.Message.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Join_Path(p.State.Project_Folder, "bin")));
    }
    {
        // bank2.bin cannot be replaced (here: a folder has taken its name); bank1.bin must stay the old one.
        TProject p;
        Write_Test_File(p.Bin("bank1.bin"), "old bank1");
        QDir().mkpath(p.Bin("bank2.bin"));
        TDevice_Image image;
        const TResult r = Build_Images(image, p.State, u'.');
        EXPECT_FALSE(r.Ok);
        EXPECT_TRUE(r.Message.startsWith("Cannot write " + QDir::toNativeSeparators(p.Bin("bank2.bin")) + ": ")) << r.Message.toStdString();
        EXPECT_EQ(Read_Test_File(p.Bin("bank1.bin")), "old bank1");
        EXPECT_EQ(QDir(Join_Path(p.State.Project_Folder, "bin")).entryList(QDir::Files), QStringList({"bank1.bin"}));
    }
}

TEST(ImageBuild, ReadOnlyImageIsReported)
{
    TProject p;
    Write_Old_Images(p);
    QFile::setPermissions(p.Bin("bank1.bin"), QFile::ReadOwner);
    if (QFileInfo(p.Bin("bank1.bin")).isWritable())
        GTEST_SKIP() << "running with rights that write read-only files";
    TDevice_Image image;
    const TResult r = Build_Images(image, p.State, u'.');
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Message.contains("bank1.bin")) << r.Message.toStdString();
    QFile::setPermissions(p.Bin("bank1.bin"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Files_Of(p), (TFiles{"old bank1", "old bank2"}));
}
