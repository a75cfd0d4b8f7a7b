#pragma once
#include "app/MainWindow.h"
#include "support/WindowFixture.h"
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

// The whole program on a program folder, its main window shown.
struct ProgramRun : WindowFixture {
    std::unique_ptr<MainWindow> mainWindow;

    explicit ProgramRun(const QString& folder = {})
        : WindowFixture(folder)
        , mainWindow(std::make_unique<MainWindow>(context, programFolder))
    {
        EXPECT_TRUE(showExposed(mainWindow.get()));
    }
    QString label(const char* name) const { return labelText(mainWindow.get(), name); }
    void click(const char* name) const { ::click(mainWindow.get(), name); }
    QTimer* versionCheckTimer() const { return mainWindow->findChild<QTimer*>("versionCheckTimer"); }

    // Clicks a main-window button that opens a dialog and runs `action` in the active dialog.
    // A dialog that the action leaves open is cancelled, so a failing test cannot hang; the
    // watch ends with this call, so it never acts on a later dialog.
    void withDialog(const char* button, const std::function<void(QDialog*)>& action)
    {
        const bool ran = inNextDialog([&] { click(button); },
            [&](QDialog* dialog) {
                dialog->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
                action(dialog);
            });
        EXPECT_TRUE(ran) << button;
    }
};
