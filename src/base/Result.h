#pragma once
#include <QString>

// Outcome of a core operation. A core never shows a dialog: the window turns an error
// into one message box, either the text-table entry textNumber followed by arg, or message.
struct Result {
    bool ok = true;
    int textNumber = -1;
    QString arg;
    QString message;

    static Result success() { return {}; }
    static Result error(const QString& message) { return {false, -1, {}, message}; }
    static Result textError(int textNo, const QString& arg = {}) { return {false, textNo, arg, {}}; }
    explicit operator bool() const { return ok; }
};
