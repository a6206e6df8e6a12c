// The form fields script in the real browser: what it lists of a page with
// labels of every kind, a frame and a shadow root, and that the fill finds
// each listed field by the name and index given.

#include "ShellTestSupport.h"
#include "core/capture/FormFieldsScript.h"
#include "core/fill/FillPlan.h"
#include "core/fill/PageScripts.h"
#include "shell/browser/ScriptResults.h"
#include "support/TestHttpServer.h"

#include <sstream>

namespace {

const char* const formPage = R"(<form action="/post" method="post">
<label for="t">Article Title</label><input id="t" name="title">
<label>Your <b>E-mail</b> <input type="email" name="mail"></label>
<div id="note">a note</div><input name="note" aria-label="Note">
<textarea name="body" placeholder="Paste your article here"></textarea>
<label>Category
  <select name="cat"><option value="">Choose</option><option value="12">Business</option>
  <option>Other  one</option></select></label>
<fieldset><legend>Size</legend>
  <label><input type="radio" name="size" value="s"> Small</label>
  <label><input type="radio" name="size" value="l"> Large</label></fieldset>
<input type="password" name="pw">
<input type="checkbox" name="agree" id="agree"><label for="agree">I accept the terms</label>
<input type="hidden" name="token" value="x"><input type="submit" name="go">
<input name="tag"><input name="tag">
<div id="story" contenteditable="true"><p>old</p></div>
<input placeholder="nameless">
<iframe id="pad" src="/pad"></iframe>
<iframe src="/inner"></iframe>
<div id="host"></div>
<button>Send</button>
</form>
<script>
var root = document.getElementById('host').attachShadow({mode: 'open'});
root.innerHTML = '<label for="w">Web site</label><input id="w"><input name="tag">';
</script>)";

const char* const innerPage =
    R"(<form><label>Vorname <input name="fname"></label><input name="tag"></form>)";

const char* const padPage = R"(<html><body contenteditable="true"></body></html>)";

// Fields of every kind, named alike across the page, a frame and a shadow
// root, ids equal to other fields' names, and a hidden input counted among
// its name. Each field's data-expect says what a fill of every listed field
// with "<name>#<index>" leaves in it: radios and check boxes "checked" or
// "unchecked", an editor its text.
const char* const equalNamesPage = R"(<form action="/post" method="post">
<input name="tag" data-expect="tag#0">
<input type="email" id="tag" data-expect="tag#1">
<input name="other" id="tag" data-expect="other#0">
<textarea name="body" data-expect="body#0"></textarea>
<select name="cat" data-expect="cat#0"><option value="">-</option>
  <option value="cat#0">A</option><option value="cat#1">B</option><option value="cat#2">C</option>
</select>
<input type="radio" name="size" value="size#0" data-expect="checked">
<input type="radio" name="size" value="size#1" data-expect="unchecked">
<input type="checkbox" name="agree" data-expect="checked">
<input type="password" name="pw" data-expect="pw#0">
<div id="story" contenteditable="true" data-expect="story#0"><p>old</p></div>
<iframe id="pad" src="/pad" data-expect="pad#0"></iframe>
<iframe src="/equal-inner"></iframe>
<div id="host"></div>
</form>
<script>
document.getElementById('host').attachShadow({mode: 'open'}).innerHTML =
    '<input name="tag" data-expect="tag#5">' +
    '<select name="cat" data-expect="cat#2"><option value="cat#0">A</option>' +
    '<option value="cat#1">B</option><option value="cat#2">C</option></select>' +
    '<input type="radio" name="size" value="size#4" data-expect="checked">' +
    '<input type="radio" name="size" value="size#5" data-expect="unchecked">' +
    '<div id="story" contenteditable="true" data-expect="story#1"></div>';
</script>)";

const char* const equalNamesInnerPage = R"(<form>
<input type="hidden" name="tag" value="keep" data-expect="keep">
<input name="tag" data-expect="tag#4">
<textarea name="body" data-expect="body#1"></textarea>
<select name="cat" data-expect="cat#1"><option value="cat#0">A</option>
  <option value="cat#1">B</option><option value="cat#2">C</option></select>
<input type="radio" name="size" value="size#3" data-expect="unchecked">
<input type="radio" name="size" value="size#2" data-expect="checked">
<input type="checkbox" name="agree" data-expect="checked">
</form>)";

// What the page holds against what its fields expect, in the page, its
// second frame and its shadow root: the fields that differ, as
// "<expected> got <found>", and how many were looked at.
const char* const expectationsScript = R"((function () {
    var wrong = [];
    var looked = 0;
    function check(root) {
        root.querySelectorAll('[data-expect]').forEach(function (e) {
            var want = e.getAttribute('data-expect');
            var got = e.type === 'checkbox' || e.type === 'radio' ?
                (e.checked ? 'checked' : 'unchecked') :
                e.localName === 'iframe' ? e.contentDocument.body.textContent :
                'value' in e ? e.value : e.textContent;
            ++looked;
            if (got !== want)
                wrong.push(want + ' got ' + got);
        });
    }
    check(document);
    check(document.querySelectorAll('iframe')[1].contentDocument);
    check(document.getElementById('host').shadowRoot);
    return looked + ' fields; ' + wrong.join(', ');
})())";

std::string Describe(const std::vector<FormField>& fields)
{
    const char* const kinds[] = {
        "text", "textarea", "password", "email", "select", "checkbox", "radio", "editor"};
    std::ostringstream out;
    for (const FormField& field : fields) {
        out << field.label << '|' << field.name << '|' << field.index << '|'
            << kinds[static_cast<int>(field.kind)];
        for (const FieldOption& option : field.options)
            out << '|' << option.value << '=' << option.text;
        out << '\n';
    }
    return out.str();
}

class FormFieldsTest : public ::testing::Test
{
protected:
    FormFieldsTest()
    {
        server.Page("/form", formPage);
        server.Page("/inner", innerPage);
        server.Page("/pad", padPage);
        server.Page("/equal", equalNamesPage);
        server.Page("/equal-inner", equalNamesInnerPage);
        server.Start();
        browser.resize(800, 600);
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

    TestHttpServer server;
    BrowserView browser;
};

TEST_F(FormFieldsTest, ListsEveryFieldTheFillReachesInItsOrder)
{
    browser.navigate(server.Url("/form"));
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/form")));
    // The frames load on their own.
    ASSERT_TRUE(WaitFor([&] {
        return RunScriptAndWait(&browser,
            QStringLiteral("var f = document.querySelectorAll('iframe');"
                           "!!(f[0].contentDocument.body && f[1].contentDocument.forms[0])"))
            .toBool();
    }));

    const std::vector<FormField> fields = FormFieldsFromScript(Run(FormFieldsScript()));
    EXPECT_EQ(Describe(fields),
        "Article Title|title|0|text\n"
        "Your E-mail|mail|0|email\n"
        "Note|note|1|text\n"
        "Paste your article here|body|0|textarea\n"
        "Category|cat|0|select|=Choose|12=Business|Other one=Other one\n"
        "Size|size|0|radio|s=Small|l=Large\n"
        "|pw|0|password\n"
        "I accept the terms|agree|0|checkbox\n"
        "|tag|0|text\n"
        "|tag|1|text\n"
        "|story|0|editor\n"
        "|pad|0|editor\n"
        "Vorname|fname|0|text\n"
        "|tag|2|text\n"
        "Web site|w|0|text\n"
        "|tag|3|text\n");

    // The fill finds each listed text field at the name and index given.
    std::vector<FillStep> plan;
    for (const FormField& field : fields) {
        if (field.kind == FieldKind::Text)
            plan.push_back({field.name, field.index, field.name + std::to_string(field.index)});
    }
    const QVariantMap report = Run(FillScript(plan)).toMap();
    EXPECT_EQ(report["written"].toInt(), static_cast<int>(plan.size()));
    EXPECT_TRUE(report["missing"].toList().isEmpty());
    EXPECT_EQ(RunScriptAndWait(&browser,
                  QStringLiteral("var d = document, i = d.querySelectorAll('iframe')[1];"
                                 "[d.querySelector('[name=note]').value,"
                                 " d.querySelectorAll('[name=tag]')[1].value,"
                                 " i.contentDocument.querySelector('[name=tag]').value,"
                                 " d.getElementById('host').shadowRoot.lastChild.value].join()"))
                  .toString(),
        QStringLiteral("note1,tag1,tag2,tag3"));
}

// Every field listed, of every kind, is the one the fill writes when given
// the name and index listed, wherever equal names and ids stand.
TEST_F(FormFieldsTest, FillWritesEveryListedFieldByItsListedNameAndIndex)
{
    browser.navigate(server.Url("/equal"));
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/equal")));
    ASSERT_TRUE(WaitFor([&] {
        return RunScriptAndWait(&browser,
            QStringLiteral("var f = document.querySelectorAll('iframe');"
                           "!!(f[0].contentDocument.body && f[1].contentDocument.forms[0])"))
            .toBool();
    }));

    const std::vector<FormField> fields = FormFieldsFromScript(Run(FormFieldsScript()));
    ASSERT_EQ(fields.size(), 19u) << Describe(fields);
    std::vector<FillStep> plan;
    for (const FormField& field : fields) {
        plan.push_back({field.name, field.index, field.name + '#' + std::to_string(field.index),
            ControlTypeOf(field.kind)});
    }
    const QVariantMap report = Run(FillScript(plan)).toMap();
    EXPECT_EQ(report["written"].toInt(), 19);
    EXPECT_TRUE(report["missing"].toList().isEmpty());
    // Every field with an expectation was looked at, and none differs.
    EXPECT_EQ(
        RunScriptAndWait(&browser, QString::fromUtf8(expectationsScript)).toString().toStdString(),
        "23 fields; ");
}

} // namespace
