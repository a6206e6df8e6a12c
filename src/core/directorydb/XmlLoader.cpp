#include "core/directorydb/XmlLoader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <iconv.h>
#include <new>
#include <optional>
#include <string_view>

namespace {

std::string Lowercase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The XML declaration at the start of a document in an ASCII-compatible
// encoding, up to and including its "?>"; empty when there is none.
std::string_view Declaration(std::string_view bytes)
{
    if (bytes.substr(0, 6) != "<?xml " && bytes.substr(0, 6) != "<?xml\t" &&
        bytes.substr(0, 6) != "<?xml\r" && bytes.substr(0, 6) != "<?xml\n")
        return {};
    const std::size_t end = bytes.find("?>");
    if (end == std::string_view::npos)
        return {};
    return bytes.substr(0, end + 2);
}

// The encoding the declaration names, as written; none when it names none.
std::optional<std::string_view> DeclaredEncoding(std::string_view declaration)
{
    std::size_t pos = declaration.find("encoding");
    if (pos == std::string_view::npos)
        return std::nullopt;
    pos = declaration.find_first_of("\"'", pos);
    if (pos == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = declaration.find(declaration[pos], pos + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return declaration.substr(pos + 1, close - pos - 1);
}

// Encodings pugixml reads by itself, finding the byte order from the bytes.
bool IsUnicodeEncoding(const std::string& name)
{
    return name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii" ||
        name == "utf-16" || name == "utf-32";
}

// An encoding name as XML allows it: a letter, then letters, digits, '.',
// '_' and '-'. Anything else (iconv's "//" suffixes, for one) is refused.
bool IsEncodingName(std::string_view name)
{
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
    });
}

// A conversion from one encoding to UTF-8 through the C library's iconv,
// closed when it goes.
class Utf8Converter
{
public:
    explicit Utf8Converter(const std::string& from)
        : handle(::iconv_open("UTF-8", from.c_str()))
    {
    }
    ~Utf8Converter()
    {
        if (IsOpen())
            ::iconv_close(handle);
    }
    Utf8Converter(const Utf8Converter&) = delete;
    Utf8Converter& operator=(const Utf8Converter&) = delete;

    // False when the C library does not know the encoding.
    bool IsOpen() const { return handle != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `bytes`. A byte sequence the encoding does not define,
    // or one cut off by the end, stops the conversion: false, with
    // `badOffset` at its first byte.
    bool Convert(std::string_view bytes, std::string& out, std::size_t& badOffset)
    {
        out.assign(bytes.size() + bytes.size() / 2 + 16, '\0');
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        std::size_t written = 0;
        for (bool flushing = false;;) {
            char* target = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t done = flushing ? ::iconv(handle, nullptr, nullptr, &target, &outLeft)
                                              : ::iconv(handle, &in, &inLeft, &target, &outLeft);
            const int errorNumber = errno;
            written = out.size() - outLeft;
            if (done != static_cast<std::size_t>(-1)) {
                if (flushing)
                    break;
                flushing = true; // a stateful encoding may owe a last sequence
                continue;
            }
            if (errorNumber != E2BIG) {
                badOffset = bytes.size() - inLeft;
                return false;
            }
            out.resize(out.size() * 2);
        }
        out.resize(written);
        return true;
    }

private:
    iconv_t handle;
};

// Converts a document declared in `name` to UTF-8.
XmlLoadResult ConvertToUtf8(
    std::string_view bytes, std::string_view declaration, std::string_view name, std::string& out)
{
    const std::string encoding(name);
    if (!IsEncodingName(name) || !Utf8Converter(encoding).IsOpen())
        return XmlLoadResult(XmlLoadResult::Status::UnsupportedEncoding,
            "Unsupported character encoding \"" + encoding + "\"");

    // The declaration was read as ASCII: an encoding that reads it otherwise
    // (EBCDIC, UCS-2) cannot be what the author meant.
    std::size_t badOffset = 0;
    if (!Utf8Converter(encoding).Convert(declaration, out, badOffset) || out != declaration)
        return XmlLoadResult(XmlLoadResult::Status::UnsupportedEncoding,
            "The character encoding \"" + encoding + "\" does not read its own declaration");

    if (!Utf8Converter(encoding).Convert(bytes, out, badOffset))
        return XmlLoadResult(XmlLoadResult::Status::ParseError,
            "Invalid byte sequence for the character encoding \"" + encoding + "\"",
            std::ptrdiff_t(badOffset));
    return {};
}

XmlLoadResult FromParseResult(const pugi::xml_parse_result& parsed)
{
    switch (parsed.status) {
    case pugi::status_ok:
        return {};
    case pugi::status_file_not_found:
    case pugi::status_io_error:
        return XmlLoadResult(XmlLoadResult::Status::FileError, parsed.description());
    case pugi::status_out_of_memory:
    case pugi::status_internal_error:
        return XmlLoadResult(XmlLoadResult::Status::OutOfMemory, parsed.description());
    default:
        return XmlLoadResult(
            XmlLoadResult::Status::ParseError, parsed.description(), parsed.offset);
    }
}

constexpr unsigned parseOptions = pugi::parse_default;

} // namespace

XmlLoadResult::XmlLoadResult(Status status, const std::string& description, std::ptrdiff_t offset)
    : Result(Result::Failure(
          offset >= 0 ? description + " at offset " + std::to_string(offset) : description))
    , status(status)
    , offset(offset)
{
}

XmlLoadResult LoadXmlBuffer(const void* data, std::size_t size, pugi::xml_document& document)
{
    document.reset();
    const std::string_view bytes(static_cast<const char*>(data), size);
    const std::string_view declaration = Declaration(bytes);
    const std::optional<std::string_view> encoding = DeclaredEncoding(declaration);

    XmlLoadResult result;
    try {
        if (!encoding || IsUnicodeEncoding(Lowercase(*encoding))) {
            result = FromParseResult(
                document.load_buffer(data, size, parseOptions, pugi::encoding_auto));
        } else {
            std::string converted;
            result = ConvertToUtf8(bytes, declaration, *encoding, converted);
            if (result)
                result = FromParseResult(document.load_buffer(
                    converted.data(), converted.size(), parseOptions, pugi::encoding_utf8));
        }
    } catch (const std::bad_alloc&) {
        result = XmlLoadResult(XmlLoadResult::Status::OutOfMemory, "Out of memory");
    }
    if (!result)
        document.reset();
    return result;
}

XmlLoadResult LoadXmlFile(const std::string& path, pugi::xml_document& document)
{
    document.reset();
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? std::streamoff(file.tellg()) : -1;
    if (size < 0)
        return XmlLoadResult(XmlLoadResult::Status::FileError, "File could not be opened");

    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
        file.seekg(0);
        file.read(bytes.data(), size);
    } catch (const std::bad_alloc&) {
        return XmlLoadResult(XmlLoadResult::Status::OutOfMemory, "Out of memory");
    } catch (const std::exception&) {
        file.setstate(std::ios::badbit);
    }
    if (!file || file.gcount() != size)
        return XmlLoadResult(XmlLoadResult::Status::FileError, "File could not be read");
    return LoadXmlBuffer(bytes.data(), bytes.size(), document);
}
