#include "app/ProgramRun.h"
#include "base/TextNumbers.h"
#include <QAbstractButton>
#include <QTabWidget>
#include <cmath>

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

// Whether the text of a shown label or button can be read whole: the area of the control that
// its window shows (parents and scroll areas clip it) is as wide as the text needs.
bool fits(const QWidget* control)
{
    const int shownWidth = control->visibleRegion().boundingRect().width();
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap())
            return label->heightForWidth(label->width()) <= label->height() && shownWidth == label->width();
        return shownWidth >= label->minimumSizeHint().width();
    }
    return shownWidth >= control->minimumSizeHint().width();
}

// The labels and buttons of `window` with text that is cut off, as "name: text".
QStringList clippedTexts(const QWidget* window)
{
    QStringList clipped;
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(control);
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || !control->isVisible() || control->window() != window || fits(control))
            continue;
        clipped << QStringLiteral("%1: %2").arg(control->objectName(), text);
    }
    return clipped;
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

    QList<QWidget*> windows{run.mainWindow.get()};
    for (QDialog* dialog : run.mainWindow->findChildren<QDialog*>())
        windows << dialog;
    EXPECT_GE(windows.size(), 9); // main, New, Open and its name dialog, About, options, communication, access, update
    for (QWidget* window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << window->objectName().toStdString();
        // Each page of each page control in turn.
        QList<std::pair<QTabWidget*, int>> pages{{nullptr, 0}};
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i)
                pages.push_back({tabs, i});
        for (const auto& [tabs, page] : pages) {
            if (tabs)
                tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            EXPECT_EQ(clippedTexts(window), QStringList())
                << window->objectName().toStdString() << (tabs ? " page " + std::to_string(page) : std::string());
        }
        if (window != run.mainWindow.get())
            window->hide();
    }
}
