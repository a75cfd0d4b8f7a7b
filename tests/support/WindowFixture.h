#pragma once
#include "base/Files.h"
#include "base/gui/AppContext.h"
#include "configuration/core/ConfigurationFolders.h"
#include "configuration/core/ConfigurationPaths.h"
#include "fakes/FakePlatform.h"
#include "support/WindowTestSupport.h"
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// What a window under test is handed: a program folder, the program state, the texts and fake
// platform services, bound together as the window's context.
struct WindowFixture {
    QTemporaryDir ownFolder;
    QString programFolder;
    FakePlatform fakes;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, fakes.services()};

    // On `folder`, or on a new temporary folder of its own when none is given (a test that
    // starts the program twice on the same folder gives it).
    explicit WindowFixture(const QString& folder = {})
        : programFolder(folder.isEmpty() ? ownFolder.path() : folder)
    {
        state.setProgramFolder(programFolder);
    }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    QString path(const QString& relative) const { return QDir(programFolder).filePath(relative); }

    // Makes configuration `name` active, its folder and image folder made first.
    void activateConfiguration(const QString& name)
    {
        QDir().mkpath(ConfigurationPaths(joinPath(state.projectsFolder, name)).imageFolder());
        openConfiguration(state, name);
    }
    // The files of the active configuration.
    ConfigurationPaths paths() const { return configurationPaths(state); }
};

// The child of `window` named `name`; a missing one fails the test.
template <typename W = QWidget> W* child(const QWidget* window, const char* name)
{
    W* w = window->findChild<W*>(QString::fromLatin1(name));
    EXPECT_TRUE(w) << "no control " << name;
    return w;
}

inline QString labelText(const QWidget* window, const char* name) { return child<QLabel>(window, name)->text(); }

// Whether the control would show with its window.
inline bool shownIn(const QWidget* window, const char* name) { return child(window, name)->isVisibleTo(window); }

inline void click(const QWidget* window, const char* name) { QTest::mouseClick(child(window, name), Qt::LeftButton); }

// A check box is clicked on its indicator (the box may be wider than its text).
inline void clickBox(const QWidget* window, const char* name)
{
    auto* box = child<QCheckBox>(window, name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

// Replaces the text of an entry field by typing, as the engineer does.
inline void typeInto(const QWidget* window, const char* name, const QString& text)
{
    auto* field = child<QLineEdit>(window, name);
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Shows the window and waits until it has the keyboard. Tests that send their events straight
// to controls use showExposed instead: nothing there needs the activation.
[[nodiscard]] inline bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

[[nodiscard]] inline bool showExposed(QWidget* window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window);
}
