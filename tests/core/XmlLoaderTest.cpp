#include "directorydb/XmlLoader.h"

#include "common/MessageLog.h"
#include "directorydb/DirectoryDatabase.h"
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
    EXPECT_TRUE(result) << result.Message();
    return document.child("r").child("directory").attribute("name").value();
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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(NameOf(row.bytes), row.name);
    }
}

TEST(XmlLoaderTest, FailuresSayWhatWentWrong)
{
    pugi::xml_document document;
    const std::string unsupported = "<?xml version='1.0' encoding='EBCDIC-US'?><r/>";
    XmlLoadResult result = LoadXmlBuffer(unsupported.data(), unsupported.size(), document);
    EXPECT_EQ(result.status, XmlLoadResult::Status::UnsupportedEncoding);

    const std::string malformed = "<r>\n<directory name='a'>\n</r>";
    result = LoadXmlBuffer(malformed.data(), malformed.size(), document);
    EXPECT_EQ(result.status, XmlLoadResult::Status::ParseError);
    EXPECT_GT(result.offset, 0);
    EXPECT_NE(result.Message().find("offset " + std::to_string(result.offset)), std::string::npos);
    EXPECT_FALSE(document.first_child()) << "a failed load leaves an empty document";

    result = LoadXmlFile("/nonexistent/dirdata.xml", document);
    EXPECT_EQ(result.status, XmlLoadResult::Status::FileError);
    EXPECT_FALSE(result.description.empty());

    TemporaryDirectory folder;
    result = LoadXmlFile(folder.path.string(), document);
    EXPECT_FALSE(result) << "a directory is no database";
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
