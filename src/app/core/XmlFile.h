#pragma once
#include "Result.h"
#include <QString>
#include <pugixml.hpp>

// Every project and settings file goes through these two functions, so that all of them
// agree on what "the document's first node" is and on how a file is written.

// Loads a file keeping declarations, comments and processing instructions as nodes.
// A parse error names the file, the line and the parser's reason.
TResult Load_Xml_File(const QString& path, pugi::xml_document& doc);

// Saves raw (no indentation), UTF-8, without declaration, replacing the file atomically.
TResult Save_Xml_File(const pugi::xml_document& doc, const QString& path);

// The parse flags of Load_Xml_File, for readers that load a buffer themselves.
constexpr unsigned Xml_Parse_Flags = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

// "file: line N: reason" for a failed parse of the given buffer.
QString Xml_Parse_Error(const QString& path, const pugi::xml_parse_result& result, const char* buffer, size_t size);

inline QString Xml_To_QString(const char* text) { return QString::fromUtf8(text); }
inline std::string QString_To_Xml(const QString& text) { return text.toStdString(); }

// Text of the element `name` among the children of `parent`; nullopt when there is no such
// element or it holds elements instead of text. A present but empty element gives "".
std::optional<QString> Xml_Child_Text(const pugi::xml_node& parent, const char* name);
