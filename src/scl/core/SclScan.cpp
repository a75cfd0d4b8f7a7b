#include "scl/core/SclScan.h"
#include <cstring>
#include <string_view>

// The scan follows the XML parser's own grammar step by step, including its habits at the end
// of the buffer: the parser zero-terminates the buffer by overwriting its last byte, treats the
// first zero byte as the end of the text, and lets a few closing characters ('>', '-', ...)
// stand in that last position (`endch`). Every refusal carries the status and offset the
// parser reports, so that messages and their line numbers are the same both ways.

namespace {

enum : unsigned char { space = 1, symbol = 2, startSymbol = 4 };

// The parser's character classes: blanks are CR, LF, TAB and space; names start with a letter,
// '_', ':' or any byte from 128 up, and go on with those, digits, '-' and '.'.
constexpr auto charTable = [] {
    struct Table {
        unsigned char at[256] = {};
    } t;
    for (const char c : {'\r', '\n', '\t', ' '})
        t.at[static_cast<unsigned char>(c)] = space;
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 128;
        if (letter)
            t.at[c] = symbol | startSymbol;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            t.at[c] = symbol;
    }
    return t;
}();

inline bool is(char c, unsigned char kind) { return charTable.at[static_cast<unsigned char>(c)] & kind; }

class Scanner {
public:
    Scanner(char* buffer, size_t length)
        : data(buffer)
        , size(length)
    {
    }

    SclLayout run()
    {
        layout.result.status = pugi::status_ok;
        layout.result.encoding = pugi::encoding_utf8;
        if (size == 0)
            return fail(pugi::status_no_document_element, 0);
        endch = data[size - 1];
        data[size - 1] = 0;
        end = static_cast<char*>(std::memchr(data, 0, size));
        char* s = data;
        if (s[0] == '\xef' && s[1] == '\xbb' && s[2] == '\xbf')
            s += 3;
        const bool ok = parseTree(s);
        data[size - 1] = endch;
        if (!ok) {
            if (layout.result.offset > 0 && size_t(layout.result.offset) == size - 1 && endch == 0)
                --layout.result.offset;
            return std::move(layout);
        }
        if (endch == '<')
            return fail(pugi::status_unrecognized_tag, size - 1);
        if (!topLevelElement)
            return fail(pugi::status_no_document_element, size - 1);
        return std::move(layout);
    }

private:
    char* data;
    size_t size;
    char* end = nullptr; // the first zero byte: where the parser's text ends
    char endch = 0; // the last byte, which the parser replaces with zero
    SclLayout layout;
    std::vector<std::string_view> open; // names of the open elements, outermost first
    bool topLevelElement = false;
    enum class SclState { Before, Inside, Done } scl = SclState::Before;
    SclElementRange* current = nullptr; // the range of the open IED, DataTypeTemplates or Communication element

    SclLayout fail(pugi::xml_parse_status status, size_t offset)
    {
        layout.result.status = status;
        layout.result.offset = static_cast<ptrdiff_t>(offset);
        return std::move(layout);
    }
    bool error(pugi::xml_parse_status status, const char* at)
    {
        layout.result.status = status;
        layout.result.offset = at - data;
        return false;
    }
    bool endsWith(char c, char e) const { return c == e || (c == 0 && endch == e); }
    static void skipSpace(char*& s)
    {
        while (is(*s, space))
            ++s;
    }
    char* find(char* s, char c) const
    {
        char* p = static_cast<char*>(std::memchr(s, c, size_t(end - s)));
        return p ? p : end;
    }
    // The first `a a e` (e.g. "-->" or "]]>") from s, the last character possibly standing in
    // the buffer's last byte; `end` when there is none.
    char* findClose(char* s, char a, char e) const
    {
        for (char* p = find(s, a); p != end; p = find(p + 1, a))
            if (p[1] == a && endsWith(p[2], e))
                return p;
        return end;
    }

    void opened(const char* tagBegin, std::string_view name)
    {
        if (open.empty()) {
            topLevelElement = true;
            if (scl == SclState::Before && name == "SCL")
                scl = SclState::Inside;
        } else if (open.size() == 1 && scl == SclState::Inside) {
            if (name == "IED")
                current = &layout.ieds.emplace_back();
            else if (name == "DataTypeTemplates" && !layout.dataTypeTemplates.found() && !current)
                current = &layout.dataTypeTemplates;
            else if (name == "Communication" && !layout.communication.found() && !current)
                current = &layout.communication;
            else
                current = nullptr;
            if (current)
                current->begin = size_t(tagBegin - data);
        }
        open.push_back(name);
    }
    // An element inside SCL never ends on the buffer's last byte: SCL's end tag follows it.
    void closed(const char* after, const char* startTagEnd = nullptr)
    {
        open.pop_back();
        if (open.size() == 1 && current) {
            if (startTagEnd)
                current->startTagEnd = size_t(startTagEnd - data);
            current->end = size_t(after - data);
            current = nullptr;
        } else if (open.empty() && scl == SclState::Inside) {
            scl = SclState::Done;
        }
    }
    void startTagDone(const char* after)
    {
        if (open.size() == 2 && current)
            current->startTagEnd = size_t(after - data);
    }

    bool parseTree(char* s);
    bool parseElement(char*& s);
    bool parseEndTag(char*& s);
    bool parseQuestion(char*& s);
    bool parseExclamation(char*& s);
    char* doctypeGroup(char* s);
    char* doctypePrimitive(char* s);
    char* doctypeIgnore(char* s);
};

bool Scanner::parseTree(char* s)
{
    while (*s) {
        if (*s == '<') {
            ++s;
        } else {
            char* mark = s;
            skipSpace(s);
            if (*s == '<' || !*s)
                continue; // blanks between tags are no text
            s = find(mark, '<');
            if (!*s)
                break;
            ++s;
            if (!open.empty() && !*s)
                break;
        }
        // after '<'
        bool ok;
        if (is(*s, startSymbol))
            ok = parseElement(s);
        else if (*s == '/')
            ok = parseEndTag(s);
        else if (*s == '?')
            ok = parseQuestion(s);
        else if (*s == '!')
            ok = parseExclamation(s);
        else if (*s == 0 && endch == '?')
            ok = error(pugi::status_bad_pi, s);
        else
            ok = error(pugi::status_unrecognized_tag, s);
        if (!ok)
            return false;
    }
    if (!open.empty())
        return error(pugi::status_end_element_mismatch, s);
    return true;
}

bool Scanner::parseElement(char*& s)
{
    const char* tagBegin = s - 1;
    char* name = s;
    while (is(*s, symbol))
        ++s;
    opened(tagBegin, std::string_view(name, size_t(s - name)));
    const char ch = *s++;
    if (ch == '>') {
        startTagDone(s);
        return true;
    }
    if (ch == '/') {
        if (!endsWith(*s, '>'))
            return error(pugi::status_bad_start_element, s);
        s += (*s == '>');
        closed(s, s);
        return true;
    }
    if (ch == 0) {
        --s;
        return endch != '>' ? error(pugi::status_bad_start_element, s) : true; // left open: refused at the end
    }
    if (!is(ch, space))
        return error(pugi::status_bad_start_element, s);
    for (;;) {
        skipSpace(s);
        if (is(*s, startSymbol)) {
            while (is(*s, symbol))
                ++s;
            char c = *s++;
            if (is(c, space)) {
                skipSpace(s);
                c = *s++;
            }
            if (c != '=')
                return error(pugi::status_bad_attribute, s);
            skipSpace(s);
            if (*s != '"' && *s != '\'')
                return error(pugi::status_bad_attribute, s);
            const char quote = *s++;
            char* close = find(s, quote);
            if (!*close)
                return error(pugi::status_bad_attribute, s);
            s = close + 1;
            if (is(*s, startSymbol))
                return error(pugi::status_bad_attribute, s);
        } else if (*s == '/') {
            ++s;
            if (*s == '>') {
                ++s;
                closed(s, s);
                return true;
            }
            if (*s == 0 && endch == '>') {
                closed(s, s);
                return true;
            }
            return error(pugi::status_bad_start_element, s);
        } else if (*s == '>') {
            ++s;
            startTagDone(s);
            return true;
        } else if (*s == 0 && endch == '>') {
            return true; // left open: refused at the end
        } else {
            return error(pugi::status_bad_start_element, s);
        }
    }
}

bool Scanner::parseEndTag(char*& s)
{
    ++s;
    char* mark = s;
    if (open.empty())
        return error(pugi::status_end_element_mismatch, mark);
    const std::string_view name = open.back();
    size_t i = 0;
    for (; is(*s, symbol); ++s, ++i)
        if (i >= name.size() || *s != name[i])
            return error(pugi::status_end_element_mismatch, mark);
    if (i < name.size()) {
        if (*s == 0 && name[i] == endch && i + 1 == name.size())
            return error(pugi::status_bad_end_element, s);
        return error(pugi::status_end_element_mismatch, mark);
    }
    skipSpace(s);
    if (*s == 0) {
        if (endch != '>')
            return error(pugi::status_bad_end_element, s);
    } else {
        if (*s != '>')
            return error(pugi::status_bad_end_element, s);
        ++s;
    }
    closed(s);
    return true;
}

bool Scanner::parseQuestion(char*& s)
{
    ++s;
    if (!is(*s, startSymbol))
        return error(pugi::status_bad_pi, s);
    while (is(*s, symbol))
        ++s;
    if (!*s)
        return error(pugi::status_bad_pi, s);
    for (s = find(s, '?'); *s && !endsWith(s[1], '>'); s = find(s + 1, '?')) { }
    if (!*s)
        return error(pugi::status_bad_pi, s);
    s += (s[1] == '>' ? 2 : 1);
    return true;
}

bool Scanner::parseExclamation(char*& s)
{
    ++s;
    if (*s == '-') {
        ++s;
        if (*s != '-')
            return error(pugi::status_bad_comment, s);
        s = findClose(s + 1, '-', '>');
        if (!*s)
            return error(pugi::status_bad_comment, s);
        s += (s[2] == '>' ? 3 : 2);
        return true;
    }
    if (*s == '[') {
        for (const char c : std::string_view("CDATA[")) {
            ++s;
            if (*s != c)
                return error(pugi::status_bad_cdata, s);
        }
        s = findClose(s + 1, ']', '>');
        if (!*s)
            return error(pugi::status_bad_cdata, s);
        s += (s[2] == '>' ? 3 : 2);
        return true;
    }
    if (std::strncmp(s, "DOCTYP", 6) == 0 && endsWith(s[6], 'E')) {
        s -= 2;
        if (!open.empty())
            return error(pugi::status_bad_doctype, s);
        s = doctypeGroup(s);
        if (!s)
            return false;
        if (*s)
            ++s;
        return true;
    }
    if (*s == 0 && endch == '-')
        return error(pugi::status_bad_comment, s);
    if (*s == 0 && endch == '[')
        return error(pugi::status_bad_cdata, s);
    return error(pugi::status_unrecognized_tag, s);
}

// DOCTYPE holds nested groups: <!...> may contain <![...]]>, <!-- -->, <? ?> and quoted text.
char* Scanner::doctypeGroup(char* s)
{
    size_t depth = 0;
    s += 2;
    while (*s) {
        if (s[0] == '<' && s[1] == '!' && s[2] != '-') {
            if (s[2] == '[') {
                s = doctypeIgnore(s);
                if (!s)
                    return nullptr;
            } else {
                s += 2;
                ++depth;
            }
        } else if (s[0] == '<' || s[0] == '"' || s[0] == '\'') {
            s = doctypePrimitive(s);
            if (!s)
                return nullptr;
        } else if (*s == '>') {
            if (depth == 0)
                return s;
            --depth;
            ++s;
        } else {
            ++s;
        }
    }
    if (depth != 0 || endch != '>') {
        error(pugi::status_bad_doctype, s);
        return nullptr;
    }
    return s;
}

char* Scanner::doctypePrimitive(char* s)
{
    if (*s == '"' || *s == '\'') {
        s = find(s + 1, *s);
        if (!*s) {
            error(pugi::status_bad_doctype, s);
            return nullptr;
        }
        return s + 1;
    }
    if (s[0] == '<' && s[1] == '?') {
        s += 2;
        while (*s && !(s[0] == '?' && s[1] == '>'))
            ++s;
        if (!*s) {
            error(pugi::status_bad_doctype, s);
            return nullptr;
        }
        return s + 2;
    }
    if (s[0] == '<' && s[1] == '!' && s[2] == '-' && s[3] == '-') {
        s += 4;
        while (*s && !(s[0] == '-' && s[1] == '-' && s[2] == '>'))
            ++s;
        if (!*s) {
            error(pugi::status_bad_doctype, s);
            return nullptr;
        }
        return s + 3;
    }
    error(pugi::status_bad_doctype, s);
    return nullptr;
}

char* Scanner::doctypeIgnore(char* s)
{
    size_t depth = 0;
    s += 3;
    while (*s) {
        if (s[0] == '<' && s[1] == '!' && s[2] == '[') {
            s += 3;
            ++depth;
        } else if (s[0] == ']' && s[1] == ']' && s[2] == '>') {
            s += 3;
            if (depth == 0)
                return s;
            --depth;
        } else {
            ++s;
        }
    }
    error(pugi::status_bad_doctype, s);
    return nullptr;
}

// The value of encoding="..." in an XML declaration, if the declaration has one before any '?'.
bool declaredEncoding(const unsigned char* data, size_t size, std::string_view& encoding)
{
    if (size < 6 || std::memcmp(data, "<?xml", 5) != 0 || !is(char(data[5]), space))
        return false;
    for (size_t i = 6; i + 1 < size; ++i) {
        if (data[i] == '?')
            return false;
        if (data[i] != 'e' || data[i + 1] != 'n')
            continue;
        size_t at = i;
        const auto take = [&](char c) { return at < size && data[at] == c ? (++at, true) : false; };
        const auto skip = [&](unsigned char kind) {
            while (at < size && is(char(data[at]), kind))
                ++at;
        };
        for (const char c : std::string_view("encoding"))
            if (!take(c))
                return false;
        skip(space);
        if (!take('='))
            return false;
        skip(space);
        const char quote = at < size && data[at] == '"' ? '"' : '\'';
        if (!take(quote))
            return false;
        const size_t start = at;
        skip(symbol);
        encoding = std::string_view(reinterpret_cast<const char*>(data) + start, at - start);
        return take(quote);
    }
    return false;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((lower[i] >= 'a' && lower[i] <= 'z' ? char(text[i] | ' ') : text[i]) != lower[i])
            return false;
    return true;
}

} // namespace

SclLayout scanSclLayout(char* data, size_t size) { return Scanner(data, size).run(); }

pugi::xml_encoding detectXmlEncoding(const char* text, size_t size)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    if (size < 4)
        return pugi::encoding_utf8;
    const unsigned d0 = data[0], d1 = data[1], d2 = data[2], d3 = data[3];
    if (d0 == 0 && d1 == 0 && d2 == 0xfe && d3 == 0xff)
        return pugi::encoding_utf32_be;
    if (d0 == 0xff && d1 == 0xfe && d2 == 0 && d3 == 0)
        return pugi::encoding_utf32_le;
    if (d0 == 0xfe && d1 == 0xff)
        return pugi::encoding_utf16_be;
    if (d0 == 0xff && d1 == 0xfe)
        return pugi::encoding_utf16_le;
    if (d0 == 0xef && d1 == 0xbb && d2 == 0xbf)
        return pugi::encoding_utf8;
    if (d0 == 0 && d1 == 0 && d2 == 0 && d3 == '<')
        return pugi::encoding_utf32_be;
    if (d0 == '<' && d1 == 0 && d2 == 0 && d3 == 0)
        return pugi::encoding_utf32_le;
    if (d0 == 0 && d1 == '<')
        return pugi::encoding_utf16_be;
    if (d0 == '<' && d1 == 0)
        return pugi::encoding_utf16_le;
    std::string_view encoding;
    if (d0 == '<' && d1 == '?' && d2 == 'x' && d3 == 'm' && declaredEncoding(data, size, encoding)
        && (equalsIgnoringCase(encoding, "iso-8859-1") || equalsIgnoringCase(encoding, "latin1")))
        return pugi::encoding_latin1;
    return pugi::encoding_utf8;
}

pugi::xml_parse_result parseSclElement(char* data, const SclElementRange& range, pugi::xml_document& doc)
{
    pugi::xml_parse_result parsed
        = doc.load_buffer_inplace(data + range.begin, range.end - range.begin, sclParseFlags, pugi::encoding_utf8);
    if (!parsed)
        parsed.offset += ptrdiff_t(range.begin);
    return parsed;
}
