#pragma once
#include <QString>

// Outcome of a core operation. A core never shows a dialog: the window turns an error
// into one message box, either the text-table entry Text_No followed by Arg, or Message.
struct TResult {
    bool Ok = true;
    int Text_No = -1;
    QString Arg;
    QString Message;

    static TResult Success() { return {}; }
    static TResult Error(const QString& message) { return {false, -1, {}, message}; }
    static TResult Text_Error(int textNo, const QString& arg = {}) { return {false, textNo, arg, {}}; }
    explicit operator bool() const { return Ok; }
};
