#pragma once
#include "base/Files.h"
#include "base/Result.h"
#include <QString>
#include <pugixml.hpp>

// Every project and settings file goes through these two functions, so that all of them
// agree on what "the document's first node" is and on how a file is written.

// Loads a file keeping declarations, comments and processing instructions as nodes.
// A parse error names the file, the line and the parser's reason; a file that is not a
// regular file or is over `limit` is not read. A character that XML 1.0 does not allow, raw or
// as a character reference ("&#11;", "&#0;"), is such an error too, naming the element and
// attribute that hold it.
Result loadXmlFile(const QString& path, pugi::xml_document& doc, const ReadLimit& limit = anyFileLimit);

// Saves raw (no indentation), UTF-8, without declaration, replacing the file atomically. A
// document holding a character that XML 1.0 does not allow, or larger than `limit` (which its
// reader would refuse), is refused before anything is written.
Result saveXmlFile(const pugi::xml_document& doc, const QString& path, const ReadLimit& limit = anyFileLimit);

// The parse flags of loadXmlFile(), for readers that load a buffer themselves.
constexpr unsigned xmlParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

// "file: line N: reason" for a failed parse of the given buffer.
Result xmlParseError(const QString& path, const pugi::xml_parse_result& result, const char* buffer, size_t size);

// After `doc` was parsed from `data` with `flags`: an error naming the file, the line, the
// element and the attribute when the document holds a character that XML 1.0 does not allow
// (the parser takes "&#11;" or a raw control character without a word, and cuts a value at
// "&#0;"). For readers that load a buffer themselves.
Result checkXmlCharacters(const QString& path, const QByteArray& data, unsigned flags, const pugi::xml_parse_result& parsed);

// Whether XML 1.0 allows the character: tab, line feed, carriage return, U+0020 to U+D7FF,
// U+E000 to U+FFFD and U+10000 to U+10FFFF.
constexpr bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// Where the first character of `text` stands that a file cannot hold (see isXmlCharacter; a
// lone surrogate too), or -1.
qsizetype firstNonXmlCharacter(QStringView text);

// "U+000B": how messages show a character.
QString characterCode(char32_t c);

// Every character kept, a leading U+FEFF too: QString::fromUtf8() would drop it as a byte
// order mark, and a value is never a file's start.
inline QString xmlToQString(const char* text)
{
    qsizetype marks = 0;
    for (; text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF'; text += 3)
        ++marks;
    return marks == 0 ? QString::fromUtf8(text) : QString(marks, QChar(0xFEFF)) + QString::fromUtf8(text);
}
inline std::string qStringToXml(const QString& text) { return text.toStdString(); }

// Text of the element `name` among the children of `parent`; nullopt when there is no such
// element or it holds elements instead of text. A present but empty element gives "".
std::optional<QString> xmlChildText(const pugi::xml_node& parent, const char* name);
