#pragma once
#include "Platform.h"
#include "ProgramState.h"
#include "Result.h"
#include "TextTable.h"

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// What every window receives: the program state, the text table and the platform services.
struct TAppContext {
    TProgramState& State;
    TText_Table& Texts;
    TPlatform& Platform;

    // The text of a failed result: its text-table entry followed by its argument, or its message.
    QString Text_Of(const TResult& result) const;
    // Shows a failed result in one error box; returns result.Ok.
    bool Report(const TResult& result) const;
    void Error(int textNo, const QString& arg = {}) const { Platform.Messages->Error(Texts[textNo] + arg); }
};

// Sets the object name of a control so that tests and style sheets find it by its given name.
template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The large software-code label at the top left of every window but About.
QLabel* Make_SW_Code_Label(QWidget* parent);

// The right-aligned row of the Btn_OK and Btn_Cancel buttons of a dialog; Cancel rejects it.
QHBoxLayout* Make_OK_Cancel_Row(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);
