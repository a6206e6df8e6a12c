#include "core/capture/DirectoryDraft.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<FormField> pageFields = {
    {"Title", "title", 0, FieldKind::Text, {}, ""},
    {"Category", "cat", 0, FieldKind::Select, {{"b", "Business"}, {"o", "Other"}}, ""},
    {"Newsletter", "news", 0, FieldKind::CheckBox, {}, ""},
    {"Author", "author", 1, FieldKind::Text, {}, ""},
};

TEST(DirectoryDraft, ANewPageIsProposedAndSavedWithTheValuesItWrites)
{
    DirectoryDraft draft = ProposeDirectory(
        "\n  Submit \t an   Article - Site \n", "http://site.test/add", pageFields);
    EXPECT_EQ(draft.name, "Submit an Article - Site");
    EXPECT_EQ(draft.submitUrl, "http://site.test/add");
    ASSERT_EQ(draft.rows.size(), 4u);
    EXPECT_EQ(draft.rows[0].value, "#title#");
    EXPECT_EQ(draft.rows[1].value, "%CAT%");
    EXPECT_EQ(draft.rows[1].type, ControlType::ComboBox);
    EXPECT_EQ(draft.rows[2].value, "");
    EXPECT_EQ(draft.rows[2].type, ControlType::CheckBox);
    ASSERT_EQ(draft.variables.size(), 1u);
    EXPECT_EQ(draft.variables[0].name, "%CAT%");

    // Empty rows are not written; a variable no written value names is
    // dropped with its row.
    draft.rows[3].value = "#fname#";
    DirectoryRecord record = RecordOfDraft(draft);
    EXPECT_EQ(record.items,
        (std::vector<DirectoryItem> {{"title", ControlType::Edit, 0, "#title#"},
            {"cat", ControlType::ComboBox, 0, "%CAT%"},
            {"author", ControlType::Edit, 1, "#fname#"}}));
    EXPECT_EQ(record.variables.size(), 1u);
    draft.rows[1].value = "b";
    EXPECT_TRUE(RecordOfDraft(draft).variables.empty());
}

TEST(DirectoryDraft, ASavedDirectoryShowsItsOwnValuesAndKeepsItemsThePageLacks)
{
    DirectoryRecord saved;
    saved.name = "Mine";
    saved.submitUrl = "http://site.test/add";
    saved.onSubmit = "Thanks";
    saved.items = {{"gone", ControlType::Edit, 0, "#url#"},
        {"author", ControlType::Edit, 1, "#lname#"}, {"title", ControlType::Edit, 0, "T: #title#"}};

    const DirectoryDraft draft = DraftOfDirectory(saved, pageFields);
    EXPECT_EQ(draft.onSubmit, "Thanks");
    ASSERT_EQ(draft.rows.size(), 5u);
    EXPECT_EQ(draft.rows[0].value, "T: #title#");
    EXPECT_EQ(draft.rows[1].value, "") << "no new proposal for what the user left empty";
    EXPECT_EQ(draft.rows[3].value, "#lname#");
    EXPECT_FALSE(draft.rows[4].onPage);
    EXPECT_EQ(draft.rows[4].field.name, "gone");
    // Saved again unchanged, it writes the same items (in page order).
    EXPECT_EQ(RecordOfDraft(draft).items.size(), 3u);
}

} // namespace
