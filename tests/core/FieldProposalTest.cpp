#include "core/capture/FieldProposal.h"

#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/profiles/Categories.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const FieldKind text = FieldKind::Text;
const FieldKind area = FieldKind::TextArea;
const FieldKind editor = FieldKind::Editor;
const FieldKind box = FieldKind::CheckBox;

struct Row
{
    std::string label;
    std::string name;
    FieldKind kind;
    std::string expected;
};

struct Form
{
    const char* shape;
    std::vector<Row> rows;
};

// Forms as real directories show them, each row a field as the form fields
// script reads it and what should be written there.
const std::vector<Form> forms = {
    {"plain names, no labels",
        {{"", "title", text, "#title#"}, {"", "body", area, "#desc#"},
            {"", "email", text, "#email#"}, {"", "url", text, "#url#"}, {"", "author", text, ""},
            {"", "agree", box, "1"}, {"", "phone", text, ""}}},
    {"camel case and underscores",
        {{"", "firstName", text, "#fname#"}, {"", "last_name", text, "#lname#"},
            {"", "txtEmail", text, "#email#"}, {"", "articleTitle", text, "#title#"},
            {"", "authorBio", area, "#keywords#"}, {"", "siteURL", text, "#url#"},
            {"", "user_pwd", text, "#password#"}}},
    {"labels by for, codes as names",
        {{"Your E-mail", "f1", text, "#email#"}, {"Article Title", "f2", text, "#title#"},
            {"Article Body", "f3", area, "#desc#"}, {"Author Bio", "f4", area, "#keywords#"},
            {"Web Site", "f5", text, "#url#"}, {"Company", "f6", text, ""}}},
    {"wrapping labels",
        {{" First  Name: ", "a", text, "#fname#"}, {"Last Name *", "b", text, "#lname#"},
            {"Subject", "c", text, "#title#"}, {"Description", "d", area, "#desc#"},
            {"I agree to the Terms of Service", "e", box, "1"},
            {"Subscribe to our newsletter", "f", box, ""}}},
    {"placeholders instead of labels",
        {{"Enter your e-mail address", "q1", text, "#email#"},
            {"Headline of your article", "q2", text, "#title#"},
            {"Paste your article here", "q3", area, "#desc#"},
            {"Link to your site", "q4", text, "#url#"},
            {"Tell readers about yourself", "q5", area, "#keywords#"}}},
    {"German labels",
        {{"E-Mail-Adresse", "feld1", text, "#email#"}, {"Kennwort", "feld2", text, "#password#"},
            {"Passwort wiederholen", "feld3", text, "#password#"},
            {"Vorname", "feld4", text, "#fname#"}, {"Nachname", "feld5", text, "#lname#"},
            {"Titel", "feld6", text, "#title#"}, {"Artikel", "feld7", area, "#desc#"},
            {"\xC3\x9C"
             "ber mich",
                "feld8", area, "#keywords#"},
            {"Webseite", "feld9", text, "#url#"}, {"Benutzername", "feld10", text, ""},
            {"Ich akzeptiere die AGB", "feld11", box, "1"}}},
    {"French labels",
        {{"Pr\xC3\xA9nom", "champ1", text, "#fname#"}, {"Nom", "champ2", text, "#lname#"},
            {"Mot de passe", "champ3", text, "#password#"}, {"Courriel", "champ4", text, "#email#"},
            {"Titre", "champ5", text, "#title#"},
            {"Contenu de l'article", "champ6", area, "#desc#"},
            {"Nom d'utilisateur", "champ7", text, ""},
            {"J'accepte les conditions", "champ8", box, "1"},
            {"J\xE2\x80\x99"
             "accepte le r\xC3\xA8glement",
                "champ9", box, "1"},
            {"PR\xC3\x89NOM", "champ10", text, "#fname#"}}},
    {"rich-text editors",
        {{"", "content", editor, "#desc#"}, {"About the author", "bio_ed", editor, "#keywords#"},
            {"", "mce_0", editor, ""}}},
    {"kinds that speak for themselves",
        {{"Contact", "c1", FieldKind::Email, "#email#"},
            {"Confirm", "c2", FieldKind::Password, "#password#"}}},
    {"fields no profile value answers",
        {{"Phone", "tel", text, ""}, {"Country", "country", FieldKind::Select, ""},
            {"Description", "short", text, ""}, {"Security code", "captcha", text, ""},
            {"Login", "login", text, ""}}},
};

TEST(FieldProposalTest, FormsOfManyShapes)
{
    for (const Form& form : forms) {
        SCOPED_TRACE(form.shape);
        for (const Row& row : form.rows) {
            SCOPED_TRACE(row.label + " / " + row.name);
            const FieldProposal proposal =
                ProposeFieldValue({row.label, row.name, 0, row.kind, {}}, "CATEGORY");
            EXPECT_EQ(proposal.value, row.expected);
            EXPECT_FALSE(proposal.variable);
        }
    }
}

// The cond value each category is given.
std::string ValueFor(const VariableRecord& variable, const std::string& category)
{
    for (const CondRecord& cond : variable.conds) {
        if (cond.category == category)
            return cond.value;
    }
    return "(none)";
}

TEST(FieldProposalTest, CategoryListsMapEveryCategoryToTheClosestOption)
{
    struct Case
    {
        const char* shape;
        FormField field;
        std::vector<std::pair<std::string, std::string>> expected; // category, value
        std::string otherwise;
    };
    const std::vector<Case> cases = {
        {"codes as values, an empty first choice",
            {"Category", "cat_id", 0, FieldKind::Select,
                {{"", "-- Choose --"}, {"12", "Business"}, {"13", "Health & Fitness"},
                    {"14", "Computers and Technology"}, {"15", "Other"}}},
            {{"Business", "12"}, {"Small Business", "12"}, {"Information Technology", "14"},
                {"Accounting", "15"}, {"Healthcare", "13"}},
            "15"},
        {"German, the catch-all named in German",
            {"Kategorie", "k", 0, FieldKind::Select,
                {{"biz", "Wirtschaft"}, {"it", "Information Technology"}, {"re", "Real Estate"},
                    {"misc", "Sonstiges"}}},
            {{"Information Technology", "it"}, {"Real Estate", "re"}, {"Arts", "misc"}}, "misc"},
        {"no catch-all: the first usable option",
            {"", "topic", 0, FieldKind::Select,
                {{"", "Pick one"}, {"a", "Arts & Entertainment"}, {"f", "Finance"}}},
            {{"Arts", "a"}, {"Entertainment", "a"}, {"Financial Services", "a"}}, "a"},
        {"plural words and a radio group",
            {"Rubrique", "r", 0, FieldKind::Radio,
                {{"assoc", "Association"}, {"serv", "Business Service"}, {"autre", "Autres"}}},
            {{"Associations", "assoc"}, {"Business Services", "serv"},
                {"Mining and Drilling", "autre"}},
            "autre"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        const FieldProposal proposal = ProposeFieldValue(c.field, "%CAT%");
        EXPECT_EQ(proposal.value, "%CAT%");
        ASSERT_TRUE(proposal.variable);
        EXPECT_EQ(proposal.variable->name, "%CAT%");
        ASSERT_EQ(proposal.variable->conds.size(), profileCategories.size() + 1);
        for (const auto& [category, value] : c.expected)
            EXPECT_EQ(ValueFor(*proposal.variable, category), value) << category;
        const CondRecord& last = proposal.variable->conds.back();
        EXPECT_FALSE(last.category);
        EXPECT_FALSE(last.subcategory);
        EXPECT_EQ(last.value, c.otherwise);
    }

    // A category list whose options all send nothing gets no proposal.
    EXPECT_EQ(
        ProposeFieldValue({"Category", "c", 0, FieldKind::Select, {{"", "None yet"}}}, "X").value,
        "");
}

TEST(FieldProposalTest, ProposalsSavedAsADirectoryFillAsMeant)
{
    const std::vector<FormField> fields = {
        {"Titel", "t", 0, FieldKind::Text, {}},
        {"Category", "c", 1, FieldKind::Select, {{"7", "Real Estate"}, {"9", "Other"}}},
        {"I agree", "ok", 0, FieldKind::CheckBox, {}},
        {"Phone", "p", 0, FieldKind::Text, {}},
    };
    DirectoryRecord record {"Captured", "http://127.0.0.1/form", "Thanks", {}, {}};
    for (const FormField& field : fields) {
        FieldProposal proposal = ProposeFieldValue(field, "%CAT%");
        if (proposal.value.empty())
            continue;
        record.items.push_back(
            {field.name, ControlTypeOf(field.kind), field.index, proposal.value});
        if (proposal.variable)
            record.variables.push_back(*proposal.variable);
    }

    TemporaryDirectory folder;
    const std::string path = folder.FilePath("mydirdata.xml");
    const Result saved = SaveUserDirectory(path, record);
    ASSERT_TRUE(saved) << saved.Reason();
    MessageLog log;
    DirectoryDatabase database(log);
    database.SetDatabasePath(folder.Write("dirdata.xml", "<r/>"));
    database.SetUserDatabasePath(path);
    ASSERT_TRUE(database.LoadDatabase());
    for (const auto& [category, value] : std::vector<std::pair<std::string, std::string>> {
             {"Real Estate", "7"}, {"Arts", "9"}, {"Something typed", "9"}}) {
        std::vector<DirectoryItem> items;
        database.GetDirectoryItems("Captured", category, "", items);
        const std::vector<DirectoryItem> expected = {{"t", ControlType::Edit, 0, "#title#"},
            {"c", ControlType::ComboBox, 1, value}, {"ok", ControlType::CheckBox, 0, "1"}};
        EXPECT_EQ(items, expected) << category;
    }
    EXPECT_TRUE(log.messages.empty());
}

} // namespace
