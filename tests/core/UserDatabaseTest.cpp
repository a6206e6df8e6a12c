#include "core/directorydb/UserDatabase.h"

#include "core/common/MessageLog.h"
#include "core/directorydb/DatabaseCheck.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/directorydb/XmlLoader.h"
#include "support/TemporaryDirectory.h"
#include "tools/DbTool.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

DirectoryRecord Record(const std::string& name, const std::string& value = "#title#")
{
    DirectoryRecord record;
    record.name = name;
    record.submitUrl = "http://127.0.0.1/submit?c=CATX";
    record.onSubmit = "Thank you";
    record.items = {{"title", ControlType::Edit, 0, value},
        {"cat", ControlType::ComboBox, 1, "CATX"}, {"terms", ControlType::CheckBox, 0, "1"}};
    record.variables = {{"CATX",
        {{std::string("Small Business"), std::nullopt, "sb"},
            {std::nullopt, std::nullopt, "other"}}}};
    return record;
}

class UserDatabaseTest : public ::testing::Test
{
protected:
    // The user's file read as the program reads it, beside an empty maker's.
    void Reload()
    {
        database.SetDatabasePath(folder.Write("dirdata.xml", "<r/>"));
        database.SetUserDatabasePath(path);
        ASSERT_TRUE(database.LoadDatabase());
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        database.GetDirectoryNames(names);
        return names;
    }

    std::vector<std::string> Findings()
    {
        pugi::xml_document document;
        EXPECT_TRUE(LoadXmlFile(path, document));
        return CheckDatabase(document);
    }

    TemporaryDirectory folder;
    std::string path = folder.FilePath("mydirdata.xml");
    MessageLog log;
    DirectoryDatabase database {log};
};

TEST_F(UserDatabaseTest, HostileTextsComeBackUnchangedAndPassTheCheck)
{
    const std::vector<std::string> texts = {"Quote \" and 'apostrophe'", "Less < & more > &amp;",
        "Line\nbreak\r\nand\ttab", "  blanks around  ", "]]> <!-- --> <?pi?>",
        "Umlaut \xC3\xA4 and \xE2\x82\xAC", "#desc#"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        DirectoryRecord record = Record(text.find('\n') == std::string::npos ? text : "Name", text);
        record.submitUrl = "http://127.0.0.1/?q=" + text + "&c=CATX";
        record.onSubmit = text;
        ASSERT_TRUE(SaveUserDirectory(path, record)) << SaveUserDirectory(path, record).Reason();
        EXPECT_TRUE(Findings().empty());

        Reload();
        EXPECT_EQ(database.GetDirectoryOnSubmit(record.name), text);
        EXPECT_EQ(database.GetDirectorySubmitPage(record.name, "Small Business", ""),
            "http://127.0.0.1/?q=" + text + "&c=sb");
        std::vector<DirectoryItem> items;
        database.GetDirectoryItems(record.name, "Other", "", items);
        const std::vector<DirectoryItem> expected = {{"title", ControlType::Edit, 0, text},
            {"cat", ControlType::ComboBox, 1, "other"}, {"terms", ControlType::CheckBox, 0, "1"}};
        EXPECT_EQ(items, expected);
        EXPECT_TRUE(log.messages.empty());
        std::filesystem::remove(path);
    }
}

TEST_F(UserDatabaseTest, RefusesWhatTheProgramCannotReadAndLeavesTheFile)
{
    ASSERT_TRUE(SaveUserDirectory(path, Record("Kept")));
    const std::string before = TemporaryDirectory::Read(path);

    DirectoryRecord noDefault = Record("No Default");
    noDefault.variables[0].conds.pop_back();
    DirectoryRecord emptyVariable = Record("Empty Variable");
    emptyVariable.variables[0].name.clear();
    const struct
    {
        DirectoryRecord record;
        std::string reason; // a part of the reason given
    } cases[] = {
        {Record("Name [sent]"), "\" [\""},
        {Record(""), "empty"},
        {Record("Two\nlines"), "line break"},
        {Record(std::string(224, 'x')), "longer than 223"},
        {Record(std::string("Nul\0in", 6)), "NUL"},
        {noDefault, "error on variable"},
        {emptyVariable, "empty name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.name);
        const Result saved = SaveUserDirectory(path, c.record);
        EXPECT_FALSE(saved);
        EXPECT_NE(saved.Reason().find(c.reason), std::string::npos) << saved.Reason();
        EXPECT_EQ(TemporaryDirectory::Read(path), before);
    }
}

TEST_F(UserDatabaseTest, SavingANameAgainReplacesItInPlaceAndRemovingDropsIt)
{
    ASSERT_TRUE(SaveUserDirectory(path, Record("First")));
    ASSERT_TRUE(SaveUserDirectory(path, Record("Second")));
    ASSERT_TRUE(SaveUserDirectory(path, Record("First", "#desc#")));
    Reload();
    EXPECT_EQ(Names(), (std::vector<std::string> {"First", "Second"}));

    // Read back as written, for the dialog to edit.
    const std::optional<DirectoryRecord> first = ReadUserDirectory(path, "First");
    ASSERT_TRUE(first);
    const DirectoryRecord expected = Record("First", "#desc#");
    EXPECT_EQ(first->submitUrl, expected.submitUrl);
    EXPECT_EQ(first->onSubmit, expected.onSubmit);
    EXPECT_EQ(first->items, expected.items);
    ASSERT_EQ(first->variables.size(), 1u);
    ASSERT_EQ(first->variables[0].conds.size(), 2u);
    EXPECT_EQ(first->variables[0].conds[0].category, std::optional<std::string>("Small Business"));
    EXPECT_EQ(first->variables[0].conds[1].category, std::nullopt);
    EXPECT_EQ(first->variables[0].conds[1].value, "other");
    EXPECT_FALSE(ReadUserDirectory(path, "Third"));
    EXPECT_FALSE(ReadUserDirectory(folder.FilePath("none.xml"), "First"));
    std::vector<DirectoryItem> items;
    database.GetDirectoryItems("First", "", "", items);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].value, "#desc#");

    ASSERT_TRUE(RemoveUserDirectory(path, "Second"));
    const Result missing = RemoveUserDirectory(path, "Second");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.Reason().find("No directory \"Second\""), std::string::npos);
    Reload();
    EXPECT_EQ(Names(), std::vector<std::string> {"First"});
    EXPECT_TRUE(Findings().empty());
}

TEST_F(UserDatabaseTest, ReplacingRenamesInPlaceAndTakesOverAnotherEntryOfTheName)
{
    const struct
    {
        const char* oldName;
        const char* newName;
        std::vector<std::string> names; // afterwards, in file order
    } cases[] = {
        {"Second", "Renamed", {"First", "Renamed", "Third"}},
        {"Second", "Second", {"First", "Second", "Third"}},
        {"First", "Last", {"Last", "Second", "Third"}},
        // A save replaces a directory of its name; so does a rename, which
        // keeps the place of the entry renamed.
        {"Third", "First", {"Second", "First"}},
        {"First", "Third", {"Third", "Second"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.oldName) + " -> " + c.newName);
        for (const char* name : {"First", "Second", "Third"})
            ASSERT_TRUE(SaveUserDirectory(path, Record(name)));

        const DirectoryRecord renamed = Record(c.newName, "#desc#");
        const Result replaced = ReplaceUserDirectory(path, c.oldName, renamed);
        ASSERT_TRUE(replaced) << replaced.Reason();
        Reload();
        EXPECT_EQ(Names(), c.names);
        const std::optional<DirectoryRecord> read = ReadUserDirectory(path, c.newName);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->items, renamed.items);
        EXPECT_EQ(
            ReadUserDirectory(path, c.oldName).has_value(), std::string(c.oldName) == c.newName);
        EXPECT_TRUE(Findings().empty());
        std::filesystem::remove(path);
    }
}

TEST_F(UserDatabaseTest, AReplacementSavesWouldRefuseLeavesTheFile)
{
    ASSERT_TRUE(SaveUserDirectory(path, Record("Kept")));
    ASSERT_TRUE(SaveUserDirectory(path, Record("Other")));
    const std::string before = TemporaryDirectory::Read(path);
    const struct
    {
        const char* oldName;
        DirectoryRecord record;
        std::string reason; // a part of the reason given
    } cases[] = {
        {"Missing", Record("New"), "No directory \"Missing\""},
        {"Missing", Record("Missing"), "No directory \"Missing\""},
        {"Kept", Record("Two\nlines"), "line break"},
        {"Kept", Record("Name [sent]"), "\" [\""},
        {"Kept", Record(""), "empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.name);
        const Result replaced = ReplaceUserDirectory(path, c.oldName, c.record);
        EXPECT_FALSE(replaced);
        EXPECT_NE(replaced.Reason().find(c.reason), std::string::npos) << replaced.Reason();
        EXPECT_EQ(TemporaryDirectory::Read(path), before);
    }
    EXPECT_FALSE(ReplaceUserDirectory(folder.FilePath("absent.xml"), "Kept", Record("New")));
    EXPECT_FALSE(std::filesystem::exists(folder.FilePath("absent.xml")));
}

TEST_F(UserDatabaseTest, AnUnreadableFileIsNeverOverwritten)
{
    for (const std::string bytes : {"<r><directory name='A'></r>", "<other/>"}) {
        folder.Write("mydirdata.xml", bytes);
        EXPECT_FALSE(SaveUserDirectory(path, Record("New")));
        EXPECT_FALSE(RemoveUserDirectory(path, "A"));
        EXPECT_EQ(TemporaryDirectory::Read(path), bytes);
    }
    EXPECT_FALSE(RemoveUserDirectory(folder.FilePath("absent.xml"), "A"));
    EXPECT_FALSE(std::filesystem::exists(folder.FilePath("absent.xml")));
}

TEST_F(UserDatabaseTest, TheDatabaseToolChecksTheWrittenFileClean)
{
    ASSERT_TRUE(SaveUserDirectory(path, Record("Tool's \"own\" <check>")));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunDbTool({"check", path}, out, err), 0);
    EXPECT_EQ(out.str(), "ok\n");
    EXPECT_EQ(err.str(), "");
}

} // namespace
