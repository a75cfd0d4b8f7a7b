#pragma once
#include "platform/Platform.h"
#include "base/ProgramState.h"
#include "base/Result.h"
#include "base/TextTable.h"

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// What every window receives: the program state, the text table and the platform services.
struct AppContext {
    ProgramState& state;
    TextTable& texts;
    Platform& platform;

    // The text of a failed result in the language of the table.
    QString textOf(const Result& result) const;
    // Shows a failed result in one error box; returns result.Ok.
    bool report(const Result& result) const;
    void error(int textNo, const QString& arg = {}) const { platform.messages->error(texts[textNo] + arg); }
};

// The message boxes' titles and buttons in the language of the text table.
MessageBoxTexts messageBoxTexts(const TextTable& texts);

// Sets the object name of a control so that tests and style sheets find it by its given name.
template <typename W> W* withObjectName(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The large software-code label at the top left of every window but About.
QLabel* makeSoftwareCodeLabel(QWidget* parent);

// The right-aligned row of the Btn_OK and Btn_Cancel buttons of a dialog; Cancel rejects it.
QHBoxLayout* makeOkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

// The line under a window's title that says the window is open read-only, and why (`reason`,
// a failed result such as who holds the configuration); hidden while `reason` is a success.
QLabel* makeReadOnlyNotice(QWidget* parent);
void showReadOnlyNotice(QLabel* notice, const AppContext& context, const Result& reason);
