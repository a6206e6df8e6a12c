#include "core/fill/FillPlan.h"

#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/profiles/Profile.h"
#include "support/Printers.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace {

TEST(FillPlanTest, ItemsInOrderWithVariablesThenPlaceholders)
{
    TemporaryDirectory folder;
    MessageLog log;
    DirectoryDatabase database(log);
    ASSERT_TRUE(database.Load(folder.Write("dirdata.xml", R"(<r>
        <directory name="D" submiturl="u" onsubmit="ok">
          <variable name="SECTION">
            <cond category="Small Business" value="117 #cat#"/><cond value="100"/>
          </variable>
          <item name="title" index="0" type="edit" value="#title#"/>
          <item name="author" index="1" type="edit" value="#fname# #lname#"/>
          <item name="section" index="0" type="combobox" value="SECTION"/>
          <item name="agree" index="0" type="checkbox" value="yes"/>
          <item name="body" index="0" type="edit" value="#desc#"/>
        </directory></r>)")));

    Profile profile;
    profile.articleTitle = "Herbs";
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.category = "Small Business";
    profile.articleContent = "one\r\ntwo";
    const std::vector<FillStep> expected {{"title", 0, "Herbs"}, {"author", 1, "Ann Lee"},
        {"section", 0, "117 Small Business", ControlType::ComboBox},
        {"agree", 0, "yes", ControlType::CheckBox}, {"body", 0, "one\r\ntwo"}};
    EXPECT_EQ(BuildFillPlan(database, "D", profile), expected);

    profile.category = "Other";
    EXPECT_EQ(BuildFillPlan(database, "D", profile)[2].text, "100");
    EXPECT_TRUE(BuildFillPlan(database, "Unknown", profile).empty());
    EXPECT_TRUE(log.messages.empty());
}

// An editor addressed without a name, and the values kept beside the
// profile, go into the plan like any other.
TEST(FillPlanTest, TheValuesBesideTheProfileFillTheirPlaceholders)
{
    TemporaryDirectory folder;
    MessageLog log;
    DirectoryDatabase database(log);
    ASSERT_TRUE(database.Load(folder.Write("dirdata.xml", R"(<r>
        <directory name="D" submiturl="u" onsubmit="ok">
          <item name="by" index="0" type="edit" value="#author#"/>
          <item name="unnamed editor" index="1" type="edit" value="#summary# [#tags#]"/>
        </directory></r>)")));
    Profile profile;
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.articleContent = "First. Second.";
    EXPECT_EQ(BuildFillPlan(database, "D", profile),
        (std::vector<FillStep> {{"by", 0, "Ann Lee"}, {"unnamed editor", 1, "First. Second. []"}}));
    EXPECT_EQ(BuildFillPlan(database, "D", profile, {"A. L.", "Brief.", "x, y"}),
        (std::vector<FillStep> {{"by", 0, "A. L."}, {"unnamed editor", 1, "Brief. [x, y]"}}));
}

} // namespace
