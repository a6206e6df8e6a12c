#include "core/directorydb/DirectoryItemReader.h"

#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/directorydb/UserDatabase.h"
#include "core/fill/FillPlan.h"
#include "core/profiles/Profile.h"
#include "support/Printers.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// One directory of the user's own file, read by the fill and by the
// directory dialog.
class DirectoryItemReaderTest : public ::testing::Test
{
protected:
    void WriteEntry(const std::string& items)
    {
        folder.Write("mydirdata.xml",
            "<r><directory name='D' submiturl='http://127.0.0.1/' onsubmit='Thanks'>" + items +
                "</directory></r>");
    }

    std::vector<FillStep> FillPlan()
    {
        database.SetDatabasePath(folder.Write("dirdata.xml", "<r/>"));
        database.SetUserDatabasePath(path);
        EXPECT_TRUE(database.LoadDatabase());
        return BuildFillPlan(database, "D", Profile());
    }

    TemporaryDirectory folder;
    std::string path = folder.FilePath("mydirdata.xml");
    MessageLog log;
    DirectoryDatabase database {log};
};

std::vector<FillStep> StepsOf(const std::vector<DirectoryItem>& items)
{
    std::vector<FillStep> steps;
    for (const DirectoryItem& item : items)
        steps.push_back({item.name, item.index, item.value, item.type});
    return steps;
}

TEST_F(DirectoryItemReaderTest, FillAndEditorReadMissingAttributesAlike)
{
    const struct
    {
        const char* label;
        std::string items;
        std::vector<DirectoryItem> expected;
    } cases[] = {
        {"complete items",
            "<item name='a' index='1' type='combobox' value='x'/>"
            "<item name='b' index='0' type='checkbox' value='on'/>",
            {{"a", ControlType::ComboBox, 1, "x"}, {"b", ControlType::CheckBox, 0, "on"}}},
        {"each attribute missing in turn",
            "<item name='a' index='2' type='checkbox' value='v1'/>"
            "<item index='3' type='edit' value='v2'/>"
            "<item name='b' type='combobox' value='v3'/>"
            "<item name='c' index='4' value='v4'/>"
            "<item name='d' index='5' type='edit'/>",
            {{"a", ControlType::CheckBox, 2, "v1"}, {"a", ControlType::Edit, 3, "v2"},
                {"b", ControlType::ComboBox, 3, "v3"}, {"c", ControlType::ComboBox, 4, "v4"},
                {"d", ControlType::Edit, 5, "v4"}}},
        {"a bare item repeats the one before",
            "<item name='a' index='1' type='checkbox' value='yes'/><item/>",
            {{"a", ControlType::CheckBox, 1, "yes"}, {"a", ControlType::CheckBox, 1, "yes"}}},
        {"the first item starts empty", "<item value='only a value'/>",
            {{"", ControlType::Edit, 0, "only a value"}}},
        {"an unknown type keeps the type before",
            "<item name='a' index='0' type='combobox' value='1'/>"
            "<item name='b' type='Edit' value='2'/>",
            {{"a", ControlType::ComboBox, 0, "1"}, {"b", ControlType::ComboBox, 0, "2"}}},
        {"an index reads as its leading number",
            "<item name='a' index=' 7th' type='edit' value='v'/><item index='x'/>",
            {{"a", ControlType::Edit, 7, "v"}, {"a", ControlType::Edit, 0, "v"}}},
        {"an empty attribute is a value, not a missing one",
            "<item name='a' index='1' type='edit' value='v'/><item name='' value=''/>",
            {{"a", ControlType::Edit, 1, "v"}, {"", ControlType::Edit, 1, ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteEntry(c.items);
        const std::vector<FillStep> filled = FillPlan();
        EXPECT_EQ(filled, StepsOf(c.expected));

        const std::optional<DirectoryRecord> edited = ReadUserDirectory(path, "D");
        ASSERT_TRUE(edited);
        EXPECT_EQ(edited->items, c.expected);

        // Saving what the editor read, as setting the confirmation text
        // does, leaves the fill as it was.
        ASSERT_TRUE(SaveUserDirectory(path, *edited));
        EXPECT_EQ(FillPlan(), filled);
    }
}

TEST_F(DirectoryItemReaderTest, RepeatedValuesStopTheEditorAsTheyStopTheFill)
{
    std::string items = "<item name='f' index='0' type='edit' value='" +
        std::string(std::size_t(1) << 20, 'v') + "'/>";
    for (int i = 0; i < 40; ++i)
        items += "<item/>";
    WriteEntry(items);
    EXPECT_EQ(FillPlan().size(), 15u);
    EXPECT_FALSE(ReadUserDirectory(path, "D"));
}

} // namespace
