#pragma once
#include <QString>
#include <QStringList>

// Outcome of a core operation: on failure, the number of the text that says what went wrong and
// the values it names. A core never shows a dialog and never words a message: whoever holds the
// text table turns the result into one (TextTable::message, englishMessage).
struct Result {
    bool ok = true;
    int textNumber = -1;
    QStringList args;

    static Result success() { return {}; }
    static Result failed(int textNo, const QStringList& args = {}) { return {false, textNo, args}; }
    explicit operator bool() const { return ok; }
};

// Fills %1 to %9 of `text` with `args` in one pass, so that an argument holding "%1" (a path,
// say) is kept as it is; a placeholder without an argument stays.
QString fillPlaceholders(const QString& text, const QStringList& args);
