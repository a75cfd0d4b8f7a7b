#pragma once
#include <QString>
#include <QStringList>

class TextTable;

// Outcome of a core operation. A core never shows a dialog: the window turns an error into one
// message box, either the text-table entry textNumber with args filled into its %1, %2 ... and
// followed by arg, or message. A numbered error also keeps its English text in message, for
// the command-line tool and the logs.
struct Result {
    bool ok = true;
    int textNumber = -1;
    QString arg;
    QString message;
    QStringList args;

    static Result success() { return {}; }
    static Result error(const QString& message) { return {false, -1, {}, message, {}}; }
    static Result textError(int textNo, const QString& arg = {}) { return {false, textNo, arg, {}, {}}; }
    // The text `textNo` with its placeholders filled by `args`.
    static Result failed(int textNo, const QStringList& args = {});
    explicit operator bool() const { return ok; }

    // What the window shows, in the language of `texts`.
    QString text(const TextTable& texts) const;
};

// Fills %1 to %9 of `text` with `args` in one pass, so that an argument holding "%1" (a path,
// say) is kept as it is; a placeholder without an argument stays.
QString fillPlaceholders(const QString& text, const QStringList& args);
