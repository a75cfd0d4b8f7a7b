#include "base/XmlFile.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include <QDir>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

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

namespace {

// A character of a value that a file cannot hold: where it starts in the value's UTF-8 and how
// a message shows it (its code, or the reference as written).
struct BadCharacter {
    size_t at = 0;
    QString shown;
};

int digitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The first character XML does not allow in the UTF-8 `text`: a control character other than
// tab, line feed and carriage return, U+FFFE or U+FFFF, and with `references` also a character
// reference ("&#11;", "&#x0;", "&#xD800;") of such a character, read as the parser reads it.
std::optional<BadCharacter> badCharacter(const char* text, bool references)
{
    for (size_t i = 0; text[i]; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && !isXmlCharacter(c))
            return BadCharacter{i, characterCode(c)};
        if (c == 0xEF && static_cast<unsigned char>(text[i + 1]) == 0xBF) {
            const auto last = static_cast<unsigned char>(text[i + 2]);
            if (last == 0xBE || last == 0xBF)
                return BadCharacter{i, characterCode(last == 0xBE ? 0xFFFE : 0xFFFF)};
        }
        if (!references || c != '&' || text[i + 1] != '#')
            continue;
        const bool hex = text[i + 2] == 'x';
        size_t end = i + (hex ? 3 : 2);
        char32_t code = 0;
        size_t digits = 0;
        for (int d; (d = digitValue(text[end], hex)) >= 0; ++end, ++digits)
            code = std::min<char32_t>(code * (hex ? 16 : 10) + static_cast<char32_t>(d), 0x110000); // no wrap-around
        // Without a digit or the closing ";" the parser keeps the text as it is.
        if (digits > 0 && text[end] == ';' && !isXmlCharacter(code))
            return BadCharacter{i, QString::fromLatin1(text + i, static_cast<qsizetype>(end + 1 - i))};
    }
    return std::nullopt;
}

qsizetype lineAt(const QByteArray& data, ptrdiff_t offset)
{
    if (offset < 0 || offset > data.size())
        return 1;
    return 1 + std::count(data.constBegin(), data.constBegin() + offset, '\n');
}

// How a message names where a value stands: its element, or the kind of node at document level.
QString holderName(const pugi::xml_node& node)
{
    if (node.type() == pugi::node_element)
        return xmlToQString(node.name());
    const pugi::xml_node parent = node.parent();
    if (parent.type() == pugi::node_element)
        return xmlToQString(parent.name());
    return node.type() == pugi::node_comment ? QStringLiteral("#comment") : QStringLiteral("#") + xmlToQString(node.name());
}

// Visits every node of `doc` in document order, without recursion (a deep file must not use up
// the stack); `visit` returns false to stop.
template <typename Visit> void forEachNode(const pugi::xml_document& doc, Visit visit)
{
    pugi::xml_node node = doc.first_child();
    while (node) {
        if (!visit(node))
            return;
        if (const pugi::xml_node child = node.first_child()) {
            node = child;
            continue;
        }
        while (node != doc && !node.next_sibling())
            node = node.parent();
        node = node == doc ? pugi::xml_node() : node.next_sibling();
    }
}

// The first value of `doc` holding a character XML does not allow: the node, the attribute
// (empty for a node's own value) and the character. References are looked for only where the
// parser resolves them, in attribute values and text, and only when it left them as written.
struct BadValue {
    pugi::xml_node node;
    pugi::xml_attribute attribute;
    BadCharacter character;
};
std::optional<BadValue> firstBadValue(const pugi::xml_document& doc, bool referencesAsWritten)
{
    std::optional<BadValue> found;
    forEachNode(doc, [&](const pugi::xml_node& node) {
        for (const pugi::xml_attribute& a : node.attributes())
            if (auto bad = badCharacter(a.value(), referencesAsWritten)) {
                found = BadValue{node, a, *bad};
                return false;
            }
        if (auto bad = badCharacter(node.value(), referencesAsWritten && node.type() == pugi::node_pcdata)) {
            found = BadValue{node, {}, *bad};
            return false;
        }
        return true;
    });
    return found;
}

std::optional<QStringConverter::Encoding> converterOf(pugi::xml_encoding encoding)
{
    switch (encoding) {
    case pugi::encoding_utf16_le:
        return QStringConverter::Utf16LE;
    case pugi::encoding_utf16_be:
        return QStringConverter::Utf16BE;
    case pugi::encoding_utf32_le:
        return QStringConverter::Utf32LE;
    case pugi::encoding_utf32_be:
        return QStringConverter::Utf32BE;
    case pugi::encoding_latin1:
        return QStringConverter::Latin1;
    default:
        return std::nullopt;
    }
}

// Whether UTF-8 `data` may hold a character XML does not allow: a control byte, "&#", or the
// first bytes of U+FFFE and U+FFFF. Most files hold none, and are then not parsed twice.
bool mayHoldBadCharacter(const QByteArray& data)
{
    const char* p = data.constData();
    for (qsizetype i = 0, n = data.size(); i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if ((c < 0x20 && !isXmlCharacter(c)) || (c == '&' && i + 1 < n && p[i + 1] == '#')
            || (c == 0xEF && i + 2 < n && static_cast<unsigned char>(p[i + 1]) == 0xBF
                && static_cast<unsigned char>(p[i + 2]) >= 0xBE))
            return true;
    }
    return false;
}

} // namespace

QString characterCode(char32_t c) { return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QChar(u'0')).toUpper(); }

qsizetype firstNonXmlCharacter(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // U+10000 and up are allowed
            continue;
        }
        if (c.isSurrogate() || !isXmlCharacter(c.unicode()))
            return i;
    }
    return -1;
}

Result checkXmlCharacters(const QString& path, const QByteArray& data, unsigned flags, const pugi::xml_parse_result& parsed)
{
    // The check reads the file as UTF-8 without resolving references, so that "&#0;" is still
    // there to be seen and every offset is one into the bytes read.
    QByteArray utf8 = data;
    if (const auto encoding = converterOf(parsed.encoding)) {
        QStringDecoder decode(*encoding);
        utf8 = QString(decode(data)).toUtf8();
    } else if (!mayHoldBadCharacter(data)) {
        return Result::success();
    }
    pugi::xml_document doc;
    if (!doc.load_buffer(utf8.constData(), static_cast<size_t>(utf8.size()), flags & ~pugi::parse_escapes, pugi::encoding_utf8))
        return Result::success(); // read as the caller's parse did, this cannot fail
    const std::optional<BadValue> bad = firstBadValue(doc, true);
    if (!bad)
        return Result::success();
    const QString file = QDir::toNativeSeparators(path);
    const ptrdiff_t nodeAt = bad->node.offset_debug();
    if (!bad->attribute) {
        const ptrdiff_t at = nodeAt < 0 ? nodeAt : nodeAt + static_cast<ptrdiff_t>(bad->character.at);
        return Result::failed(Text::ErrorXmlCharacterInElement,
            {file, QString::number(lineAt(utf8, at)), holderName(bad->node), bad->character.shown});
    }
    // An attribute's value lies in the parsed buffer after its element's name.
    ptrdiff_t at = nodeAt;
    if (nodeAt >= 0) {
        const char* buffer = bad->node.name() - nodeAt;
        at = bad->attribute.value() - buffer + static_cast<ptrdiff_t>(bad->character.at);
    }
    return Result::failed(Text::ErrorXmlCharacterInAttribute,
        {file, QString::number(lineAt(utf8, at)), xmlToQString(bad->attribute.name()), holderName(bad->node),
            bad->character.shown});
}

Result loadXmlFile(const QString& path, pugi::xml_document& doc, const ReadLimit& limit)
{
    QByteArray data;
    if (auto read = readWholeFile(path, data, limit); !read)
        return read;
    const auto result = doc.load_buffer(data.constData(), static_cast<size_t>(data.size()), xmlParseFlags);
    if (!result)
        return xmlParseError(path, result, data.constData(), static_cast<size_t>(data.size()));
    if (Result characters = checkXmlCharacters(path, data, xmlParseFlags, result); !characters) {
        doc.reset();
        return characters;
    }
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
    // The writer would put "&#11;" for a control character, which no reader takes back.
    if (const std::optional<BadValue> bad = firstBadValue(doc, false)) {
        const QString file = QDir::toNativeSeparators(path);
        if (bad->attribute)
            return Result::failed(Text::ErrorXmlCharacterNotWritten,
                {file, xmlToQString(bad->attribute.name()), holderName(bad->node), bad->character.shown});
        return Result::failed(Text::ErrorXmlCharacterNotWrittenInElement, {file, holderName(bad->node), bad->character.shown});
    }
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
