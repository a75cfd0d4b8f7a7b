#pragma once
#include <pugixml.hpp>
#include <cstddef>
#include <cstring>
#include <vector>

// Where the elements of an SCL file that a device model needs lie: the IED elements and the first
// DataTypeTemplates and Communication elements of the file's first top-level SCL element. One pass over the file
// without building a document, which checks the file as the XML parser would (tags balance,
// attributes, comments, CDATA, processing instructions, DOCTYPE), so that a file the parser
// refuses is refused here too, with the parser's own status and offset.

// How SCL is parsed here: nothing looks at comments, processing instructions, declarations or
// text, so none of them becomes a node of its own: text stays in its element, which keeps the
// document of a big file a good deal smaller. Attribute values are read as the default flags
// give them.
inline constexpr unsigned sclParseFlags = (pugi::parse_default & ~pugi::parse_cdata) | pugi::parse_embed_pcdata;

// Element names are compared exactly as written, namespace prefix included (an scl:IED is not
// an IED).
inline bool isElement(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The first child element named `name`.
inline pugi::xml_node firstChild(const pugi::xml_node& parent, const char* name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (isElement(n, name))
            return n;
    return {};
}

// Byte offsets of one element: its start tag begins at `begin` and ends before `startTagEnd`;
// the element ends before `end`. Empty (end == 0) when there is no such element.
struct SclElementRange {
    size_t begin = 0;
    size_t startTagEnd = 0;
    size_t end = 0;

    bool found() const { return end != 0; }
};

struct SclLayout {
    // status_ok, or the error the parser gives for the whole file, at the same offset.
    pugi::xml_parse_result result;
    std::vector<SclElementRange> ieds;
    SclElementRange dataTypeTemplates;
    SclElementRange communication;
};

// Scans a UTF-8 buffer as pugixml would parse it with `sclParseFlags` (comments, processing
// instructions, CDATA and DOCTYPE are checked but not kept). The buffer's last byte is zeroed
// during the scan, as the parser does, and restored.
SclLayout scanSclLayout(char* data, size_t size);

// The encoding pugixml detects for a buffer (byte-order mark, first bytes, declaration).
pugi::xml_encoding detectXmlEncoding(const char* data, size_t size);

// Parses the element at `range` of a scanned buffer in place into `doc`. A failure (not expected
// after the scan) gives its offset in the whole buffer.
pugi::xml_parse_result parseSclElement(char* data, const SclElementRange& range, pugi::xml_document& doc);
