#include "app/ProgramRun.h"
#include "base/Constants.h"
#include "base/TextNumbers.h"
#include "options/core/MakerWebSite.h"
#include "support/WindowChecks.h"
#include <QTabWidget>
#include <cmath>
#include <functional>

namespace {

// A language whose every text is the English one and half as long again: what a translation
// may need.
QByteArray paddedLanguageFile()
{
    QByteArray file = "\xEF\xBB\xBF";
    for (int i = 0; i < TextTable::size; ++i) {
        const QString english = TextTable::builtinText(i);
        if (english == QLatin1String(" "))
            continue;
        const QString padded = english + QString(qsizetype(std::ceil(double(english.size()) / 2)), u'x');
        file += QStringLiteral("STR%1 = \u00B6%2\u00B6\n").arg(i, 4, 10, QChar(u'0')).arg(padded).toUtf8();
    }
    return file;
}

// Shows each window of the program in turn (the main window, the windows it owns), each page
// of each page control, and hands it to `look`; a failure names the window and the page.
void lookAtEveryPage(ProgramRun& run, const std::function<void(QWidget*)>& look)
{
    QList<QWidget*> windows{run.mainWindow.get()};
    for (QDialog* dialog : run.mainWindow->findChildren<QDialog*>())
        windows << dialog;
    EXPECT_GE(windows.size(), 9); // main, New, Open and its name dialog, About, options, communication, access, update
    for (QWidget* window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << window->objectName().toStdString();
        QList<std::pair<QTabWidget*, int>> pages{{nullptr, 0}};
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i)
                pages.push_back({tabs, i});
        for (const auto& [tabs, page] : pages) {
            SCOPED_TRACE(window->objectName().toStdString() + (tabs ? " page " + std::to_string(page) : std::string()));
            if (tabs)
                tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            look(window);
        }
        if (window != run.mainWindow.get())
            window->hide();
    }
}

} // namespace

TEST(WindowTexts, ATranslationHalfAsLongAgainFitsInEveryWindow)
{
    ProgramRun run;
    run.activateConfiguration("Plant");
    writeTestFile(run.state.languageFolder + "/Padded.lng", paddedLanguageFile());
    // The switch as the options window makes it: the windows exist already in English.
    ASSERT_TRUE(run.texts.readLanguageFile(run.state.languageFolder + "/Padded.lng"));
    run.mainWindow->retranslateAllWindows();
    ASSERT_TRUE(run.texts[Text::MainWindow].startsWith("Beginxxx"));

    lookAtEveryPage(run, [](QWidget* window) { EXPECT_EQ(unseenParts(window), QStringList()); });
}

TEST(WindowTexts, InEnglishEveryWindowIsSeenWhole)
{
    ProgramRun run;
    run.activateConfiguration("Plant");
    lookAtEveryPage(run, [](QWidget* window) { EXPECT_EQ(unseenParts(window), QStringList()); });
}

// A control whose caption or hint is written in the code stays English in every language.
TEST(WindowTexts, EveryCaptionAndHintComesFromTheTextTable)
{
    ProgramRun run;
    run.activateConfiguration("Plant");
    markTexts(run.texts);
    run.mainWindow->retranslateAllWindows();
    const QStringList ownNames{SoftwareCode, SoftwareDescription, mainWindowTitle(),
        QStringLiteral("<a href=\"home\">%1</a>").arg(MakerWebHost), QStringLiteral("Plant")};
    lookAtEveryPage(run, [&](QWidget* window) {
        // The About window names the program in fixed English texts, whatever the language.
        if (window->objectName() != QLatin1String("TFAbout")) {
            EXPECT_EQ(textsNotFromTheTable(window, ownNames), QStringList());
        }
    });
}
