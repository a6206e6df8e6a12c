// The fill script in the real browser, on the kinds of fields real forms
// hold: choices, check boxes, rich-text editors, frames and shadow roots.
// Each page's form is submitted with its own button, and what the server
// receives is what counts.

#include "ShellTestSupport.h"
#include "core/fill/FillPlan.h"
#include "core/fill/FormSubmitSink.h"
#include "core/fill/PageScripts.h"
#include "support/TestHttpServer.h"

#include <QVariantMap>

#include <map>
#include <mutex>

namespace {

class CountingSink : public FormSubmitSink
{
public:
    void OnFormSubmit() override { ++count; }
    int count = 0;
};

const ControlType edit = ControlType::Edit;
const ControlType comboBox = ControlType::ComboBox;
const ControlType checkBox = ControlType::CheckBox;

// Every page logs the input and change events it sees, by target.
const char* const eventLog = R"(<script>
var seen = [];
['input', 'change'].forEach(function (type) {
    document.addEventListener(type, function (e) {
        seen.push(type + ':' + (e.target.name || e.target.id));
    });
});
</script>)";

// Its form holds controls named like the DOM methods the fill calls.
const char* const choicesPage = R"(<form action="/post" method="post">
<select name="topic">
  <option value="g">Garden</option>
  <option value="h"> Home
      and  Living </option>
  <option value="Garden">Other</option>
  <option value="z" selected>Unsorted</option>
</select>
<select name="tags" multiple>
  <option value="a" selected>Alpha</option><option value="b">Beta</option><option>Gamma</option>
</select>
<label><input type="radio" name="size" value="s"> Small </label>
<input type="radio" name="size" value="m" id="medium"><label for="medium">Medium Size</label>
<input type="radio" name="size" value="l" id="large" checked><label for="large">Large</label>
<input type="radio" name="other" value="m">
<input name="note">
<input type="hidden" name="id"><input type="hidden" name="getAttribute">
<input type="hidden" name="closest"><input type="hidden" name="querySelectorAll">
<button>Send</button>
</form>)";

const char* const checksPage = R"(<form action="/post" method="post">
<input type="checkbox" name="agree" value="yes-please">
<input type="checkbox" name="news" checked>
<input name="note" value="keep">
<button>Send</button>
</form>)";

// Editable regions of every kind. The page copies each region's HTML into a
// field of its own on submit, as editors do.
const char* const richPage = R"(<form id="f" action="/post" method="post">
<div id="story" contenteditable="true"><b>old</b></div>
<div id="box"><div>B I U</div><div id="boxed" contenteditable="true"></div></div>
<div id="two"><div contenteditable="true"></div><div contenteditable="true"></div></div>
<span id="line" contenteditable="true"></span>
<iframe id="pad" src="/pad"></iframe>
<iframe id="design" src="/design"></iframe>
<textarea name="hidden" style="display:none"></textarea>
<div><div id="beside" contenteditable="true"></div></div>
<textarea name="shown"></textarea>
<div id="unrelated" contenteditable="true"></div>
<button>Send</button>
</form>
<script>
document.getElementById('f').addEventListener('submit', function () {
    var ids = ['story', 'boxed', 'two', 'line', 'beside', 'unrelated', 'pad', 'design'];
    for (var i = 0; i < ids.length; ++i) {
        var region = document.getElementById(ids[i]);
        var field = document.createElement('input');
        field.type = 'hidden';
        field.name = ids[i] + '-html';
        field.value = (region.contentDocument ? region.contentDocument.body : region).innerHTML;
        this.appendChild(field);
    }
});
</script>)";

class FillKindsTest : public ::testing::Test
{
protected:
    FillKindsTest()
    {
        server.server.Post(
            "/post", [this](const httplib::Request& request, httplib::Response& response) {
                const std::lock_guard<std::mutex> lock(mutex);
                received = request.params;
                ++posts;
                response.set_content("<html><body>Received</body></html>", "text/html");
            });
        server.Start();
        browser.setFormSubmitSink(sink);
        browser.resize(800, 600);
        browser.show();
    }

    void Open(const std::string& path)
    {
        browser.navigate(server.Url(path));
        ASSERT_TRUE(WaitForPage(&browser, QString::fromStdString(path)));
    }

    QVariantMap Fill(const std::vector<FillStep>& plan)
    {
        std::optional<QVariant> result;
        browser.runScript(QString::fromStdString(FillScript(plan)),
            [&result](const QVariant& value) { result = value; });
        EXPECT_TRUE(WaitFor([&] { return result.has_value(); }));
        return result.value_or(QVariant()).toMap();
    }

    QString Page(const QString& script) { return RunScriptAndWait(&browser, script).toString(); }

    // Clicks the send button of the document `documentPath` leads to, and
    // waits for the server's answer to load.
    void Submit(const QString& documentPath = QStringLiteral("document"))
    {
        const int before = posts;
        Page(QStringLiteral("%1.querySelector('button').click(); ''").arg(documentPath));
        ASSERT_TRUE(WaitFor([&] { return posts > before; }));
        ASSERT_TRUE(WaitFor([&] {
            return Page(QStringLiteral("(%1.body || {}).textContent").arg(documentPath)) ==
                QStringLiteral("Received");
        }));
    }

    // The values received for `key`, joined by commas.
    std::string Received(const std::string& key)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        std::string values;
        const auto [first, last] = received.equal_range(key);
        for (auto it = first; it != last; ++it)
            values += (values.empty() ? "" : ",") + it->second;
        return first == last ? "<none>" : values;
    }

    TestHttpServer server;
    CountingSink sink;
    BrowserView browser;
    std::mutex mutex;
    std::multimap<std::string, std::string> received;
    std::atomic<int> posts {0};
};

TEST_F(FillKindsTest, ChoicesTakeTheOptionOrRadioByValueThenByVisibleText)
{
    server.Page("/choices", choicesPage + std::string(eventLog));
    const struct
    {
        std::vector<FillStep> plan;
        int written;
        const char* topic;
        const char* tags;
        const char* size;
        const char* events;
    } rows[] = {
        {{{"topic", 0, "g", comboBox}}, 1, "g", "a", "l", "input:topic change:topic"},
        {{{"topic", 0, "  home AND living ", comboBox}}, 1, "h", "a", "l",
            "input:topic change:topic"},
        {{{"topic", 0, "Garden", comboBox}}, 1, "Garden", "a", "l", "input:topic change:topic"},
        {{{"topic", 0, "nothing", comboBox}}, 1, "z", "a", "l", ""},
        {{{"topic", 0, "g", edit}}, 0, "z", "a", "l", ""},
        {{{"tags", 0, "Beta", comboBox}, {"tags", 0, "Gamma", comboBox}}, 2, "z", "a,b,Gamma", "l",
            "input:tags change:tags input:tags change:tags"},
        {{{"size", 0, "m", comboBox}}, 1, "z", "a", "m", "input:size change:size"},
        {{{"size", 0, "small", comboBox}}, 1, "z", "a", "s", "input:size change:size"},
        {{{"size", 2, "MEDIUM  size", comboBox}}, 1, "z", "a", "m", "input:size change:size"},
        {{{"medium", 0, "xl", comboBox}}, 1, "z", "a", "l", ""},
        {{{"size", 1, "yes", checkBox}}, 1, "z", "a", "m", "input:size change:size"},
        {{{"note", 0, "free text", comboBox}}, 1, "z", "a", "l", "input:note change:note"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.plan.front().text + " / " + std::to_string(&row - rows));
        Open("/choices");
        EXPECT_EQ(Fill(row.plan)["written"].toInt(), row.written);
        EXPECT_EQ(Page(QStringLiteral("seen.join(' ')")).toStdString(), row.events);
        Submit();
        EXPECT_EQ(Received("topic"), row.topic);
        EXPECT_EQ(Received("tags"), row.tags);
        EXPECT_EQ(Received("size"), row.size);
        EXPECT_EQ(Received("other"), "<none>") << "another group keeps its choice";
        EXPECT_EQ(Received("note"), row.plan.front().name == "note" ? "free text" : "");
    }
}

TEST_F(FillKindsTest, CheckBoxesAreCheckedUnlessTheTextIsEmptyOrAFalseWord)
{
    server.Page("/checks", checksPage + std::string(eventLog));
    const struct
    {
        const char* text;
        bool on;
    } rows[] = {{"yes", true}, {"1", true}, {"x", true}, {"No way", true}, {"", false},
        {"0", false}, {"no", false}, {"No", false}, {"false", false}, {"FALSE", false},
        {"off", false}, {"Off", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        Open("/checks");
        const QVariantMap report = Fill({{"agree", 0, row.text, checkBox},
            {"news", 0, row.text, checkBox}, {"note", 0, row.text, checkBox}});
        EXPECT_EQ(report["written"].toInt(), 2) << "a text field is no check box";
        EXPECT_EQ(Page(QStringLiteral("seen.join(' ')")),
            QStringLiteral("input:agree change:agree input:news change:news"));
        Submit();
        EXPECT_EQ(Received("agree"), row.on ? "yes-please" : "<none>");
        EXPECT_EQ(Received("news"), row.on ? "on" : "<none>");
        EXPECT_EQ(Received("note"), "keep");
    }

    // An edit item writes a check box's value and leaves its state alone.
    Open("/checks");
    EXPECT_EQ(Fill({{"agree", 0, "v2", edit}, {"news", 0, "v3", edit}})["written"].toInt(), 2);
    Submit();
    EXPECT_EQ(Received("agree"), "<none>");
    EXPECT_EQ(Received("news"), "v3");
}

TEST_F(FillKindsTest, EditableRegionsGetTheTextAsTextWithParagraphs)
{
    server.Page("/rich", richPage + std::string(eventLog));
    server.Page("/pad", R"(<html><body contenteditable="true"></body></html>)");
    server.Page(
        "/design", R"(<html><body><script>document.designMode = 'on';</script></body></html>)");
    Open("/rich");
    const std::string text = "Tom & <script>alert(1)</script>\r\nline two\n\nend";
    const std::vector<FillStep> plan {{"story", 0, text, edit}, {"box", 0, text, checkBox},
        {"two", 0, text, edit}, {"line", 0, text, comboBox}, {"pad", 0, text, edit},
        {"design", 0, text, edit}, {"hidden", 0, text, edit}, {"shown", 0, text, edit}};
    const QVariantMap report = Fill(plan);
    EXPECT_EQ(report["written"].toInt(), 7) << "every item but the one with two regions";
    EXPECT_EQ(report["items"].toInt(), 8);
    EXPECT_EQ(report["missing"].toStringList(), QStringList());
    EXPECT_TRUE(Page(QStringLiteral("seen.join(' ')")).startsWith(QStringLiteral("input:story")));
    Submit();

    const std::string paragraphs = "<p>Tom &amp; &lt;script&gt;alert(1)&lt;/script&gt;</p><p>line "
                                   "two</p><p><br></p><p>end</p>";
    EXPECT_EQ(Received("story-html"), paragraphs);
    EXPECT_EQ(Received("boxed-html"), paragraphs);
    EXPECT_EQ(Received("two-html"),
        "<div contenteditable=\"true\"></div>"
        "<div contenteditable=\"true\"></div>");
    EXPECT_EQ(Received("line-html"),
        "Tom &amp; &lt;script&gt;alert(1)&lt;/script&gt;<br>line two<br><br>end");
    EXPECT_EQ(Received("pad-html"), paragraphs);
    EXPECT_EQ(Received("design-html"), paragraphs);
    // A hidden text area is filled along with the editor beside it; a shown
    // one is left to stand alone.
    EXPECT_EQ(Received("hidden"), "Tom & <script>alert(1)</script>\r\nline two\r\n\r\nend");
    EXPECT_EQ(Received("beside-html"), paragraphs);
    EXPECT_EQ(Received("shown"), Received("hidden"));
    EXPECT_EQ(Received("unrelated-html"), "");
}

// The page's article text area is replaced by a real editor, which writes
// its own content back into the text area when the form is sent. The editor
// may stand before the fill, or come after it, once its own files loaded;
// the form may be sent the moment that editor is ready, or, for an editor
// made before the fill whose files are slow to come, as soon as it holds
// the content it started with (none) and before it is ready.
TEST_F(FillKindsTest, AnEditorThatReplacedTheTextAreaSendsTheArticle)
{
    ASSERT_TRUE(server.server.set_mount_point("/ckeditor", "/usr/share/javascript/ckeditor"));
    // Held back until the fill is done.
    server.server.Get(
        "/slow-config.js", [this](const httplib::Request&, httplib::Response& response) {
            server.AwaitRelease();
            response.set_content("", "text/javascript");
        });
    enum class Sent
    {
        OnceFilled,
        WhenReady,
        BeforeReady
    };
    const struct
    {
        const char* path;
        const char* start; // the page's own script; an empty one waits for the fill
        Sent sent;
    } cases[] = {
        {"/editor-first", "start();", Sent::OnceFilled},
        {"/editor-later", "", Sent::OnceFilled},
        {"/editor-later-sent", "", Sent::WhenReady},
        {"/editor-slow", "start('/slow-config.js');", Sent::BeforeReady},
    };
    const std::string text = "First <b>paragraph</b>.\r\nSecond paragraph.";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        server.Page(c.path,
            std::string(R"(<!DOCTYPE html><html><body>
<form action="/post" method="post">
<input name="title"><textarea name="article" id="article"></textarea><button>Send</button>
</form>
<script src="/ckeditor/ckeditor.js"></script>
<script>
var ready = false;
function start(config) {
    var editor = CKEDITOR.replace('article', {customConfig: config || ''});
    editor.on('instanceReady', function () {
        ready = true;
        if ()") +
                (c.sent == Sent::WhenReady ? "true" : "false") + R"()
            document.querySelector('button').click();
    });
    // Its content is there, its editing area not yet.
    editor.once('dataReady', function () {
        if ()" + (c.sent == Sent::BeforeReady ? "true" : "false") +
                R"()
            document.querySelector('button').click();
    });
}
)" + c.start + "</script></body></html>");
        if (c.sent == Sent::BeforeReady) {
            // Filled while the editor's files are still coming.
            server.Hold();
            browser.navigate(server.Url(c.path));
            ASSERT_TRUE(WaitFor([&] {
                return Page(QStringLiteral("window.CKEDITOR && CKEDITOR.instances.article ? "
                                           "CKEDITOR.instances.article.status : ''")) == "unloaded";
            }));
        } else {
            Open(c.path);
        }
        if (c.start == std::string("start();")) {
            ASSERT_TRUE(
                WaitFor([&] { return Page(QStringLiteral("String(ready)")) == "true"; }, 20000));
        }

        const int hooked = sink.count;
        const int before = posts;
        const QVariantMap report = Fill({{"title", 0, "Herbs", edit}, {"article", 0, text, edit}});
        EXPECT_EQ(report["written"].toInt(), 2);
        server.Release();
        if (*c.start == '\0')
            Page(QStringLiteral("start(); ''"));
        if (c.sent != Sent::OnceFilled) {
            ASSERT_TRUE(WaitFor([&] { return posts > before; }, 20000));
        } else {
            const QString paragraphs = QStringLiteral(
                "<p>First &lt;b&gt;paragraph&lt;/b&gt;.</p> <p>Second paragraph.</p>");
            ASSERT_TRUE(WaitFor(
                [&] {
                    return Page(QStringLiteral("ready ? CKEDITOR.instances.article.getData() : ''"))
                               .simplified() == paragraphs;
                },
                20000))
                << Page(
                       QStringLiteral("ready ? CKEDITOR.instances.article.getData() : 'not ready'"))
                       .toStdString();
            Submit();
        }
        EXPECT_EQ(Received("title"), "Herbs");
        const std::string article = Received("article");
        EXPECT_NE(article.find("<p>First &lt;b&gt;paragraph&lt;/b&gt;.</p>"), std::string::npos)
            << article;
        EXPECT_NE(article.find("</p>\r\n\r\n<p>Second paragraph.</p>"), std::string::npos)
            << "each line a paragraph of its own";
        EXPECT_TRUE(WaitFor([&] { return sink.count == hooked + 1; }))
            << "the article's form was hooked";
    }
}

// Fields named "field" in the main document, a frame and a frame inside it,
// an open and a closed shadow root, and a frame of another origin. Each
// frame or shadow root comes in the document order of its holder, its own
// frames right after it.
TEST_F(FillKindsTest, FramesAndShadowRootsFollowTheMainDocumentInOrder)
{
    TestHttpServer foreign;
    std::atomic<int> foreignLoads {0};
    foreign.server.Get("/foreign", [&](const httplib::Request&, httplib::Response& response) {
        ++foreignLoads;
        response.set_content(R"(<form><input name="field"></form>)", "text/html");
    });
    foreign.Start();
    const std::string foreignUrl = "http://localhost:" + std::to_string(foreign.port) + "/foreign";
    server.Page("/frames",
        R"(<!DOCTYPE html><html><body>
<iframe src="/inner"></iframe>
<author-fields></author-fields>
<form action="/post" method="post"><input name="field"><button>Send</button></form>
<div id="closed"></div>
<iframe src=")" +
            foreignUrl + R"("></iframe>
<script>
customElements.define('author-fields', class extends HTMLElement {
    constructor() {
        super();
        this.attachShadow({mode: 'open'}).innerHTML = '<input name="field"><input id="first">';
    }
});
document.getElementById('closed').attachShadow({mode: 'closed'}).innerHTML =
    '<input name="secret">';
</script></body></html>)");
    server.Page("/inner", R"(<input name="field"><iframe src="/innermost"></iframe>)");
    server.Page("/innermost",
        R"(<form action="/post" method="post"><input name="field"><button>Send</button></form>)");
    Open("/frames");
    ASSERT_EQ(foreignLoads, 1) << "the frame of another origin is there";
    ASSERT_TRUE(WaitFor([&] {
        return Page(QStringLiteral("frames[0].frames.length && "
                                   "String(frames[0].frames[0].document.readyState)")) ==
            QStringLiteral("complete");
    }));

    const QVariantMap report = Fill({{"nosuch", 0, "x", edit}, {"field", 0, "main", edit},
        {"field", 3, "shadow", edit}, {"first", 0, "Ann", edit}, {"secret", 0, "x", edit},
        {"field", 4, "foreign", edit}, {"nosuch", 1, "x", edit}, {"field", 1, "inner", edit},
        {"field", 2, "innermost", edit}});
    EXPECT_EQ(report["written"].toInt(), 5);
    EXPECT_EQ(report["items"].toInt(), 9);
    EXPECT_EQ(report["missing"].toStringList(),
        (QStringList {
            QStringLiteral("nosuch"), QStringLiteral("secret"), QStringLiteral("field")}));
    EXPECT_EQ(Page(QStringLiteral(R"([
        document.forms[0].field.value,
        document.querySelector('author-fields').shadowRoot.querySelector('[name=field]').value,
        document.querySelector('author-fields').shadowRoot.getElementById('first').value,
        frames[0].document.querySelector('input').value,
        frames[0].frames[0].document.querySelector('input').value].join())")),
        QStringLiteral("main,shadow,Ann,inner,innermost"));

    // The last element written sits in the innermost frame: its form is
    // the one hooked, and its submission is reported.
    Submit(QStringLiteral("frames[0].frames[0].document"));
    EXPECT_EQ(Received("field"), "innermost");
    EXPECT_TRUE(WaitFor([&] { return sink.count == 1; }));
}

} // namespace

TEST_F(FillKindsTest, TheFieldLeftToTheUserGetsTheFocusInView)
{
    const struct
    {
        const char* page;
        const char* focused; // null: none
    } rows[] = {
        // Of the fields marked required, the first one the user can fill: an
        // unticked box is empty; hidden, disabled and read-only ones are not
        // for the user; a text field not marked required waits.
        {R"(<form><input name="title" required><input name="gone" required style="display:none">
            <input name="off" required disabled><input name="fixed" required readonly>
            <input name="note"><div style="height:3000px"></div>
            <input type="checkbox" name="terms" required><input name="answer" required></form>)",
            "terms"},
        // Nothing marked required: the first empty text field, blanks being
        // empty; choices are no text fields.
        {R"(<form><input name="title"><input type="checkbox" name="box">
            <select name="pick"><option value=""></option></select>
            <input type="url" name="site" value=" "><textarea name="about"></textarea></form>)",
            "site"},
        // What the form requires is there: the rest is up to the user.
        {R"(<form><input name="title" required><input name="note"></form>)", nullptr},
        {R"(<input name="title"><input name="outside">)", nullptr},
        // Only the form written counts; a field without a name goes by its id.
        {R"(<form><input name="first" required></form><form><input name="title">
            <div style="height:3000px"></div><input id="later"></form>)",
            "later"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.page);
        // A path a row: the server answers with the first page of a path.
        const std::string path = "/focus" + std::to_string(&row - rows);
        server.Page(path, row.page);
        Open(path);
        const QVariant focused = Fill({{"title", 0, "Herbs", edit}})["focused"];
        const QString active = Page(QStringLiteral(
            "var e = document.activeElement; var r = e.getBoundingClientRect();"
            "(e.name || e.id || e.localName) + (r.top >= 0 && r.bottom <= innerHeight ? '' : "
            "' out of view')"));
        if (row.focused) {
            EXPECT_EQ(focused.toString(), QLatin1String(row.focused));
            EXPECT_EQ(active, QLatin1String(row.focused));
        } else {
            EXPECT_NE(focused.typeId(), QMetaType::QString) << focused.toString().toStdString();
            EXPECT_EQ(active, QStringLiteral("body"));
        }
    }
}
