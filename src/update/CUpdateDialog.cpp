#include "update/CUpdateDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

CUpdateDialog::CUpdateDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(tr("Update article directory database"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("Please wait while the article directory database is updated"), this));
    setModal(true);
    QTimer::singleShot(50, this, &CUpdateDialog::OnTimer);
}

CUpdateDialog::~CUpdateDialog()
{
    if (worker.joinable())
        worker.join();
}

void CUpdateDialog::OnTimer()
{
    if (updateUrl.empty() || databasePath.empty()) {
        done(UpdateInternalError);
        return;
    }
    try {
        worker = std::thread([this, url = updateUrl, path = databasePath, options = options] {
            const int exitCode = DownloadDatabase(url, path, options);
            // Back to the user-interface thread. The dialog outlives the
            // worker: its destructor waits for it.
            QMetaObject::invokeMethod(
                this, [this, exitCode] { OnDownloadFinished(exitCode); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        done(UpdateInternalError);
    }
}

void CUpdateDialog::OnDownloadFinished(int exitCode)
{
    if (worker.joinable())
        worker.join();
    done(exitCode);
}

void CUpdateDialog::reject()
{
    // Neither Escape nor anything else ends the wait.
}

void CUpdateDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
