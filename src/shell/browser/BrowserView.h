#pragma once

#include <QPointer>
#include <QTimer>
#include <QWebEngineView>

#include <functional>
#include <string>
#include <vector>

class FormSubmitSink;
struct FillReport;
struct FillStep;
class QWebChannel;
class QWebEngineLoadingInfo;

// The embedded browser. navigate() opens an address; isLoading() says
// whether the page of the last navigation is still loading, and
// pageComplete() when it has finished; the page itself is reached through
// page(). Scripts of the program run in
// an isolated world that the page's own scripts cannot see.
class BrowserView : public QWebEngineView
{
    Q_OBJECT

public:
    // The script world of the program's own scripts.
    static constexpr quint32 scriptWorld = 1; // QWebEngineScript::ApplicationWorld

    explicit BrowserView(QWidget* parent = nullptr);
    ~BrowserView() override;

    // Opens `url`; an address without a scheme opens over http://. The
    // load ends once the page has loaded or failed to, or when the
    // navigation has not started within a few seconds.
    void navigate(const std::string& url);
    bool isLoading() const { return loading; }
    // Whether the last page that finished loading arrived: false for the
    // engine's error page after a failed load, and for a navigation that
    // never started.
    bool lastLoadSucceeded() const { return loadSucceeded; }
    // Counts the loads that have started: a result that was asked for under
    // one count belongs to another page once the count has changed.
    unsigned loadCount() const { return loadsStarted; }

    // Shows the pages of the program's resources in place of the start
    // page, the user guide and the support page of the maker's server at
    // `serverUrl` whenever that server cannot be reached (browser/BundledPages.h).
    void showBundledPagesFor(const std::string& serverUrl);

    // Lets forms hooked by the program's scripts report their submission to
    // `sink`: every page gets the submit hook of fill/PageScripts.h, which
    // reaches the sink through the web channel.
    void setFormSubmitSink(FormSubmitSink& sink);

    // Runs `script` in the isolated world; `done` gets its result unless the
    // browser is gone by then.
    void runScript(const QString& script, std::function<void(const QVariant&)> done = {});
    // Carries out `plan` in the page shown now. `done` gets the fill's report
    // later, while `context` and the browser still exist.
    void fill(const std::vector<FillStep>& plan, QObject* context,
        std::function<void(const FillReport&)> done);
    // Asks for the HTML of the page shown now, followed by that of its
    // frames of the same origin. `done` gets it later, and only
    // while `context` and the browser still exist and the same page is shown;
    // a page that goes away first answers nothing.
    void readPageHtml(QObject* context, std::function<void(const std::string&)> done);

signals:
    // The page of a navigation has finished loading, successfully or not.
    void pageComplete(bool ok);

private:
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onStartLimit();
    void onLoadingChanged(const QWebEngineLoadingInfo& info);

    bool loading = false;
    bool loadSucceeded = true;
    unsigned loadsStarted = 0;
    // Set by navigate() until the new load has started, so that the end of
    // the load it replaced is not taken for its own.
    bool awaitingStart = false;
    // Ends a navigation that never starts.
    QTimer startLimit;
    QPointer<QWebChannel> channel;
    // The maker's server whose pages have bundled stand-ins; empty for none.
    std::string bundledServer;
};

// The browser profile all of the program's browsers share. It is persistent
// and named, so logins and cookies at the directory sites survive a restart.
class QWebEngineProfile;
QWebEngineProfile* QuillmarkBrowserProfile();
