#pragma once
#include <QString>
#include <array>
#include <optional>

// The numbered texts of every window. Entries without a built-in text hold a single blank.
class TText_Table {
public:
    static constexpr int Size = 1500;

    TText_Table();

    const QString& operator[](int index) const { return Texts[static_cast<size_t>(index)]; }
    void Set(int index, const QString& text) { Texts[static_cast<size_t>(index)] = text; }

    // Restores every entry to its built-in English text.
    void Default_Texts();

    // Applies a language file on top of the current texts. False when the file cannot be read.
    bool Read_Language_File(const QString& path);

    // Built-in texts, then the file of `languageName` in `languageFolder`; without such a file
    // the language becomes "English" and English.lng is applied when it exists.
    void Load_Language(const QString& languageFolder, QString& languageName);

    // The built-in English text of an entry, for the language file template.
    static QString Builtin_Text(int index);

private:
    std::array<QString, Size> Texts;
};

// One line of a language file: the index and text it sets, or nothing for a line to skip.
struct TLanguage_Line {
    int Index = -1;
    QString Text;
};
std::optional<TLanguage_Line> Parse_Language_Line(const QString& line);

// Decodes a language file: UTF-8 / UTF-16 LE / UTF-16 BE by byte-order mark, else Windows-1252.
QString Decode_Language_File(const QByteArray& bytes);
