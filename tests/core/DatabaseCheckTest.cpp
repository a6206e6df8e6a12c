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
