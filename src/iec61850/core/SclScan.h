#pragma once
#include <pugixml.hpp>
#include <cstddef>
#include <vector>

// Where the parts of an SCL file that a device model needs lie: the IED elements and the first
// DataTypeTemplates and Communication elements of the file's first top-level SCL element. One pass over the file
// without building a document, which checks the file as the XML parser would (tags balance,
// attributes, comments, CDATA, processing instructions, DOCTYPE), so that a file the parser
// refuses is refused here too, with the parser's own status and offset.

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
