#pragma once
#include "base/Files.h"
#include "base/Result.h"
#include <QString>
#include <pugixml.hpp>

// Every project and settings file goes through these two functions, so that all of them
// agree on what "the document's first node" is and on how a file is written.

// Loads a file keeping declarations, comments and processing instructions as nodes.
// A parse error names the file, the line and the parser's reason; a file that is not a
// regular file or is over `limit` is not read.
Result loadXmlFile(const QString& path, pugi::xml_document& doc, const ReadLimit& limit = anyFileLimit);

// Saves raw (no indentation), UTF-8, without declaration, replacing the file atomically. A
// document larger than `limit`, which its reader would refuse, is not written.
Result saveXmlFile(const pugi::xml_document& doc, const QString& path, const ReadLimit& limit = anyFileLimit);

// The parse flags of loadXmlFile(), for readers that load a buffer themselves.
constexpr unsigned xmlParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

// "file: line N: reason" for a failed parse of the given buffer.
Result xmlParseError(const QString& path, const pugi::xml_parse_result& result, const char* buffer, size_t size);

inline QString xmlToQString(const char* text) { return QString::fromUtf8(text); }
inline std::string qStringToXml(const QString& text) { return text.toStdString(); }

// Text of the element `name` among the children of `parent`; nullopt when there is no such
// element or it holds elements instead of text. A present but empty element gives "".
std::optional<QString> xmlChildText(const pugi::xml_node& parent, const char* name);
