#include "core/directorydb/DirectoryDatabase.h"

#include "core/common/MessageLog.h"
#include "core/common/Result.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

namespace {

const Message submitPageError {"Error while GetDirectorySubmitPage", "Error", MessageIcon::Error};
const Message markerError {"Error while retrieving directory names", "Error", MessageIcon::Error};

Message VariableError(const std::string& name)
{
    return {"error on variable", name, MessageIcon::None};
}

class DirectoryDatabaseTest : public ::testing::Test
{
protected:
    // Loads a database from XML text; the messages of the load are dropped.
    void LoadXml(const std::string& xml)
    {
        ASSERT_TRUE(database.Load(directory.Write("dirdata.xml", xml)));
        log.messages.clear();
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        EXPECT_TRUE(database.GetDirectoryNames(names));
        return names;
    }

    std::vector<DirectoryItem> Items(const std::string& directory, const std::string& category = "",
        const std::string& subcategory = "")
    {
        std::vector<DirectoryItem> items;
        EXPECT_TRUE(database.GetDirectoryItems(directory, category, subcategory, items));
        return items;
    }

    TemporaryDirectory directory;
    MessageLog log;
    DirectoryDatabase database {log};
};

TEST_F(DirectoryDatabaseTest, WithoutDocumentEveryQueryIsEmptyAndSilent)
{
    std::vector<std::string> names {"kept"};
    EXPECT_FALSE(database.GetDirectoryNames(names));
    EXPECT_EQ(names, std::vector<std::string> {"kept"});
    EXPECT_EQ(database.GetDirectorySubmitPage("A", "", ""), "");
    EXPECT_EQ(database.GetDirectoryOnSubmit("A"), "");
    std::vector<DirectoryItem> items;
    EXPECT_FALSE(database.GetDirectoryItems("A", "", "", items));
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, MissingOrMalformedFileLoadsEmptyWithoutMessage)
{
    Result loaded;
    EXPECT_FALSE(database.Load(directory.FilePath("absent.xml"), &loaded));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(loaded.Reason(), "File could not be opened");
    EXPECT_TRUE(database.HasDocument());
    EXPECT_TRUE(Names().empty());

    EXPECT_FALSE(database.Load(directory.Write("bad.xml", "<r><directory name='A'></r>")));
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, LoadDatabaseReadsTheConfiguredPath)
{
    database.SetDatabasePath(directory.Write("dirdata.xml", "<r><directory name='Only'/></r>"));
    EXPECT_TRUE(database.LoadDatabase());
    EXPECT_EQ(Names(), std::vector<std::string> {"Only"});
}

TEST_F(DirectoryDatabaseTest, NamesComeInFileOrderWithDuplicatesAndOnlyFromDirectChildren)
{
    LoadXml(R"(<?xml version="1.0"?>
        <r>
          <directory name="Zeta"/>
          <directory submiturl="http://nameless/"/>
          <directory name="Alpha"/>
          <directory name=""/>
          <group><directory name="Nested"/></group>
          <directory name="Zeta"/>
        </r>)");
    EXPECT_EQ(Names(), (std::vector<std::string> {"Zeta", "Alpha", "", "Zeta"}));
    EXPECT_TRUE(log.messages.empty());

    LoadXml("<root><directory name='A'/></root>");
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, SubmitPageAndItemsFollowTheProfileCategory)
{
    LoadXml(R"(<r><directory name="Garden" submiturl="http://garden.test/submit?s=SECTION"
                     onsubmit="Thank you">
          <variable name="SECTION">
            <cond category="Marketing and Advertising" value="12"/>
            <cond category="Small Business" value="34"/>
            <cond value="99"/>
          </variable>
          <item name="title" index="0" type="edit" value="#title#"/>
          <item name="section" index="0" type="edit" value="s-SECTION-#cat#"/>
        </directory></r>)");

    const struct
    {
        std::string category;
        std::string section;
    } rows[] = {
        {"Marketing and Advertising", "12"},
        {"Small Business", "34"},
        {"Health", "99"},
        {"", "99"},
        {"small business", "99"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.category);
        EXPECT_EQ(database.GetDirectorySubmitPage("Garden", row.category, ""),
            "http://garden.test/submit?s=" + row.section);
        const auto items = Items("Garden", row.category);
        ASSERT_EQ(items.size(), 2u);
        EXPECT_EQ(items[1].value, "s-" + row.section + "-#cat#");
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST(ControlTypeTest, OnlyTheDatabaseWordsNameAType)
{
    for (const ControlType type : controlTypes)
        EXPECT_EQ(ParseControlType(ControlTypeName(type)), type) << ControlTypeName(type);
    for (const char* text : {"", "Edit", "COMBOBOX", " checkbox", "edit ", "check box", "text"})
        EXPECT_EQ(ParseControlType(text), std::nullopt) << '"' << text << '"';
}

TEST_F(DirectoryDatabaseTest, CondsMatchCategoryAndSubcategoryAndNeedAValue)
{
    LoadXml(R"(<r><directory name="D" submiturl="V">
          <variable name="V">
            <cond category="Home" subcategory="Garden"/>
            <cond category="Home" subcategory="Garden" value="home-garden"/>
            <cond subcategory="Garden" value="any-garden"/>
            <cond category="Home" value="home"/>
          </variable>
        </directory></r>)");
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "Home", "Garden"), "home-garden");
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "Work", "Garden"), "any-garden");
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "Home", "Kitchen"), "home");
    EXPECT_TRUE(log.messages.empty());

    // No cond applies: the variable stays undefined and its name stays.
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "Work", "Kitchen"), "V");
    EXPECT_EQ(log.messages, std::vector<Message> {VariableError("V")});
}

TEST_F(DirectoryDatabaseTest, FailingVariablesAreReportedInDocumentOrderBeforeTheResult)
{
    LoadXml(R"(<r><directory name="D" onsubmit="ok">
          <variable name="EMPTYFIRST"><cond value=""/><cond value="later"/></variable>
          <variable><cond value="nameless variables are ignored"/></variable>
          <variable name=""><cond value="x"/></variable>
          <variable name="NOMATCH"><cond category="Other" value="x"/></variable>
          <variable name="NOCOND"/>
          <item name="f" index="0" type="edit" value="EMPTYFIRST NOMATCH NOCOND"/>
        </directory></r>)");
    const std::vector<Message> variableErrors {VariableError("EMPTYFIRST"), VariableError(""),
        VariableError("NOMATCH"), VariableError("NOCOND")};

    // No submiturl: the variables are reported first, then the address.
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "", ""), "");
    std::vector<Message> expected = variableErrors;
    expected.push_back(submitPageError);
    EXPECT_EQ(log.messages, expected);

    log.messages.clear();
    const auto items = Items("D");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].value, "EMPTYFIRST NOMATCH NOCOND");
    EXPECT_EQ(log.messages, variableErrors);
}

TEST_F(DirectoryDatabaseTest, VariablesApplyInNameOrderOnEachOthersResults)
{
    LoadXml(R"(<r><directory name="D" submiturl="AB|B|C">
          <variable name="B"><cond value="[C]"/></variable>
          <variable name="C"><cond value="[A]"/></variable>
          <variable name="AB"><cond value="ab"/></variable>
          <variable name="A"><cond value="a"/></variable>
          <variable name="A"><cond value="second A is dropped"/></variable>
        </directory></r>)");
    // Order A, AB, B, C: A consumes the start of AB; B inserts C, which C
    // then replaces; C inserts A, which was applied before and stays.
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "", ""), "a[[A]]|[[A]]|[A]");
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, ApplyVariablesNeverRescansInsertedText)
{
    const VariableMap map {{"X", "XX"}, {"Y", ""}};
    EXPECT_EQ(ApplyVariables("aXbXYc", map), "aXXbXXc");
    EXPECT_EQ(ApplyVariables("", map), "");
    EXPECT_EQ(ApplyVariables("no names", {}), "no names");
}

// Each variable doubles the text by inserting the next one's name twice: forty
// of them, two kilobytes of file, would otherwise ask for terabytes.
TEST_F(DirectoryDatabaseTest, RepeatedValuesCannotGrowTheItemsPastSixteenMebibytes)
{
    const std::string value(1 << 20, 'v');
    std::string xml =
        "<r><directory name='D'><item name='f' index='0' type='edit' value='" + value + "'/>";
    for (int i = 0; i < 40; ++i)
        xml += "<item/>";
    LoadXml(xml + "</directory></r>");
    // Each item repeats the mebibyte: the sixteenth would pass the limit.
    EXPECT_EQ(Items("D").size(), 15u);
    EXPECT_EQ(log.messages,
        (std::vector<Message> {{"Error while GetDirectorySubmitPage", "D", MessageIcon::Error}}));
}

TEST_F(DirectoryDatabaseTest, VariablesCannotGrowATextPastOneMebibyte)
{
    const auto chain = [](int variables) {
        std::string xml = "<r><directory name='D' submiturl='V00'>";
        for (int i = 0; i < variables; ++i) {
            char name[8];
            char next[8];
            std::snprintf(name, sizeof name, "V%02d", i);
            std::snprintf(next, sizeof next, "V%02d", i + 1);
            xml += std::string("<variable name='") + name + "'><cond value='" + next + next +
                "'/></variable>";
        }
        return xml + "<item name='f' index='0' type='edit' value='V00'/></directory></r>";
    };

    // 2^18 names of three bytes: three quarters of a mebibyte, allowed.
    LoadXml(chain(18));
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "", "").size(), std::size_t(3) << 18);
    ASSERT_EQ(Items("D").size(), 1u);
    EXPECT_TRUE(log.messages.empty());

    LoadXml(chain(19));
    EXPECT_EQ(database.GetDirectorySubmitPage("D", "", ""), "");
    EXPECT_TRUE(Items("D").empty());
    EXPECT_EQ(log.messages,
        (std::vector<Message> {
            submitPageError, {"Error while GetDirectorySubmitPage", "D", MessageIcon::Error}}));

    EXPECT_THROW(ApplyVariables(std::string(1 << 20, 'x'), {{"x", "xx"}}), std::length_error);
    EXPECT_EQ(ApplyVariables(std::string(1 << 20, 'x'), {{"x", "y"}, {"", "never"}}),
        std::string(1 << 20, 'y'));
}

TEST_F(DirectoryDatabaseTest, ItemsInheritMissingAttributesFromTheItemBefore)
{
    LoadXml(R"(<r><directory name="D">
          <item value="first has no name, index or type"/>
          <item name="a" index="2abc" type="checkbox" value="v1"/>
          <item name="b" index="x1" type="Edit"/>
          <item index="  -3" type="combobox" value="v3"/>
          <item name="c" type="edit" value="v4"/>
          <group><item name="nested" index="0" type="edit" value="never seen"/></group>
        </directory></r>)");
    const std::vector<DirectoryItem> expected {
        {"", ControlType::Edit, 0, "first has no name, index or type"},
        {"a", ControlType::CheckBox, 2, "v1"},
        {"b", ControlType::CheckBox, 0, "v1"},
        {"b", ControlType::ComboBox, -3, "v3"},
        {"c", ControlType::Edit, -3, "v4"},
    };
    EXPECT_EQ(Items("D"), expected);
    const std::vector<Message> typeError {{"unsuported control type", "D", MessageIcon::Error}};
    EXPECT_EQ(log.messages, typeError);
}

TEST_F(DirectoryDatabaseTest, ItemsAreAppendedAndADirectoryTheFileLacksGivesNone)
{
    LoadXml(
        R"(<r><directory name="D"><item name="n" index="0" type="edit" value="v"/></directory></r>)");
    std::vector<DirectoryItem> items {{"existing", ControlType::Edit, 0, ""}};
    EXPECT_TRUE(database.GetDirectoryItems("D", "", "", items));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, "existing");
    EXPECT_TRUE(Items("Unknown").empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, MissingAddressOrMarkerIsReportedWithItsOwnMessage)
{
    LoadXml(R"(<r><directory name="Bare"/></r>)");
    EXPECT_EQ(database.GetDirectorySubmitPage("Bare", "", ""), "");
    EXPECT_EQ(database.GetDirectoryOnSubmit("Bare"), "");
    EXPECT_EQ(database.GetDirectorySubmitPage("Unknown", "", ""), "");
    EXPECT_EQ(database.GetDirectoryOnSubmit("Unknown"), "");
    EXPECT_EQ(log.messages,
        (std::vector<Message> {submitPageError, markerError, submitPageError, markerError}));
}

TEST_F(DirectoryDatabaseTest, MarkerIsReturnedAsStored)
{
    LoadXml(R"(<r><directory name="D" submiturl="u" onsubmit="Thanks V #title#">
          <variable name="V"><cond value="replaced"/></variable></directory></r>)");
    EXPECT_EQ(database.GetDirectoryOnSubmit("D"), "Thanks V #title#");
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, DuplicateNamesJoinItemsAndTakeTheFirstAttributeFound)
{
    LoadXml(R"(<r>
          <directory name="Twin" onsubmit="first marker">
            <item name="one" index="0" type="edit" value="1"/></directory>
          <directory name="Twin" submiturl="http://second/" onsubmit="second marker">
            <item name="two" index="0" type="edit" value="2"/></directory>
        </r>)");
    EXPECT_EQ(database.GetDirectorySubmitPage("Twin", "", ""), "http://second/");
    EXPECT_EQ(database.GetDirectoryOnSubmit("Twin"), "first marker");
    const auto items = Items("Twin");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, "one");
    EXPECT_EQ(items[1].name, "two");
}

// Names are bound to the queries as data: quotes, brackets and XPath syntax
// in a name select exactly the directory of that name, and no other.
TEST_F(DirectoryDatabaseTest, AnyNameMatchesExactlyItself)
{
    const std::string longName(300, 'n');
    const std::vector<std::string> names {"O'Brien's Articles", "Say \"hi\"",
        "a] | //directory[@name", "x' or '1'='1", "' or 1=1 or '", "Ünïcødé 文章", longName};

    std::string xml = "<r><directory name='Decoy' submiturl='decoy' onsubmit='decoy'>"
                      "<item name='decoy' index='0' type='edit' value='decoy'/></directory>";
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string escaped;
        for (char c : names[i]) {
            if (c == '\'')
                escaped += "&apos;";
            else if (c == '"')
                escaped += "&quot;";
            else
                escaped += c;
        }
        const std::string n = std::to_string(i);
        xml += "<directory name=\"" + escaped + "\" submiturl=\"url" + n + "\" onsubmit=\"marker" +
            n + "\"><item name=\"field" + n + "\" index=\"0\" type=\"edit\" value=\"v\"/>" +
            "</directory>";
    }
    LoadXml(xml + "</r>");

    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const std::string n = std::to_string(i);
        EXPECT_EQ(database.GetDirectorySubmitPage(names[i], "", ""), "url" + n);
        EXPECT_EQ(database.GetDirectoryOnSubmit(names[i]), "marker" + n);
        const auto items = Items(names[i]);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].name, "field" + n);
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DirectoryDatabaseTest, AttributeTextFollowsXmlRules)
{
    LoadXml("<r><directory name='D' submiturl='u'>"
            "<item name='a' index='0' type='edit' value='line&#10;break &amp; &lt;tag&gt;'/>"
            "<item name='b' index='0' type='edit' value='literal\nbreak\tand\rtab'/>"
            "</directory></r>");
    const auto items = Items("D");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].value, "line\nbreak & <tag>");
    EXPECT_EQ(items[1].value, "literal break and tab");
}

} // namespace

class UserDirectoryDatabaseTest : public DirectoryDatabaseTest
{
protected:
    // Loads the maker's and the user's file as the main window does.
    bool LoadBoth(const std::string& makers, const std::string& users)
    {
        database.SetDatabasePath(directory.Write("dirdata.xml", makers));
        database.SetUserDatabasePath(users.empty() ? directory.FilePath("mydirdata.xml")
                                                   : directory.Write("mydirdata.xml", users));
        return database.LoadDatabase();
    }
};

TEST_F(UserDirectoryDatabaseTest, UsersDirectoriesFollowAndAnswerForTheNamesTheyHold)
{
    ASSERT_TRUE(LoadBoth(R"(<r>
        <directory name="Shared" submiturl="maker" onsubmit="maker">
          <variable name="V"><cond value="maker"/></variable>
          <item name="m" index="0" type="edit" value="V"/>
        </directory>
        <directory name="Maker" submiturl="m/V" onsubmit="made">
          <variable name="V"><cond value="mv"/></variable>
          <item name="a" index="0" type="edit" value="V"/>
        </directory>
      </r>)",
        R"(<r>
        <directory name="Own" submiturl="o" onsubmit="own"/>
        <directory name="Shared" submiturl="user/V" onsubmit="user">
          <variable name="V"><cond category="C" value="uc"/><cond value="u"/></variable>
          <item name="u" index="2" type="checkbox" value="V"/>
        </directory>
        <directory name="Two&#10;Lines" submiturl="t" onsubmit="t"/>
      </r>)"));
    EXPECT_EQ(Names(), (std::vector<std::string> {"Shared", "Maker", "Own", "Two Lines"}));

    EXPECT_EQ(database.GetDirectorySubmitPage("Shared", "C", ""), "user/uc");
    EXPECT_EQ(database.GetDirectoryOnSubmit("Shared"), "user");
    EXPECT_EQ(Items("Shared"), (std::vector<DirectoryItem> {{"u", ControlType::CheckBox, 2, "u"}}));
    VariableMap map;
    database.GetDirectoryVariables("Shared", "C", "", map);
    EXPECT_EQ(map, (VariableMap {{"V", "uc"}}));

    EXPECT_EQ(database.GetDirectorySubmitPage("Maker", "", ""), "m/mv");
    EXPECT_EQ(Items("Maker"), (std::vector<DirectoryItem> {{"a", ControlType::Edit, 0, "mv"}}));
    EXPECT_EQ(database.GetDirectoryOnSubmit("Two Lines"), "t");
    EXPECT_TRUE(log.messages.empty());

    // Load reads one file alone, as the database tool does.
    database.Load(database.DatabasePath());
    EXPECT_EQ(Names(), (std::vector<std::string> {"Shared", "Maker"}));
}

TEST_F(UserDirectoryDatabaseTest, MissingUserFileIsNormalAndABrokenOneIsLeftOut)
{
    const std::string makers = "<r><directory name='Maker'/></r>";
    EXPECT_TRUE(LoadBoth(makers, ""));
    EXPECT_EQ(Names(), std::vector<std::string> {"Maker"});
    EXPECT_FALSE(LoadBoth(makers, "<r><directory name='Own'></r>"));
    EXPECT_EQ(Names(), std::vector<std::string> {"Maker"});
    EXPECT_TRUE(LoadBoth(makers, "<other><directory name='Own'/></other>"));
    EXPECT_EQ(Names(), std::vector<std::string> {"Maker"});
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(UserDirectoryDatabaseTest, AttributeMissingFromTheUsersEntryIsNotTakenFromTheMakers)
{
    ASSERT_TRUE(LoadBoth(R"(<r><directory name="D" submiturl="s" onsubmit="m"/></r>)",
        R"(<r><directory name="D" submiturl="u"/></r>)"));
    EXPECT_EQ(database.GetDirectoryOnSubmit("D"), "");
    EXPECT_EQ(log.messages, std::vector<Message> {markerError});
}
