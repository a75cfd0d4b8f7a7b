#pragma once
#include "Platform.h"
#include "ProgramState.h"
#include "Result.h"
#include "TextTable.h"

class QWidget;
class QLabel;

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
