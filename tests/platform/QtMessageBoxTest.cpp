#include "base/TextNumbers.h"
#include "base/gui/AppContext.h"
#include "platform/QtPlatform.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct Seen {
    QString title;
    QStringList buttons;
};

// Answers the next message box by clicking the button captioned `click`, noting what it showed.
void answerWith(const QString& click, Seen& seen)
{
    auto* watch = new QTimer;
    watch->setInterval(5);
    QObject::connect(watch, &QTimer::timeout, [=, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watch->stop();
        watch->deleteLater();
        seen.title = box->windowTitle();
        QAbstractButton* target = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            seen.buttons << b->text();
            if (b->text() == click)
                target = b;
        }
        seen.buttons.sort();
        if (target)
            QTest::mouseClick(target, Qt::LeftButton);
        else
            box->done(-1);
    });
    watch->start();
}

} // namespace

TEST(QtMessageBoxes, TitlesAndButtonsFollowTheTextTable)
{
    TextTable texts;
    QtPlatform platform;
    platform.setMessageBoxTexts([&texts] { return messageBoxTexts(texts); });
    MessageService& messages = *platform.services().messages;

    Seen seen;
    answerWith("OK", seen);
    messages.error("x");
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.buttons, QStringList{"OK"});

    // A language switch reaches the next box.
    const std::pair<int, const char*> italian[] = {{Text::TitleError, "Errore"}, {Text::TitleWarning, "Avviso"},
        {Text::TitleInformation, "Informazioni"}, {Text::TitleConfirm, "Conferma"}, {Text::ButtonYes, "S\u00EC"},
        {Text::ButtonNo, "No"}, {Text::ButtonOk, "Va bene"}, {Text::ButtonCancel, "Annulla"}};
    for (const auto& [number, text] : italian)
        texts.set(number, QString::fromUtf8(text));
    const struct {
        std::function<int()> show;
        QString click;
        int answer;
        QString title;
        QStringList buttons;
    } cases[] = {
        {[&] {
             messages.error("x");
             return 0;
         },
            "Va bene", 0, "Errore", {"Va bene"}},
        {[&] {
             messages.warning("x");
             return 0;
         },
            "Va bene", 0, "Avviso", {"Va bene"}},
        {[&] {
             messages.Information("x");
             return 0;
         },
            "Va bene", 0, "Informazioni", {"Va bene"}},
        {[&] { return int(messages.askYesNo("x")); }, "No", 0, "Conferma", {"No", u"S\u00EC"_qs}},
        {[&] { return int(messages.askYesNo("x")); }, u"S\u00EC"_qs, 1, "Conferma", {"No", u"S\u00EC"_qs}},
        {[&] { return int(messages.askYesNoCancel("x")); }, "Annulla", int(MessageService::Answer::Cancel), "Conferma",
            {"Annulla", "No", u"S\u00EC"_qs}},
        {[&] { return int(messages.askYesNoCancel("x")); }, "No", int(MessageService::Answer::No), "Conferma",
            {"Annulla", "No", u"S\u00EC"_qs}},
    };
    for (const auto& c : cases) {
        Seen italianSeen;
        answerWith(c.click, italianSeen);
        EXPECT_EQ(c.show(), c.answer) << c.title.toStdString() << ' ' << c.click.toStdString();
        EXPECT_EQ(italianSeen.title, c.title);
        EXPECT_EQ(italianSeen.buttons, c.buttons) << c.title.toStdString();
    }
}

// A question whose safe answer is No offers No as the default button: Enter keeps what is.
TEST(QtMessageBoxes, QuestionWithTheSafeAnswerNoHasNoAsItsDefault)
{
    QtPlatform platform;
    MessageService& messages = *platform.services().messages;
    QString shownDefault;
    auto* watch = new QTimer;
    watch->setInterval(5);
    QObject::connect(watch, &QTimer::timeout, [=, &shownDefault] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watch->stop();
        watch->deleteLater();
        if (QPushButton* button = box->defaultButton())
            shownDefault = button->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    watch->start();
    EXPECT_FALSE(messages.askYesNoDefaultNo("Replace it?"));
    EXPECT_EQ(shownDefault, "No");
}
