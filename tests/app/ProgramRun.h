#pragma once
#include "fakes/FakePlatform.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A program run on a folder of its own, with fake platform services.
struct ProgramRun {
    FakePlatform Fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, Fakes.services()};
    std::unique_ptr<MainWindow> Main;

    explicit ProgramRun(const QString& folder)
        : Main(std::make_unique<MainWindow>(context, folder))
    {
        Main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    QString Label(const char* name) const { return Main->findChild<QLabel*>(name)->text(); }
    void Click(const char* name) { QTest::mouseClick(Main->findChild<QPushButton*>(name), Qt::LeftButton); }

    // Clicks a main-window button that opens a dialog and runs `action` in the active dialog.
    // A dialog that the action leaves open is cancelled, so a failing test cannot hang; the
    // watch ends with this call, so it never acts on a later dialog.
    void withDialog(const char* button, const std::function<void(QDialog*)>& action)
    {
        bool ran = false;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            watch.stop();
            ran = true;
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            action(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        watch.start();
        Click(button);
        EXPECT_TRUE(ran) << button;
    }
};
