#include "FakePlatform.h"
#include "ImageTestSupport.h"
#include "TFTessavoFirmWare.h"
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace Image_Test;

namespace {

// The main window on a program folder of its own with the configuration "Plant" active.
struct TStep4 {
    QTemporaryDir Dir;
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFTessavoFirmWare> Main;

    TStep4()
    {
        Main = std::make_unique<TFTessavoFirmWare>(Ctx, Dir.path());
        Activate(QStringLiteral("Plant"));
        Main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    void Activate(const QString& name)
    {
        QDir(State.Projects_Folder).mkpath(name + QStringLiteral("/bin"));
        State.Activate_Project(name);
    }
    QString Bin(const QString& name) const { return Join_Path(Join_Path(State.Project_Folder, QStringLiteral("bin")), name); }
    // Presses Step 4; true when the update window opened (it is then closed with Cancel).
    bool Click_Update()
    {
        bool opened = false;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = dialog->objectName() == QLatin1String("TFBoot");
                dialog->reject();
            }
        });
        watch.start();
        QTest::mouseClick(Main->findChild<QPushButton*>("Btn_CreateBin"), Qt::LeftButton);
        return opened;
    }
};

} // namespace

TEST(UpdateDevice, EveryPressBuildsAndWritesBothImagesFromTheCurrentFiles)
{
    TStep4 run;
    EXPECT_TRUE(run.Click_Update());
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
    EXPECT_EQ(Read_Test_File(run.Bin("bank1.bin")).right(4).toHex(), QByteArray("8a0d0000"));
    EXPECT_EQ(Read_Test_File(run.Bin("bank2.bin")).size(), 24);

    // The user's separator is a comma; a factor typed with a point must still reach the device.
    run.Fakes.Locale.Separator = QStringLiteral(",");
    Write_Test_File(run.State.IEC_Client_File, Access_File({With(Example_Variable(), {{"MoltFact", "0.5"}})}));
    QFile::remove(run.Bin("bank1.bin"));
    EXPECT_TRUE(run.Click_Update());
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
    const QByteArray bank2 = Read_Test_File(run.Bin("bank2.bin"));
    ASSERT_EQ(bank2.size(), 98);
    EXPECT_EQ(bank2.mid(24 + 16, 4).toHex(), QByteArray("0000003f"));
    EXPECT_EQ(Read_Test_File(run.Bin("bank1.bin")).size(), 2048);
}

TEST(UpdateDevice, AfterSwitchingProjectsNothingOfThePreviousRemains)
{
    TStep4 run;
    Write_Test_File(run.State.IEC_Client_File, Access_File({Example_Variable()}, Data_Set(Example_DataSet(), {Example_Member(1)})));
    TParGen parGen = Default_ParGen();
    parGen["IEC61850_Client_VLAN"] = QStringLiteral("5");
    Write_ParGen(run.State.ParGen_File, parGen);
    EXPECT_TRUE(run.Click_Update());
    run.Activate(QStringLiteral("Empty"));
    EXPECT_TRUE(run.Click_Update());
    EXPECT_TRUE(run.Fakes.Messages.Shown.empty());
    EXPECT_EQ(Read_Test_File(run.Bin("bank2.bin")).toHex(), QByteArray("00000000" "00000000" "00000000" "00000000" "18000800" "18000800"));
    EXPECT_EQ(Read_Test_File(run.Bin("bank1.bin")).right(4).toHex(), QByteArray("8a0d0000"));
}

TEST(UpdateDevice, AFailedBuildOrWriteShowsOneErrorAndWritesNoImage)
{
    struct TCase {
        const char* label;
        std::function<void(TStep4&)> prepare;
        std::function<QString(const TStep4&)> message;
    };
    const TCase cases[] = {
        {"item without its port",
            [](TStep4& r) { Write_Test_File(r.State.IEC_Client_File, Access_File({Example_Variable(), Example_Variable(), With(Example_Variable(), {{"Port", nullptr}})})); },
            [](const TStep4& r) { return QDir::toNativeSeparators(r.State.IEC_Client_File) + ": item 3 of List_DA_Selected has no Port attribute"; }},
        {"data set of 256 attributes",
            [](TStep4& r) {
                Write_Test_File(r.State.IEC_Client_File, Access_File({}, Data_Set(Example_DataSet(), std::vector<TAttrs>(256, Example_Member(1)))));
            },
            [](const TStep4& r) {
                return QDir::toNativeSeparators(r.State.IEC_Client_File) + ": item 1 of List_DataSet_Selected has 256 attributes, more than the 255 a data set can hold";
            }},
        {"missing bin folder", [](TStep4& r) { QDir(r.State.Project_Folder).rmdir("bin"); },
            [](const TStep4& r) { return "Cannot write " + QDir::toNativeSeparators(r.Bin("bank1.bin")) + ": "; }},
    };
    for (const TCase& c : cases) {
        TStep4 run;
        c.prepare(run);
        EXPECT_FALSE(run.Click_Update()) << c.label;
        ASSERT_EQ(run.Fakes.Messages.Shown.size(), 1u) << c.label;
        EXPECT_EQ(run.Fakes.Messages.Shown[0].Kind, "error") << c.label;
        EXPECT_TRUE(run.Fakes.Messages.Shown[0].Text.startsWith(c.message(run))) << c.label << ": " << run.Fakes.Messages.Shown[0].Text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(run.Bin("bank1.bin"))) << c.label;
        EXPECT_FALSE(QFileInfo::exists(run.Bin("bank2.bin"))) << c.label;
    }
}
