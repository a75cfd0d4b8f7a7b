#pragma once
#include "base/Files.h"
#include "base/Result.h"
#include <QString>
#include <array>
#include <optional>

// The numbered texts of every window. Entries without a built-in text hold a single blank.
class TextTable {
public:
    static constexpr int size = 4000;
    // Bounds of a language file: a longer line is skipped whole (never cut, which could leave
    // half a placeholder), and lines after the last one counted are not read.
    static constexpr qsizetype maxLineLength = 4096;
    static constexpr int maxLines = 10000;

    TextTable();

    const QString& operator[](int index) const { return texts[static_cast<size_t>(index)]; }
    void set(int index, const QString& text) { texts[static_cast<size_t>(index)] = text; }

    // Restores every entry to its built-in English text.
    void defaultTexts();

    // Applies a language file on top of the current texts. False when the file cannot be read
    // (also when it is not a regular file or is over the limit).
    bool readLanguageFile(const QString& path, const ReadLimit& limit = languageFileLimit);
    // The same for the bytes of a file already in memory.
    void applyLanguageFile(const QByteArray& bytes);

    // Built-in texts, then the file of `languageName` in `languageFolder`; without such a file
    // the language becomes "English" and English.lng is applied when it exists.
    void loadLanguage(const QString& languageFolder, QString& languageName);

    // The built-in English text of an entry, for the language file template.
    static QString builtinText(int index);

    // What a failed `result` says in this table's language: its text with %1, %2 ... filled by
    // its arguments, or, for a text written without placeholders ("Error row "), followed by
    // them. Empty for a success.
    QString message(const Result& result) const;

private:
    std::array<QString, size> texts;
};

// The same in the built-in English texts, for the command-line tool and the logs.
QString englishMessage(const Result& result);

// One line of a language file: the index and text it sets, or nothing for a line to skip.
struct LanguageLine {
    int index = -1;
    QString text;
};
std::optional<LanguageLine> parseLanguageLine(const QString& line);

// Decodes a language file: UTF-8 / UTF-16 LE / UTF-16 BE by byte-order mark, else Windows-1252.
QString decodeLanguageFile(const QByteArray& bytes);
