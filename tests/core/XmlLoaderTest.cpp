#include "core/directorydb/XmlLoader.h"

#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

std::string Utf16(const std::string& ascii, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian)
            out += '\0', out += c;
        else
            out += c, out += '\0';
    }
    return out;
}

std::string NameOf(const std::string& bytes)
{
    pugi::xml_document document;
    const XmlLoadResult result = LoadXmlBuffer(bytes.data(), bytes.size(), document);
    EXPECT_TRUE(result) << result.Reason();
    return document.child("r").child("directory").attribute("name").value();
}

// A document declared in `encoding` whose one directory is named `name`.
std::string Declared(const std::string& encoding, const std::string& name)
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<r><directory name='" + name +
        "'/></r>";
}

TEST(XmlLoaderTest, EveryEncodingEndsUpAsUtf8)
{
    const std::string euroE = "\xE2\x82\xAC\xC3\xA9"; // U+20AC U+00E9 in UTF-8
    const struct
    {
        const char* label;
        std::string bytes;
        std::string name;
    } rows[] = {
        {"utf-8 undeclared", "<r><directory name='" + euroE + "'/></r>", euroE},
        {"utf-8 with bom", "\xEF\xBB\xBF<r><directory name='" + euroE + "'/></r>", euroE},
        {"utf-16le bom", Utf16("<r><directory name='x'/></r>", false), "x"},
        {"utf-16be bom",
            Utf16("<?xml version='1.0' encoding='UTF-16'?><r><directory name='y'/></r>", true),
            "y"},
        {"iso-8859-1",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><directory name='caf\xE9 "
            "\x80'/></r>",
            "caf\xC3\xA9 \xC2\x80"},
        {"windows-1252",
            "<?xml version='1.0' encoding='windows-1252'?><r><directory name='\x80 \x93q\x94 "
            "\xE9'/></r>",
            "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC3\xA9"},
        {"latin1 spelled in capitals",
            "<?xml version='1.0' encoding='LATIN1'?><r><directory name='\xFC'/></r>", "\xC3\xBC"},
        {"iso-8859-15", Declared("ISO-8859-15", "\xA4 \xBD \xB4"),
            "\xE2\x82\xAC \xC5\x93 \xC5\xBD"},
        {"windows-1250",
            Declared("windows-1250",
                "\xA3\xF3"
                "d\x9F \x9A\xE8"),
            "\xC5\x81\xC3\xB3"
            "d\xC5\xBA \xC5\xA1\xC4\x8D"},
        {"koi8-r", Declared("KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4"),
            "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {"shift_jis, a double-byte code page", Declared("Shift_JIS", "\x93\xFA\x96{\x8C\xEA"),
            "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
        {"iso-2022-jp, with shift states", Declared("ISO-2022-JP", "\x1B$BF|K\\\x1B(B"),
            "\xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(NameOf(row.bytes), row.name);
    }
}

TEST(XmlLoaderTest, FailuresSayWhatWentWrong)
{
    pugi::xml_document document;
    const std::string malformed = "<r>\n<directory name='a'>\n</r>";
    XmlLoadResult result = LoadXmlBuffer(malformed.data(), malformed.size(), document);
    EXPECT_EQ(result.status, XmlLoadResult::Status::ParseError);
    EXPECT_GT(result.offset, 0);
    EXPECT_EQ(
        result.Reason(), "Start-end tags mismatch at offset " + std::to_string(result.offset));
    EXPECT_FALSE(document.first_child()) << "a failed load leaves an empty document";

    result = LoadXmlFile("/nonexistent/dirdata.xml", document);
    EXPECT_EQ(result.status, XmlLoadResult::Status::FileError);
    EXPECT_EQ(result.Reason(), "File could not be opened");

    TemporaryDirectory folder;
    result = LoadXmlFile(folder.path.string(), document);
    EXPECT_FALSE(result) << "a directory is no database";
}

// A declared encoding that cannot be read fails like a malformed file, with
// a reason that names it; it never gives an empty document that loaded.
TEST(XmlLoaderTest, EncodingsThatCannotBeReadFailTheLoad)
{
    using Status = XmlLoadResult::Status;
    const struct
    {
        const char* label;
        std::string bytes;
        Status status;
        std::string reason;
        std::ptrdiff_t offset;
    } rows[] = {
        {"unknown to iconv", Declared("X-NO-SUCH-CHARSET", "a"), Status::UnsupportedEncoding,
            "Unsupported character encoding \"X-NO-SUCH-CHARSET\"", -1},
        {"iconv option in the name", Declared("UTF-7//IGNORE", "a"), Status::UnsupportedEncoding,
            "Unsupported character encoding \"UTF-7//IGNORE\"", -1},
        {"empty name", Declared("", "a"), Status::UnsupportedEncoding,
            "Unsupported character encoding \"\"", -1},
        {"not ASCII-compatible", Declared("UCS-2", "a"), Status::UnsupportedEncoding,
            "The character encoding \"UCS-2\" does not read its own declaration", -1},
        {"byte windows-1252 leaves undefined", Declared("windows-1252", "a\x81"),
            Status::ParseError,
            "Invalid byte sequence for the character encoding \"windows-1252\" at offset 67", 67},
        {"shift_jis lead byte without its trail", Declared("Shift_JIS", "\x93'"),
            Status::ParseError,
            "Invalid byte sequence for the character encoding \"Shift_JIS\" at offset 63", 63},
        {"shift_jis cut inside a character", Declared("Shift_JIS", "a").substr(0, 63) + "\x93",
            Status::ParseError,
            "Invalid byte sequence for the character encoding \"Shift_JIS\" at offset 63", 63},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        pugi::xml_document document;
        const XmlLoadResult result = LoadXmlBuffer(row.bytes.data(), row.bytes.size(), document);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.Reason(), row.reason);
        EXPECT_EQ(result.offset, row.offset);
        EXPECT_FALSE(document.first_child());

        MessageLog log;
        DirectoryDatabase database(log);
        TemporaryDirectory folder;
        Result loaded;
        EXPECT_FALSE(database.Load(folder.Write("dirdata.xml", row.bytes), &loaded));
        EXPECT_EQ(loaded.Reason(), row.reason);
        EXPECT_TRUE(log.messages.empty());
    }
}

TEST(XmlLoaderTest, ExternalEntitiesAreNeverLoaded)
{
    TemporaryDirectory folder;
    const std::string secret = folder.Write("secret.txt", "TOP-SECRET");
    const std::string xml = "<?xml version='1.0'?>\n<!DOCTYPE r [\n<!ENTITY leak SYSTEM 'file://" +
        secret +
        "'>\n<!ENTITY inner 'expanded'>\n]>\n"
        "<r><directory name='D' submiturl='&leak;' onsubmit='&inner;'/></r>";

    MessageLog log;
    DirectoryDatabase database(log);
    database.Load(folder.Write("dirdata.xml", xml));
    const std::string address = database.GetDirectorySubmitPage("D", "", "");
    EXPECT_EQ(address.find("TOP-SECRET"), std::string::npos);
    EXPECT_EQ(database.GetDirectoryOnSubmit("D").find("expanded"), std::string::npos);
}

TEST(XmlLoaderTest, DeepNestingAndHugeAttributesLoad)
{
    std::string deep = "<r>";
    for (int i = 0; i < 100000; ++i)
        deep += "<g>";
    for (int i = 0; i < 100000; ++i)
        deep += "</g>";
    deep += "<directory name='" + std::string(4 << 20, 'h') + "'/></r>";

    MessageLog log;
    DirectoryDatabase database(log);
    TemporaryDirectory folder;
    ASSERT_TRUE(database.Load(folder.Write("dirdata.xml", deep)));
    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), std::size_t(4 << 20));
}

} // namespace
