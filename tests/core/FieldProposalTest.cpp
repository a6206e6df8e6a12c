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
            {"", "email", text, "#email#"}, {"", "url", text, "#url#"},
            {"", "author", text, "#author#"}, {"", "agree", box, "1"}, {"", "phone", text, ""}}},
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
    {"framework names and short names",
        {{"", "ctl00$ContentPlaceHolder1$txtSummary", area, "#summary#"},
            {"", "ctl00$ContentPlaceHolder1$txtTitle", text, "#title#"},
            {"", "ctl00$ContentPlaceHolder1$txtContent", area, "#desc#"},
            {"", "data[Article][summary]", area, "#summary#"},
            {"", "data[Article][title]", text, "#title#"}, {"", "article[body]", area, "#desc#"},
            {"", "ttl", text, "#title#"}, {"", "hl", text, "#title#"}, {"", "txt", area, "#desc#"},
            {"", "bb", area, "#desc#"}, {"", "lnk", text, "#url#"},
            {"", "tbKeywords", text, "#tags#"}}},
    {"the author, the summary and the tags",
        {{"Name", "author", text, "#author#"}, {"Pen name", "p1", text, "#author#"},
            {"Display name", "p2", text, "#author#"}, {"Author first name", "p3", text, "#fname#"},
            {"Short description", "p4", area, "#summary#"}, {"Keywords", "p5", text, "#tags#"},
            {"Author website", "p6", text, "#url#"}, {"About the author", "p7", area, "#keywords#"},
            {"Company name", "p8", text, ""}}},
    {"Spanish labels and German compounds",
        {{"Nombre", "s1", text, "#fname#"}, {"Apellidos", "s2", text, "#lname#"},
            {"Correo electr\xC3\xB3nico", "s3", text, "#email#"},
            {"T\xC3\xADtulo del art\xC3\xAD"
             "culo",
                "s4", text, "#title#"},
            {"Resumen", "s5", area, "#summary#"}, {"Contenido", "s6", area, "#desc#"},
            {"Sobre el autor", "s7", area, "#keywords#"},
            {"Nombre del autor", "s8", text, "#author#"}, {"Etiquetas", "s9", text, "#tags#"},
            {"Sitio web", "s10", text, "#url#"}, {"Artikeltext", "d1", area, "#desc#"},
            {"Autorenbeschreibung", "d2", area, "#keywords#"},
            {"\xC3\x9C"
             "ber den Autor",
                "d3", area, "#keywords#"}}},
    {"check boxes a careful person ticks or leaves",
        {{"I confirm this article is my own original work", "b1", box, "1"},
            {"I have read the submission guidelines", "b2", box, "1"},
            {"I consent to the privacy policy", "b3", box, "1"},
            {"Save my name, email, and website in this browser for the next time I comment", "b4",
                box, ""},
            {"Remember me", "b5", box, ""},
            {"I agree to receive marketing offers from partners", "b6", box, ""},
            {"Acepto los t\xC3\xA9rminos y condiciones", "b7", box, "1"},
            {"Newsletter abonnieren", "b8", box, ""}}},
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
                ProposeFieldValue({row.label, row.name, 0, row.kind, {}, ""}, "CATEGORY");
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
                    {"14", "Computers and Technology"}, {"15", "Other"}},
                ""},
            {{"Business", "12"}, {"Small Business", "12"}, {"Information Technology", "14"},
                {"Accounting", "12"}, {"Chemicals", "15"}, {"Healthcare", "13"}},
            "15"},
        {"German, the catch-all named in German",
            {"Kategorie", "k", 0, FieldKind::Select,
                {{"biz", "Wirtschaft"}, {"it", "Information Technology"}, {"re", "Real Estate"},
                    {"misc", "Sonstiges"}},
                ""},
            {{"Information Technology", "it"}, {"Real Estate", "re"}, {"Arts", "misc"}}, "misc"},
        {"Spanish options, codes and a prompt with a code",
            {"Categor\xC3\xAD"
             "a",
                "cat", 0, FieldKind::Select,
                {{"-1", "-- Seleccione --"}, {"3", "Negocios"}, {"4", "Salud y bienestar"},
                    {"5", "Inform\xC3\xA1tica"}, {"6", "Finanzas"}, {"9", "Otros"}},
                ""},
            {{"Business", "3"}, {"Healthcare", "4"}, {"Information Technology", "5"},
                {"Financial Services", "6"}, {"Mining and Drilling", "9"}},
            "9"},
        {"near words, the prompt in the name's list",
            {"Industry", "industry", 0, FieldKind::Select,
                {{"0", "Please select"}, {"fin", "Finance"}, {"comp", "Computers"},
                    {"misc", "Miscellaneous"}},
                ""},
            {{"Financial Services", "fin"}, {"Information Technology", "comp"}, {"Arts", "misc"}},
            "misc"},
        {"plural words and a radio group",
            {"Rubrique", "r", 0, FieldKind::Radio,
                {{"assoc", "Association"}, {"serv", "Business Service"}, {"autre", "Autres"}}, ""},
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
        ProposeFieldValue({"Category", "c", 0, FieldKind::Select, {{"", "None yet"}}, ""}, "X")
            .value,
        "");
}

// Lists where some category fits nothing and no option takes the rest are
// left for the user, their variable offered without a guess; a list with no
// label is known by a first option asking for a category; a subcategory list
// is keyed on the subcategory.
TEST(FieldProposalTest, ListsTheUserChoosesForAndListsKnownByTheirOptions)
{
    const FieldProposal open = ProposeFieldValue(
        {"", "topic", 0, FieldKind::Select,
            {{"", "Pick one"}, {"a", "Arts & Entertainment"}, {"f", "Finance"}}, ""},
        "%T%");
    EXPECT_EQ(open.value, "");
    ASSERT_TRUE(open.variable);
    EXPECT_EQ(ValueFor(*open.variable, "Arts"), "a");
    EXPECT_EQ(ValueFor(*open.variable, "Financial Services"), "f");
    EXPECT_EQ(ValueFor(*open.variable, "Chemicals"), "(none)");
    EXPECT_TRUE(open.variable->conds.back().category) << "no catch-all guessed";

    const FieldProposal unlabelled = ProposeFieldValue(
        {"", "x1", 0, FieldKind::Select,
            {{"", "Select a category\xE2\x80\xA6"}, {"7", "Real Estate"}, {"8", "Other"}}, ""},
        "%X1%");
    EXPECT_EQ(unlabelled.value, "%X1%");
    ASSERT_TRUE(unlabelled.variable);
    EXPECT_EQ(ValueFor(*unlabelled.variable, "Real Estate"), "7");

    const FieldProposal sub =
        ProposeFieldValue({"Subcategory", "sub_cat", 0, FieldKind::Select,
                              {{"", "--"}, {"21", "Gardening"}, {"29", "Other"}}, ""},
            "%SUB%");
    EXPECT_EQ(sub.value, "%SUB%");
    ASSERT_TRUE(sub.variable);
    ASSERT_EQ(sub.variable->conds.size(), 3u);
    EXPECT_EQ(sub.variable->conds[0].subcategory, "Gardening");
    EXPECT_FALSE(sub.variable->conds[0].category);
    EXPECT_EQ(sub.variable->conds.back().value, "29");

    // A field a person cannot see is never proposed, whatever it says.
    EXPECT_EQ(
        ProposeFieldValue({"Website", "url", 0, FieldKind::Text, {}, "off-screen"}, "X").value, "");
}

TEST(FieldProposalTest, ProposalsSavedAsADirectoryFillAsMeant)
{
    const std::vector<FormField> fields = {
        {"Titel", "t", 0, FieldKind::Text, {}, ""},
        {"Category", "c", 1, FieldKind::Select, {{"7", "Real Estate"}, {"9", "Other"}}, ""},
        {"I agree", "ok", 0, FieldKind::CheckBox, {}, ""},
        {"Phone", "p", 0, FieldKind::Text, {}, ""},
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
