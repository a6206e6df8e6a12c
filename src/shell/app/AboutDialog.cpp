#include "shell/app/AboutDialog.h"

#include "shell/browser/BrowserView.h"
#include "ui_AboutDialog.h"

#include <QDesktopServices>
#include <QWebEnginePage>

namespace {

// Opens every link of the page in the user's default web browser, whether
// it is meant for the same window or a new one.
class ExternalLinkPage : public QWebEnginePage
{
public:
    ExternalLinkPage(QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile, parent)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (openExternally || type == NavigationTypeLinkClicked) {
            QDesktopServices::openUrl(url);
            if (openExternally)
                deleteLater();
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

    QWebEnginePage* createWindow(WebWindowType) override
    {
        // A page that only exists to hand its first address on.
        auto* window = new ExternalLinkPage(profile(), this);
        window->openExternally = true;
        return window;
    }

private:
    bool openExternally = false;
};

} // namespace

const char* const AboutDialog::pageAddress = "qrc:/home_link.html";

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::AboutDialog>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/quillmark.png")));
    ui->iconLabel->setPixmap(windowIcon().pixmap(32, 32));
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);

    ui->browser->setPage(new ExternalLinkPage(QuillmarkBrowserProfile(), ui->browser));
    ui->browser->setContextMenuPolicy(Qt::NoContextMenu);
    ui->browser->navigate(pageAddress);
}

AboutDialog::~AboutDialog() = default;

BrowserView* AboutDialog::browser() const
{
    return ui->browser;
}
