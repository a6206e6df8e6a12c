// Speed of the work the program does in the real browser: filling a form of
// 100 fields once its page has loaded, and reading a 5 MB page after a
// submission to search it for the confirmation text.

#include "app/SubmissionWatch.h"
#include "browser/CBrowserCtrl.h"
#include "common/MessageLog.h"
#include "directorydb/DirectoryDatabase.h"
#include "fill/FillPlan.h"
#include "fill/PageScripts.h"
#include "profiles/Profile.h"
#include "support/BrowserTestMain.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QElapsedTimer>
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

void BM_FillHundredFieldsAfterLoad(benchmark::State& state)
{
    MessageLog log;
    DirectoryDatabase database(log);
    database.Load(TheSite().databaseFile);
    Profile profile;
    profile.articleTitle = "An article title";
    profile.firstName = "Ann";
    CBrowserCtrl browser;
    browser.resize(1024, 768);

    for (auto _ : state) {
        browser.Navigate(TheSite().server.Url("/form"));
        if (!WaitFor([&] { return browser.GetReadyState() == CBrowserCtrl::Complete; })) {
            state.SkipWithError("the page did not load");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        std::optional<int> written;
        browser.RunScript(
            QString::fromStdString(FillScript(BuildFillPlan(database, "Big", profile))),
            [&](const QVariant& result) { written = result.toInt(); });
        WaitFor([&] { return written.has_value(); });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (written.value_or(0) != fieldCount) {
            state.SkipWithError("not every field was written");
            break;
        }
    }
}
BENCHMARK(BM_FillHundredFieldsAfterLoad)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SearchMarkerInFiveMegabytePage(benchmark::State& state)
{
    CBrowserCtrl browser;
    browser.Navigate(TheSite().server.Url("/big"));
    if (!WaitFor([&] { return browser.GetReadyState() == CBrowserCtrl::Complete; })) {
        state.SkipWithError("the page did not load");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::optional<bool> found;
        browser.page()->toHtml([&](const QString& html) {
            found = PageConfirmsSubmission(
                html.toStdString(), "Thank you, your article has been received");
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
