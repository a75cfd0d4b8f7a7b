#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include "options/gui/AboutDialog.h"
#include "app/ProgramRun.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(About, FixedTextsAndTheMakersHomePage)
{
    ProgramRun run;

    bool seen = false;
    onNextModal([&](QWidget* about) {
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
        EXPECT_EQ(run.fakes.shell.Opened, QStringList({makerHomePage(), makerHomePage()}));
        QTest::mouseClick(about->findChild<QPushButton*>("LbButton1"), Qt::LeftButton);
    });
    run.click("Btn_Info");
    EXPECT_TRUE(seen);
    EXPECT_FALSE(QApplication::activeModalWidget());
    EXPECT_TRUE(run.fakes.messages.shown.empty());
}
