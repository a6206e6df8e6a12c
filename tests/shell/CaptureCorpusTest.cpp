// The directory capture on a corpus of invented submission forms
// (tests/data/capture-corpus), in the real browser: each form is listed by
// the form fields script, proposed as the directory dialog proposes it, and
// compared with what a careful person would write. Every proposal must
// also save as it stands and fill the page with nothing missing.

#include "ShellTestSupport.h"
#include "TestData.h"
#include "core/capture/DirectoryDraft.h"
#include "core/capture/FormFieldsScript.h"
#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/FillPlan.h"
#include "core/fill/PageScripts.h"
#include "core/profiles/Categories.h"
#include "shell/browser/ScriptResults.h"
#include "shell/capture/DirectoryDialog.h"
#include "support/SampleProfiles.h"

#include <QTableWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path corpus = fs::path(QUILLMARK_TEST_DATA_DIR) / "capture-corpus";

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(Trimmed(part));
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

// A form's answers file (see the corpus's README.md).
struct Answers
{
    std::map<std::pair<std::string, int>, std::string> fields;
    // list name -> category -> option value
    std::map<std::string, std::map<std::string, std::string>> picks;
    std::map<std::string, std::string> rest;
};

Answers ReadAnswers(const fs::path& path)
{
    Answers answers;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (Trimmed(line).empty() || Trimmed(line)[0] == '#')
            continue;
        const std::vector<std::string> parts = Split(line, '|');
        if (parts[0] == "field" && parts.size() == 4) {
            answers.fields[{parts[1], std::stoi(parts[2])}] = parts[3];
        } else if (parts[0] == "pick" && parts.size() == 4) {
            for (const std::string& category : Split(parts[3], ','))
                answers.picks[parts[1]][category] = parts[2];
        } else if (parts[0] == "rest" && parts.size() == 3) {
            answers.rest[parts[1]] = parts[2];
        } else {
            ADD_FAILURE() << path << ": a line of no known kind: " << line;
        }
    }
    return answers;
}

// What the variable gives a profile of `category`: its cond for the
// category, else its last cond when that names no category; "" for none.
std::string ChoiceFor(const VariableRecord& variable, const std::string& category)
{
    for (const CondRecord& cond : variable.conds) {
        if (cond.category == category)
            return cond.value;
    }
    const CondRecord* last = variable.conds.empty() ? nullptr : &variable.conds.back();
    return last && !last->category && !last->subcategory ? last->value : std::string();
}

struct Tally
{
    int right = 0;
    int total = 0;
    std::vector<std::string> misses;

    void Count(bool ok, const std::string& what)
    {
        ++total;
        right += ok ? 1 : 0;
        if (!ok)
            misses.push_back(what);
    }
    double Share() const { return total == 0 ? 0 : 100.0 * right / total; }
};

class CaptureCorpusTest : public ::testing::Test
{
protected:
    CaptureCorpusTest()
    {
        server.server.Get(R"(/([\w.-]+\.html))",
            [](const httplib::Request& request, httplib::Response& response) {
                std::ifstream in(corpus / request.matches[1].str(), std::ios::binary);
                std::ostringstream bytes;
                bytes << in.rdbuf();
                response.set_content(bytes.str(), "text/html; charset=utf-8");
            });
        server.Start();
        browser.resize(1000, 800);
        browser.show();
    }

    QVariant Run(const std::string& script)
    {
        std::optional<QVariant> result;
        browser.runScript(
            QString::fromStdString(script), [&result](const QVariant& value) { result = value; });
        EXPECT_TRUE(WaitFor([&] { return result.has_value(); }));
        return result.value_or(QVariant());
    }

    // Opens a form and waits for its frames.
    bool Open(const std::string& file)
    {
        browser.navigate(server.Url("/" + file));
        return WaitForPage(&browser, QString::fromStdString(file)) && WaitFor([&] {
            return RunScriptAndWait(&browser,
                QStringLiteral("Array.prototype.every.call(document.querySelectorAll('iframe'),"
                               " function (f) { return f.contentDocument &&"
                               " f.contentDocument.readyState === 'complete'; })"))
                .toBool();
        });
    }

    TestHttpServer server;
    BrowserView browser;
    TemporaryDirectory folder;
};

TEST_F(CaptureCorpusTest, ProposesWhatACarefulPersonWouldOnFormsOfEveryKind)
{
    std::vector<fs::path> forms;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() == ".answers")
            forms.push_back(entry.path());
    }
    std::sort(forms.begin(), forms.end());
    ASSERT_GE(forms.size(), 20u);

    Tally fields;
    Tally categories;
    for (const fs::path& answersPath : forms) {
        const std::string file = answersPath.stem().string() + ".html";
        SCOPED_TRACE(file);
        const Answers answers = ReadAnswers(answersPath);
        ASSERT_TRUE(Open(file));
        const std::vector<FormField> listed = FormFieldsFromScript(Run(FormFieldsScript()));
        const DirectoryDraft draft = ProposeDirectory(
            browser.title().toStdString(), browser.url().toString().toStdString(), listed);

        std::map<std::pair<std::string, int>, bool> answered;
        for (const DraftRow& row : draft.rows) {
            const auto key = std::make_pair(row.field.name, int(row.field.index));
            const auto answer = answers.fields.find(key);
            const std::string what = file + " " + row.field.name + " [" + row.field.label +
                "]: proposed \"" + row.value + "\"";
            if (answer == answers.fields.end()) {
                fields.Count(false, what + ", no answer for this field");
                continue;
            }
            answered[key] = true;
            const bool right = answer->second == "variable"
                ? !row.variable.empty() && row.value == row.variable
                : row.value == answer->second;
            fields.Count(right, what + ", wanted \"" + answer->second + "\"");

            const auto picks = answers.picks.find(row.field.name);
            if (picks == answers.picks.end())
                continue;
            const auto variable = std::find_if(
                draft.variables.begin(), draft.variables.end(), [&](const VariableRecord& v) {
                    return !row.variable.empty() && v.name == row.variable;
                });
            for (const char* category : profileCategories) {
                const auto pick = picks->second.find(category);
                const auto rest = answers.rest.find(row.field.name);
                const std::string wanted = pick != picks->second.end() ? pick->second
                    : rest != answers.rest.end()                       ? rest->second
                                                                       : std::string();
                const std::string chosen =
                    variable == draft.variables.end() ? "" : ChoiceFor(*variable, category);
                categories.Count(chosen == wanted,
                    file + " " + row.field.name + " " + category + ": \"" + chosen +
                        "\", wanted \"" + wanted + "\"");
            }
        }
        for (const auto& [key, value] : answers.fields) {
            if (!answered.count(key))
                fields.Count(
                    false, file + " " + key.first + ": not listed, wanted \"" + value + "\"");
        }

        // The proposal saves as it stands, and fills the page with every
        // item it names found there.
        const std::string path = folder.FilePath("mydirdata.xml");
        const Result saved = SaveUserDirectory(path, RecordOfDraft(draft));
        ASSERT_TRUE(saved) << saved.Reason();
        MessageLog log;
        DirectoryDatabase database(log);
        database.SetDatabasePath(folder.Write("dirdata.xml", "<r/>"));
        database.SetUserDatabasePath(path);
        ASSERT_TRUE(database.LoadDatabase());
        const std::vector<FillStep> plan = BuildFillPlan(database, draft.name, SampleProfile());
        EXPECT_EQ(plan.size(), RecordOfDraft(draft).items.size());
        const QVariantMap report = Run(FillScript(plan)).toMap();
        EXPECT_TRUE(report["missing"].toList().isEmpty())
            << report["missing"].toStringList().join(',').toStdString();
        EXPECT_EQ(report["written"].toInt(), int(plan.size()));
        // An editor with neither name nor id, in the page or in a frame,
        // got the article.
        if (answers.fields.count({"unnamed editor", 0})) {
            EXPECT_EQ(RunScriptAndWait(&browser,
                          QStringLiteral("var f = document.querySelector('iframe');"
                                         "(f ? f.contentDocument.body : document.querySelector("
                                         "'[contenteditable]')).innerText.trim()"))
                          .toString()
                          .toStdString(),
                "Herbs like shade.\n\nMint spreads fast.");
        }
        EXPECT_TRUE(RemoveUserDirectory(path, draft.name));
    }

    std::cout << "Capture corpus of " << forms.size() << " forms: fields proposed right "
              << fields.right << " of " << fields.total << " (" << fields.Share()
              << "%); profile categories chosen right " << categories.right << " of "
              << categories.total << " (" << categories.Share() << "%)\n";
    for (const std::string& miss : fields.misses)
        std::cout << "  field: " << miss << '\n';
    for (const std::string& miss : categories.misses)
        std::cout << "  category: " << miss << '\n';
    EXPECT_GE(fields.Share(), 95.0);
    EXPECT_GE(categories.Share(), 85.0);
}

// The name proposed for a page is one the dialog's Save accepts as it
// stands, whatever the page's title.
TEST_F(CaptureCorpusTest, EveryProposedNameSaves)
{
    for (const std::string& title : std::vector<std::string> {"Register [Site Wiki]",
             "[Draft] Submit", "", "  a \n [b] [c", std::string(300, 'x') + " [y]"}) {
        SCOPED_TRACE(title);
        DirectoryDraft draft = ProposeDirectory(title, server.Url("/01-table-directory.html"), {});
        const Result saved =
            SaveUserDirectory(folder.FilePath("mydirdata.xml"), RecordOfDraft(draft));
        EXPECT_TRUE(saved) << draft.name << ": " << saved.Reason();
    }
    EXPECT_EQ(
        ProposeDirectory("Register [Site Wiki]", "http://x/", {}).name, "Register - Site Wiki");
}

// A value longer than a field's maxlength is cut to fit at a sentence's
// end, else at a blank; a field without a limit takes it whole.
TEST_F(CaptureCorpusTest, TextLongerThanAFieldAllowsIsCutAtASentenceEnd)
{
    ASSERT_TRUE(Open("04-rails-guest-posts.html"));
    const std::string sentences =
        std::string(120, 'a') + ". " + std::string(60, 'b') + "! " + std::string(60, 'c') + ".";
    const std::string words = "word " + std::string(300, 'w');
    const QVariantMap report = Run(
        FillScript({{"article[summary]", 0, sentences}, {"article[body]", 0, sentences},
            {"article[title]", 0,
                words}})).toMap();
    EXPECT_EQ(report["written"].toInt(), 3);
    RunScriptAndWait(
        &browser, QStringLiteral("document.getElementById('article_title').maxLength = 10; 0"));
    Run(FillScript({{"article[title]", 0, words}}));
    EXPECT_EQ(
        RunScriptAndWait(&browser,
            QStringLiteral("['article_summary', 'article_body', 'article_title'].map("
                           "function (id) { return document.getElementById(id).value.length; })"
                           ".join()"))
            .toString()
            .toStdString(),
        "183,245,4");
}

// The dialog shows what each proposed value means, greys a field no person
// sees, and its Save takes the proposal as it stands.
TEST_F(CaptureCorpusTest, TheDialogSaysWhatEachValueMeansAndSavesTheProposal)
{
    ASSERT_TRUE(Open("03-cakephp-directory.html"));
    const std::vector<FormField> listed = FormFieldsFromScript(Run(FormFieldsScript()));
    DirectoryDraft draft = ProposeDirectory(
        browser.title().toStdString(), browser.url().toString().toStdString(), listed);
    draft.rows.push_back({{"Hidden", "trap", 0, FieldKind::Text, {}, "off-screen"}, true,
        ControlType::Edit, "", ""});
    const std::string path = folder.FilePath("mydirdata.xml");
    int saves = 0;
    DirectoryDialog dialog(draft, false, [&](const DirectoryDraft& edited) {
        ++saves;
        return SaveUserDirectory(path, RecordOfDraft(edited));
    });
    QTableWidget* table = dialog.fieldTable();
    QStringList meanings;
    for (int row = 0; row < table->rowCount(); ++row)
        meanings << table->item(row, 1)->text() + QStringLiteral(": ") +
                table->item(row, 5)->text();
    EXPECT_EQ(meanings.join(QLatin1Char('\n')).toStdString(),
        "data[Article][title]: #title# — article title\n"
        "data[Article][author_name]: #author# — author's name\n"
        "data[Article][category_id]: left alone\n"
        "data[Article][summary]: #summary# — summary\n"
        "data[Article][body]: #desc# — article\n"
        "data[Article][tags]: #tags# — tags\n"
        "data[Article][newsletter]: left alone\n"
        "trap: left alone");
    // The category list left to the user still tells what its variable
    // would choose, and which categories nothing fits.
    const std::string picks = dialog.valueBox(2)->toolTip().toStdString();
    EXPECT_NE(
        picks.find("Health: Biotechnology and Pharmaceuticals, Healthcare"), std::string::npos)
        << picks;
    EXPECT_NE(picks.find("nothing fits, choose an option yourself: Aerospace"), std::string::npos);
    const int trap = table->rowCount() - 1;
    EXPECT_NE(table->item(trap, 3)->toolTip().indexOf(QStringLiteral("off-screen")), -1);
    EXPECT_NE(table->item(trap, 3)->foreground(), table->item(0, 3)->foreground());

    dialog.valueBox(0)->setCurrentText(QStringLiteral("#keywords# by #author#"));
    EXPECT_EQ(table->item(0, 5)->text().toStdString(),
        "#keywords# — author info, #author# — author's name");
    dialog.valueBox(0)->setCurrentText(QStringLiteral("#title#"));
    dialog.accept();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ReadUserDirectory(path, "Add Article - ArticleBase Wiki").value().items.size(), 5u);
}

} // namespace
