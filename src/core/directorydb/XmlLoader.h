#pragma once

#include "core/common/Result.h"

#include <cstddef>
#include <string>

namespace pugi {
class xml_document;
}

// The outcome of reading an XML document: a Result whose reason is one line
// for people, with the offset where there is one, and besides it the kind of
// failure and the offset alone.
struct XmlLoadResult : Result
{
    enum class Status
    {
        Ok,
        FileError, // missing or unreadable
        UnsupportedEncoding, // declared in an encoding we cannot convert
        ParseError, // not well-formed
        OutOfMemory, // the document could not be built
    };

    XmlLoadResult() = default;
    // A failure of the kind `status` for `description`, at the byte
    // `offset` of the document where there is one.
    XmlLoadResult(Status status, const std::string& description, std::ptrdiff_t offset = -1);

    Status status = Status::Ok;
    std::ptrdiff_t offset = -1; // byte offset of a parse error, -1 when none
};

// Parses a whole XML document into `document` as UTF-8 text. A byte-order
// mark (UTF-8, UTF-16, UTF-32) or the XML declaration's encoding decides
// how the bytes are read; any other encoding the C library's iconv knows
// (ISO-8859-15, windows-1250, KOI8-R, Shift_JIS, ...) is converted first.
// An encoding it does not know, or bytes the encoding does not define, fail
// the load. External entities are never loaded: no DTD is processed. On
// failure `document` is left empty.
XmlLoadResult LoadXmlBuffer(const void* data, std::size_t size, pugi::xml_document& document);
XmlLoadResult LoadXmlFile(const std::string& path, pugi::xml_document& document);
