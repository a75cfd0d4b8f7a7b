#include "XmlFile.h"
#include "Files.h"
#include <QDir>
#include <sstream>

QString Xml_Parse_Error(const QString& path, const pugi::xml_parse_result& result, const char* buffer, size_t size)
{
    const auto offset = static_cast<size_t>(result.offset < 0 ? 0 : result.offset);
    qsizetype line = 1;
    for (size_t i = 0; i < offset && i < size; ++i)
        if (buffer[i] == '\n')
            ++line;
    return QStringLiteral("%1: line %2: %3").arg(QDir::toNativeSeparators(path)).arg(line).arg(QString::fromUtf8(result.description()));
}

TResult Load_Xml_File(const QString& path, pugi::xml_document& doc)
{
    QByteArray data;
    if (auto read = Read_Whole_File(path, data); !read)
        return read;
    const auto result = doc.load_buffer(data.constData(), static_cast<size_t>(data.size()), Xml_Parse_Flags);
    if (!result)
        return TResult::Error(Xml_Parse_Error(path, result, data.constData(), static_cast<size_t>(data.size())));
    return TResult::Success();
}

TResult Save_Xml_File(const pugi::xml_document& doc, const QString& path)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    const std::string text = out.str();
    return Write_File_Atomic(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

std::optional<QString> Xml_Child_Text(const pugi::xml_node& parent, const char* name)
{
    const pugi::xml_node child = parent.child(name);
    if (!child || child.type() != pugi::node_element)
        return std::nullopt;
    QString text;
    for (const pugi::xml_node& part : child.children()) {
        if (part.type() == pugi::node_element)
            return std::nullopt;
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata)
            text += Xml_To_QString(part.value());
    }
    return text;
}
