#pragma once
#include "FakePlatform.h"
#include "TFTessavoFirmWare.h"
#include "TestSupport.h"
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
struct TProgram_Run {
    TFake_Platform Fakes;
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx{State, Texts, Fakes.Services()};
    std::unique_ptr<TFTessavoFirmWare> Main;

    explicit TProgram_Run(const QString& folder)
        : Main(std::make_unique<TFTessavoFirmWare>(Ctx, folder))
    {
        Main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    QString Label(const char* name) const { return Main->findChild<QLabel*>(name)->text(); }
    void Click(const char* name) { QTest::mouseClick(Main->findChild<QPushButton*>(name), Qt::LeftButton); }

    // Clicks a main-window button that opens a dialog and runs `action` in the active dialog.
    // A dialog that the action leaves open is cancelled, so a failing test cannot hang; the
    // watch ends with this call, so it never acts on a later dialog.
    void With_Dialog(const char* button, const std::function<void(QDialog*)>& action)
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
