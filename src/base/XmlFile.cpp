#include "base/XmlFile.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include <QDir>

Result xmlParseError(const QString& path, const pugi::xml_parse_result& result, const char* buffer, size_t size)
{
    const auto offset = static_cast<size_t>(result.offset < 0 ? 0 : result.offset);
    qsizetype line = 1;
    for (size_t i = 0; i < offset && i < size; ++i)
        if (buffer[i] == '\n')
            ++line;
    return Result::failed(Text::ErrorXmlNotWellFormed,
        {QDir::toNativeSeparators(path), QString::number(line), QString::fromUtf8(result.description())});
}

Result loadXmlFile(const QString& path, pugi::xml_document& doc, const ReadLimit& limit)
{
    QByteArray data;
    if (auto read = readWholeFile(path, data, limit); !read)
        return read;
    const auto result = doc.load_buffer(data.constData(), static_cast<size_t>(data.size()), xmlParseFlags);
    if (!result)
        return xmlParseError(path, result, data.constData(), static_cast<size_t>(data.size()));
    return Result::success();
}

namespace {

// Collects the document's bytes in one buffer, without copies on the way.
class ByteArrayWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QByteArray bytes;
};

} // namespace

Result saveXmlFile(const pugi::xml_document& doc, const QString& path, const ReadLimit& limit)
{
    ByteArrayWriter out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    if (Result fits = checkWriteSize(path, out.bytes.size(), limit); !fits)
        return fits;
    return writeFileAtomically(path, out.bytes);
}

std::optional<QString> xmlChildText(const pugi::xml_node& parent, const char* name)
{
    const pugi::xml_node child = parent.child(name);
    if (!child || child.type() != pugi::node_element)
        return std::nullopt;
    QString text;
    for (const pugi::xml_node& part : child.children()) {
        if (part.type() == pugi::node_element)
            return std::nullopt;
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata)
            text += xmlToQString(part.value());
    }
    return text;
}
