#include "base/gui/OctetFields.h"
#include "support/WindowTestSupport.h"
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(OctetFields, DotMovesOnAndFocusSelectsTheText)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    QList<QLineEdit*> fields;
    for (const char* text : {"", "1", "2", "3"}) {
        fields << new QLineEdit(QString::fromLatin1(text), &window);
        layout->addWidget(fields.back());
    }
    chainOctetFields(fields);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    fields[0]->setFocus();
    QTest::keyClicks(fields[0], "192");
    for (int i = 0; i < 3; ++i) {
        QTest::keyClicks(QApplication::focusWidget(), ".");
        QApplication::processEvents();
        QTest::keyClicks(QApplication::focusWidget(), QStringList{"168", "0", "7"}[i]);
    }
    EXPECT_EQ(fields[0]->text(), "192");
    EXPECT_EQ(fields[1]->text(), "168");
    EXPECT_EQ(fields[2]->text(), "0");
    EXPECT_EQ(fields[3]->text(), "7");
    QTest::keyClicks(fields[3], ".");
    EXPECT_EQ(fields[3]->text(), "7"); // the last field keeps the focus and no dot
    EXPECT_EQ(QApplication::focusWidget(), fields[3]);
}
