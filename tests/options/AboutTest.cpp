#include "Constants.h"
#include "FakePlatform.h"
#include "TFAbout.h"
#include "TFTessavoFirmWare.h"
#include "WindowTestSupport.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(About, FixedTextsAndTheMakersHomePage)
{
    QTemporaryDir dir;
    TFake_Platform fakes;
    TProgramState state;
    TText_Table texts;
    TAppContext ctx{state, texts, fakes.Services()};
    TFTessavoFirmWare main(ctx, dir.path());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    bool seen = false;
    On_Next_Modal([&](QWidget* about) {
        seen = true;
        EXPECT_EQ(about->objectName(), "TFAbout");
        EXPECT_EQ(about->windowTitle(), "About...");
        const std::pair<const char*, QString> labels[] = {
            {"Label1", "Software Tessav "},
            {"Label2", SoftwareDescription},
            {"Label6", "Software Code : "},
            {"Label9", "SWQuelmor"},
            {"Label3", "Version :"},
            {"Label10", "1.000"},
            {"Label8", "Document Code :"},
            {"Label12", "MNQuelmor"},
        };
        for (const auto& [name, text] : labels)
            EXPECT_EQ(about->findChild<QLabel*>(name)->text(), text) << name;
        EXPECT_FALSE(about->findChild<QLabel*>("Image2")->pixmap().isNull());
        emit about->findChild<QLabel*>("Label4")->linkActivated("home");
        QTest::mouseClick(about->findChild<QLabel*>("Image2"), Qt::LeftButton);
        EXPECT_EQ(fakes.Shell.Opened, QStringList({Maker_Home_Page(), Maker_Home_Page()}));
        QTest::mouseClick(about->findChild<QPushButton*>("LbButton1"), Qt::LeftButton);
    });
    QTest::mouseClick(main.findChild<QPushButton*>("Btn_Info"), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(QApplication::activeModalWidget());
    EXPECT_TRUE(fakes.Messages.Shown.empty());
}
