#include "shell/browser/BrowserView.h"

#include "core/browser/BundledPages.h"
#include "core/browser/NavigationAddress.h"
#include "core/fill/PageScripts.h"
#include "shell/browser/FormSubmitBridge.h"
#include "shell/browser/ScriptResults.h"

#include <QCoreApplication>
#include <QFile>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// A navigation that has not started after this long never will (an address
// the engine hands to another program, for instance): the browser is then
// idle again rather than loading for ever.
constexpr int navigationStartLimitMs = 5000;

// Links, forms and scripts that ask for a new window open in the same view:
// the user stays in the program, and a form's result page reaches the
// submission watch like any other.
class BrowserPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

QString WebChannelLibrary()
{
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The web channel script is missing from the Qt WebEngine resources");
    return QString::fromUtf8(file.readAll());
}

} // namespace

QWebEngineProfile* QuillmarkBrowserProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile)
        profile = new QWebEngineProfile(QStringLiteral("Quillmark"), QCoreApplication::instance());
    return profile;
}

BrowserView::BrowserView(QWidget* parent)
    : QWebEngineView(parent)
{
    setPage(new BrowserPage(QuillmarkBrowserProfile(), this));
    connect(this, &QWebEngineView::loadStarted, this, &BrowserView::onLoadStarted);
    connect(this, &QWebEngineView::loadFinished, this, &BrowserView::onLoadFinished);
    startLimit.setSingleShot(true);
    startLimit.setInterval(navigationStartLimitMs);
    connect(&startLimit, &QTimer::timeout, this, &BrowserView::onStartLimit);
    connect(page(), &QWebEnginePage::loadingChanged, this, &BrowserView::onLoadingChanged);
}

BrowserView::~BrowserView()
{
    // The page must go before the profile it uses and before the channel.
    delete page();
}

void BrowserView::navigate(const std::string& url)
{
    QUrl address(QString::fromStdString(NavigationAddress(url)), QUrl::TolerantMode);
    if (address.isEmpty() || !address.isValid())
        address = QUrl(QStringLiteral("about:blank"));
    loading = true;
    awaitingStart = true;
    ++loadsStarted;
    startLimit.start();
    load(address);
}

void BrowserView::onLoadStarted()
{
    startLimit.stop();
    awaitingStart = false;
    loading = true;
    ++loadsStarted;
}

void BrowserView::onLoadFinished(bool ok)
{
    // The end of the load a navigation replaced is not the end of its own.
    if (awaitingStart)
        return;
    loading = false;
    loadSucceeded = ok;
    emit pageComplete(ok);
}

void BrowserView::onStartLimit()
{
    if (!awaitingStart)
        return;
    awaitingStart = false;
    onLoadFinished(false);
}

void BrowserView::showBundledPagesFor(const std::string& serverUrl)
{
    bundledServer = serverUrl;
}

void BrowserView::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (bundledServer.empty() || info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
        return;
    // A maker's page whose server cannot be reached, or a folder of the
    // bundled pages that one of their links names, opens the bundled page.
    const std::string url = info.url().toString().toStdString();
    const bool bundled = info.url().scheme() == QLatin1String("qrc");
    if (!bundled && !IsServerUnreachable(info.errorCode()))
        return;
    const std::string address = BundledPageAddress(bundledServer, url);
    if (!address.empty() && address != url)
        navigate(address);
}

void BrowserView::setFormSubmitSink(FormSubmitSink& sink)
{
    delete channel;
    channel = new QWebChannel(this);
    channel->registerObject(QString::fromUtf8(formSubmitSinkObject.data(),
                                static_cast<int>(formSubmitSinkObject.size())),
        new FormSubmitBridge(sink, channel));
    page()->setWebChannel(channel, scriptWorld);

    QWebEngineScript script;
    script.setName(QStringLiteral("quillmark-submit-hook"));
    script.setWorldId(scriptWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(false);
    // The hook needs the web channel library, which runs first.
    script.setSourceCode(WebChannelLibrary() + QString::fromStdString(SubmitHookScript()));
    QWebEngineScriptCollection& scripts = page()->scripts();
    for (const QWebEngineScript& old : scripts.find(script.name()))
        scripts.remove(old);
    scripts.insert(script);
}

void BrowserView::runScript(const QString& script, std::function<void(const QVariant&)> done)
{
    QPointer<BrowserView> self(this);
    page()->runJavaScript(
        script, scriptWorld, [self, done = std::move(done)](const QVariant& result) {
            if (self && done)
                done(result);
        });
}

void BrowserView::readPageHtml(QObject* context, std::function<void(const std::string&)> done)
{
    QPointer<BrowserView> self(this);
    QPointer<QObject> receiver(context);
    const unsigned load = loadsStarted;
    // The page's HTML with that of its frames: a form in a frame shows its
    // answer there. A page being deleted answers with no string at all.
    page()->runJavaScript(QString::fromStdString(PageHtmlScript()), scriptWorld,
        [self, receiver, load, done = std::move(done)](const QVariant& html) {
            if (html.typeId() != QMetaType::QString || !self || !receiver ||
                self->loadsStarted != load)
                return;
            done(html.toString().toStdString());
        });
}

void BrowserView::fill(const std::vector<FillStep>& plan, QObject* context,
    std::function<void(const FillReport&)> done)
{
    QPointer<QObject> receiver(context);
    const int planSize = int(plan.size());
    runScript(QString::fromStdString(FillScript(plan)),
        [receiver, planSize, done = std::move(done)](const QVariant& result) {
            if (receiver)
                done(FillReportFromScript(result, planSize));
        });
}
