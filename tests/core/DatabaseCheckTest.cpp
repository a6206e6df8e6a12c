#include "core/directorydb/DatabaseCheck.h"

#include "core/directorydb/XmlLoader.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

namespace {

std::vector<std::string> CheckVariable(const std::string& conds)
{
    const std::string xml = R"(<r><directory name="D" submiturl="u" onsubmit="m">)"
                            R"(<variable name="V">)" +
        conds + "</variable></directory></r>";
    pugi::xml_document document;
    EXPECT_TRUE(LoadXmlBuffer(xml.data(), xml.size(), document));
    return CheckDatabase(document);
}

// An empty cond is a finding only when some profile gets its value: when
// no cond before it with a value applies to every profile it applies to.
TEST(DatabaseCheckTest, EmptyCondsCountOnlyWhereSomeProfileReachesThem)
{
    const std::string fallback = R"(<cond value="v"/>)";
    const std::string emptyCond2 = R"(Directory "D": variable "V" cond 2 has an empty value, so)"
                                   R"( the profiles it applies to get "error on variable")";
    const struct
    {
        const char* label;
        std::string conds;
        std::vector<std::string> findings;
    } cases[] = {
        {"same category before", R"(<cond category="A" value="a"/><cond category="A" value=""/>)",
            {}},
        {"category before category and subcategory",
            R"(<cond category="A" value="a"/><cond category="A" subcategory="S" value=""/>)", {}},
        {"category and subcategory before category",
            R"(<cond category="A" subcategory="S" value="a"/><cond category="A" value=""/>)",
            {emptyCond2}},
        {"other category before", R"(<cond category="B" value="b"/><cond category="A" value=""/>)",
            {emptyCond2}},
        {"subcategory before category",
            R"(<cond subcategory="S" value="s"/><cond category="A" value=""/>)", {emptyCond2}},
        {"empty category is a category",
            R"(<cond category="" value="e"/><cond category="A" value=""/>)", {emptyCond2}},
        {"empty category before empty category",
            R"(<cond category="" value="e"/><cond category="" subcategory="" value=""/>)", {}},
        {"valueless cond before shadows nothing",
            R"(<cond category="A"/><cond category="A" value=""/>)",
            {R"(Directory "D": variable "V" cond 1 has no "value" attribute and is never chosen)",
                emptyCond2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(CheckVariable(c.conds + fallback), c.findings);
    }
}

TEST(DatabaseCheckTest, ASecondTopLevelElementIsAFinding)
{
    // The program lists the directories of every top-level <r>.
    const std::string xml = "<r><directory name='A' submiturl='u' onsubmit='m'/></r>"
                            "<r><directory name='B' submiturl='u' onsubmit='m'/></r>";
    pugi::xml_document document;
    ASSERT_TRUE(LoadXmlBuffer(xml.data(), xml.size(), document));
    EXPECT_EQ(CheckDatabase(document),
        std::vector<std::string> {"The document holds 2 top-level elements, where one <r> "
                                  "belongs: only the first is checked"});
}

} // namespace

namespace {

std::vector<std::string> CheckItems(const std::string& items)
{
    const std::string xml =
        R"(<r><directory name="D" submiturl="u" onsubmit="m">)" + items + "</directory></r>";
    pugi::xml_document document;
    EXPECT_TRUE(LoadXmlBuffer(xml.data(), xml.size(), document));
    return CheckDatabase(document);
}

// Every placeholder the fill knows, and an editor addressed without a name,
// pass; a misspelt placeholder, which the fill would write as it stands,
// does not.
TEST(DatabaseCheckTest, ItemValuesNameOnlyPlaceholdersTheFillKnows)
{
    const struct
    {
        const char* value;
        std::vector<std::string> findings;
    } cases[] = {
        {"#author#, #summary#, #tags#", {}},
        {"#title# by #fname# #lname# (#keywords#) #url# #email# #desc# #cat#/#subcat# #password#",
            {}},
        {"Top #1 tip # of ## the #year", {}},
        {"#Author# #summary", {}},
        {"By #autor#",
            {R"(Directory "D": item 1 holds "#autor#", which is no placeholder, so it)"
             R"( is written as it stands)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(
            CheckItems(std::string(R"(<item name="unnamed editor" index="0" type="edit" value=")") +
                c.value + R"("/>)"),
            c.findings);
    }
}

} // namespace
