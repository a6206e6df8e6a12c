// Speed of the work the program does in the real browser and its window:
// filling a form of 100 fields once its page has loaded, in one document or
// spread over a frame and a shadow root; reading a 5 MB page after a
// submission to search it for the confirmation text; the same fill in the
// real window; showing another profile's marks in a list of 10,000 and of
// 100,000 directories; opening the Submissions window on 10,000 rows.

#include "RecordRows.h"
#include "core/app/SubmissionWatch.h"
#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/FillPlan.h"
#include "core/fill/PageScripts.h"
#include "core/profiles/Profile.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"
#include "core/record/SubmissionRecord.h"
#include "shell/app/DirectoryListModel.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/browser/ScriptResults.h"
#include "shell/profiles/ProfileComboBox.h"
#include "shell/record/SubmissionsWindow.h"
#include "support/BrowserTestMain.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTableView>
#include <QWebEnginePage>

#include <benchmark/benchmark.h>

#include <optional>

namespace {

constexpr int fieldCount = 100;

struct Site
{
    Site()
    {
        std::string form = "<!DOCTYPE html><html><body><form action='/post' method='post'>";
        std::string database = "<r><directory name='Big' submiturl='x' onsubmit='y'>";
        for (int i = 0; i < fieldCount; ++i) {
            const std::string name = "field" + std::to_string(i);
            form += "<label>" + name + " <input name='" + name + "'></label><br>";
            database += "<item name='" + name + "' index='0' type='edit' value='#title# #fname# " +
                std::to_string(i) + "'/>";
        }
        server.Page("/form", form + "</form></body></html>");

        // The same 100 fields, a third in the page's form, a third in a
        // frame's form and a third in a component's shadow root.
        std::string page = "<!DOCTYPE html><html><body><form action='/post' method='post'>";
        std::string frame = "<!DOCTYPE html><html><body><form action='/post' method='post'>";
        std::string shadow;
        for (int i = 0; i < fieldCount; ++i) {
            // Double quotes: the shadow root's fields go into a script's
            // single-quoted string.
            const std::string field = "<label>field" + std::to_string(i) + " <input name=\"field" +
                std::to_string(i) + "\"></label><br>";
            (i % 3 == 0 ? page : i % 3 == 1 ? frame : shadow) += field;
        }
        server.Page("/spread/frame", frame + "</form></body></html>");
        server.Page("/spread",
            page +
                "</form><iframe src='/spread/frame'></iframe><author-fields></author-fields>"
                "<script>customElements.define('author-fields', class extends HTMLElement {"
                "constructor() { super(); this.attachShadow({mode: 'open'}).innerHTML = '" +
                shadow + "'; } });</script></body></html>");

        std::string big = "<!DOCTYPE html><html><body>";
        while (big.size() < (5u << 20))
            big +=
                "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod.</p>\n";
        server.Page("/big", big + "<p>Thank you, your article has been received</p></body></html>");
        server.Start();
        databaseFile = folder.Write("dirdata.xml", database + "</directory></r>");
    }

    TestHttpServer server;
    TemporaryDirectory folder;
    std::string databaseFile;
};

Site& TheSite()
{
    static Site site;
    return site;
}

// The main window's settings for a benchmark: the site's server stands in
// for the maker's, and the data files live in `folder`.
MainWindow::Settings WindowSettings(const TemporaryDirectory& folder)
{
    MainWindow::Settings settings = MainWindow::Settings::defaults();
    settings.serverUrl = QString::fromStdString(TheSite().server.Url());
    settings.dataFolder = QString::fromStdString(folder.path.string());
    return settings;
}

// Loads `path` and fills its 100 fields, each round timed from the page's
// load finished to the fill's answer. A fill that writes fewer fields than
// `expected` ends the run with an error.
void FillHundredFieldsAfterLoad(benchmark::State& state, const std::string& path, int expected)
{
    MessageLog log;
    DirectoryDatabase database(log);
    database.Load(TheSite().databaseFile);
    Profile profile;
    profile.articleTitle = "An article title";
    profile.firstName = "Ann";
    BrowserView browser;
    browser.resize(1024, 768);

    int written = 0;
    for (auto _ : state) {
        browser.navigate(TheSite().server.Url(path));
        if (!WaitFor([&] { return browser.isLoading() == false; })) {
            state.SkipWithError("the page did not load");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        std::optional<FillReport> report;
        browser.runScript(
            QString::fromStdString(FillScript(BuildFillPlan(database, "Big", profile))),
            [&](const QVariant& result) { report = FillReportFromScript(result, fieldCount); });
        WaitFor([&] { return report.has_value(); });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        written = report ? report->written : 0;
        if (written < expected) {
            state.SkipWithError("not every field was written");
            break;
        }
    }
    state.counters["written"] = written;
}

void BM_FillHundredFieldsAfterLoad(benchmark::State& state)
{
    FillHundredFieldsAfterLoad(state, "/form", fieldCount);
}
BENCHMARK(BM_FillHundredFieldsAfterLoad)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same fill reaching into a frame and a shadow root for two thirds of
// its fields.
void BM_FillHundredFieldsInFrameAndShadowRoot(benchmark::State& state)
{
    FillHundredFieldsAfterLoad(state, "/spread", fieldCount);
}
BENCHMARK(BM_FillHundredFieldsInFrameAndShadowRoot)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SearchMarkerInFiveMegabytePage(benchmark::State& state)
{
    BrowserView browser;
    browser.navigate(TheSite().server.Url("/big"));
    if (!WaitFor([&] { return browser.isLoading() == false; })) {
        state.SkipWithError("the page did not load");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::optional<bool> found;
        browser.readPageHtml(&browser, [&](const std::string& html) {
            found = PageConfirmsSubmission(html, "Thank you, your article has been received");
        });
        WaitFor([&] { return found.has_value(); });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (!found.value_or(false)) {
            state.SkipWithError("the marker was not found");
            break;
        }
    }
}
BENCHMARK(BM_SearchMarkerInFiveMegabytePage)->UseManualTime()->Unit(benchmark::kMillisecond);

// Choosing another profile with state.range(0) directories in the database
// and 200 of them sent for each profile: every entry's mark changes.
void BM_ChooseProfile(benchmark::State& state)
{
    const int directories = int(state.range(0));
    TemporaryDirectory folder;
    std::string database = "<r>";
    for (int i = 0; i < directories; ++i)
        database +=
            "<directory name='Directory " + std::to_string(i) + "' submiturl='x' onsubmit='y'/>";
    folder.Write("dirdata.xml", database + "</r>");
    ProfileStore store;
    for (int p = 0; p < 2; ++p) {
        Profile profile;
        profile.name = "Profile " + std::to_string(p);
        for (int d = 0; d < 200; ++d)
            profile.sentDirectories.insert(
                "Directory " + std::to_string((d * 37 + p) % directories));
        store.AddProfile(std::move(profile));
    }
    const std::string selected = "Profile 0";
    folder.Write("sv.dat", StateFileBytes(store, &selected));

    MainWindow window(WindowSettings(folder));
    window.show();
    WaitFor([&] { return !window.browser()->isLoading(); });

    int next = 1;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        window.profileCombo()->setCurrentIndex(next);
        // The list paints the marks it shows.
        window.directoryList()->repaint();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        const int sent = int(std::count(window.directoryModel()->sentFlags().begin(),
            window.directoryModel()->sentFlags().end(), true));
        if (window.currentProfile()->name != "Profile " + std::to_string(next) || sent != 200) {
            state.SkipWithError("the list does not show the chosen profile's marks");
            break;
        }
        next = 1 - next;
    }
}
BENCHMARK(BM_ChooseProfile)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The 100-field form filled in the real window: each round chooses the
// directory again, and is timed from the page's load finished to the
// window's report that the fill has ended.
void BM_FillInTheWindow(benchmark::State& state)
{
    TemporaryDirectory folder;
    std::string database = TemporaryDirectory::Read(TheSite().databaseFile);
    const std::string placeholder = "submiturl='x'";
    database.replace(database.find(placeholder), placeholder.size(),
        "submiturl='" + TheSite().server.Url("/form") + "'");
    folder.Write("dirdata.xml", database);
    ProfileStore store;
    Profile profile;
    profile.name = "Writer";
    profile.articleTitle = "Title";
    profile.firstName = "Ann";
    store.AddProfile(profile);
    folder.Write("sv.dat", StateFileBytes(store, &profile.name));

    MainWindow window(WindowSettings(folder));
    window.show();
    WaitFor([&] { return !window.browser()->isLoading(); });

    QElapsedTimer loaded;
    std::optional<FillReport> report;
    qint64 elapsed = 0;
    QObject::connect(
        window.browser(), &QWebEngineView::loadFinished, &window, [&] { loaded.start(); });
    QObject::connect(&window, &MainWindow::pageFilled, &window, [&](const FillReport& filled) {
        elapsed = loaded.nsecsElapsed();
        report = filled;
    });
    for (auto _ : state) {
        report.reset();
        window.nextDirectory();
        if (!WaitFor([&] { return report.has_value(); }, 10000) || report->written != fieldCount) {
            state.SkipWithError("the window did not fill every field");
            break;
        }
        state.SetIterationTime(elapsed / 1e9);
    }
}
BENCHMARK(BM_FillInTheWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

// The Submissions window opened on 10,000 rows: a database of 10,000
// directories, every one sent for the profile and each with its record
// entry. Timed from the command to the window painted; the window is closed
// and destroyed between rounds, so each round builds it anew.
void BM_OpenSubmissionsWindow(benchmark::State& state)
{
    constexpr int directories = 10000;
    TemporaryDirectory folder;
    std::string database = "<r>";
    Profile profile;
    profile.name = "Writer";
    for (int i = 0; i < directories; ++i) {
        const std::string name = "Directory " + std::to_string(i);
        database += "<directory name='" + name + "' submiturl='x' onsubmit='y'/>";
        profile.sentDirectories.insert(name);
    }
    folder.Write("dirdata.xml", database + "</r>");
    ProfileStore store;
    store.AddProfile(profile);
    folder.Write("sv.dat", StateFileBytes(store, &profile.name));
    const std::string path = folder.FilePath(SubmissionRecord::fileName);
    if (!WriteRecordRows(path, {"Writer"}, directories,
            [](int i) { return "Directory " + std::to_string(i); })) {
        state.SkipWithError("the record did not open");
        return;
    }

    MainWindow window(WindowSettings(folder));
    window.show();
    WaitFor([&] { return !window.browser()->isLoading(); });
    QAction* command = window.findChild<QAction*>(QStringLiteral("submissionsAction"));

    int rows = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        command->trigger();
        SubmissionsWindow* submissions = window.submissionsWindow();
        submissions->repaint();
        submissions->table()->viewport()->repaint();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        rows = submissions->table()->model()->rowCount();
        delete submissions;
        if (rows != directories) {
            state.SkipWithError("the window does not show every row");
            break;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenSubmissionsWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    PrepareBrowserTestProcess();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
