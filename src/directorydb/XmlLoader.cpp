#include "directorydb/XmlLoader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <new>
#include <string_view>

namespace {

enum class ByteEncoding
{
    Auto,
    Latin1,
    Windows1252,
    Unsupported
};

std::string Lowercase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The encoding named by the XML declaration of an 8-bit document, if any.
// Documents with a byte-order mark or in UTF-16/32 are left to pugixml.
ByteEncoding DeclaredEncoding(std::string_view bytes)
{
    if (bytes.substr(0, 5) != "<?xml")
        return ByteEncoding::Auto;
    const std::size_t end = bytes.find("?>");
    const std::string_view declaration = bytes.substr(0, end);
    std::size_t pos = declaration.find("encoding");
    if (pos == std::string_view::npos)
        return ByteEncoding::Auto;
    pos = declaration.find_first_of("\"'", pos);
    if (pos == std::string_view::npos)
        return ByteEncoding::Auto;
    const std::size_t close = declaration.find(declaration[pos], pos + 1);
    if (close == std::string_view::npos)
        return ByteEncoding::Auto;

    const std::string name = Lowercase(declaration.substr(pos + 1, close - pos - 1));
    if (name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii" ||
        name == "utf-16" || name == "utf-32")
        return ByteEncoding::Auto;
    if (name == "iso-8859-1" || name == "iso8859-1" || name == "iso_8859-1" || name == "latin1" ||
        name == "latin-1" || name == "l1" || name == "cp819" || name == "iso-ir-100")
        return ByteEncoding::Latin1;
    if (name == "windows-1252" || name == "cp1252" || name == "x-cp1252")
        return ByteEncoding::Windows1252;
    return ByteEncoding::Unsupported;
}

void AppendUtf8(std::string& out, unsigned codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Converts ISO-8859-1 or windows-1252 bytes to UTF-8. The five bytes that
// windows-1252 leaves undefined keep their ISO-8859-1 meaning.
std::string ToUtf8(std::string_view bytes, ByteEncoding encoding)
{
    static const unsigned short windows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026,
        0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090,
        0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
        0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        unsigned byte = static_cast<unsigned char>(c);
        if (encoding == ByteEncoding::Windows1252 && byte >= 0x80 && byte < 0xA0)
            byte = windows1252[byte - 0x80];
        AppendUtf8(out, byte);
    }
    return out;
}

XmlLoadResult FromParseResult(const pugi::xml_parse_result& parsed)
{
    XmlLoadResult result;
    switch (parsed.status) {
    case pugi::status_ok:
        return result;
    case pugi::status_file_not_found:
    case pugi::status_io_error:
        result.status = XmlLoadResult::Status::FileError;
        break;
    case pugi::status_out_of_memory:
    case pugi::status_internal_error:
        result.status = XmlLoadResult::Status::OutOfMemory;
        break;
    default:
        result.status = XmlLoadResult::Status::ParseError;
        result.offset = parsed.offset;
        break;
    }
    result.description = parsed.description();
    return result;
}

constexpr unsigned parseOptions = pugi::parse_default;

} // namespace

std::string XmlLoadResult::Message() const
{
    if (offset >= 0)
        return description + " at offset " + std::to_string(offset);
    return description;
}

XmlLoadResult LoadXmlBuffer(const void* data, std::size_t size, pugi::xml_document& document)
{
    document.reset();
    const std::string_view bytes(static_cast<const char*>(data), size);
    const ByteEncoding encoding = DeclaredEncoding(bytes);

    XmlLoadResult result;
    if (encoding == ByteEncoding::Unsupported) {
        result.status = XmlLoadResult::Status::UnsupportedEncoding;
        result.description = "Unsupported character encoding";
        return result;
    }

    try {
        if (encoding == ByteEncoding::Auto) {
            result = FromParseResult(
                document.load_buffer(data, size, parseOptions, pugi::encoding_auto));
        } else {
            const std::string converted = ToUtf8(bytes, encoding);
            result = FromParseResult(document.load_buffer(
                converted.data(), converted.size(), parseOptions, pugi::encoding_utf8));
        }
    } catch (const std::bad_alloc&) {
        result.status = XmlLoadResult::Status::OutOfMemory;
        result.description = "Out of memory";
    }
    if (!result)
        document.reset();
    return result;
}

XmlLoadResult LoadXmlFile(const std::string& path, pugi::xml_document& document)
{
    document.reset();
    XmlLoadResult result;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? std::streamoff(file.tellg()) : -1;
    if (size < 0) {
        result.status = XmlLoadResult::Status::FileError;
        result.description = "File could not be opened";
        return result;
    }

    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
        file.seekg(0);
        file.read(bytes.data(), size);
    } catch (const std::bad_alloc&) {
        result.status = XmlLoadResult::Status::OutOfMemory;
        result.description = "Out of memory";
        return result;
    } catch (const std::exception&) {
        file.setstate(std::ios::badbit);
    }
    if (!file || file.gcount() != size) {
        result.status = XmlLoadResult::Status::FileError;
        result.description = "File could not be read";
        return result;
    }
    return LoadXmlBuffer(bytes.data(), bytes.size(), document);
}
