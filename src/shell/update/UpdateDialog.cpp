#include "shell/update/UpdateDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

UpdateDialog::UpdateDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(tr("Update article directory database"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("Please wait while the article directory database is updated"), this));

    // Busy until the first bytes tell more.
    m_progressBar = new QProgressBar(this);
    m_progressBar->setRange(0, 0);
    m_progressBar->setTextVisible(false);
    layout->addWidget(m_progressBar);
    m_bytesLabel = new QLabel(this);
    layout->addWidget(m_bytesLabel);

    m_cancelButton = new QPushButton(tr("Cancel"), this);
    // Enter must not cancel an update by chance.
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &UpdateDialog::cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    setModal(true);
}

UpdateDialog::UpdateDialog(
    std::string updateUrl, std::string databasePath, DownloadOptions options, QWidget* parent)
    : UpdateDialog(parent)
{
    this->updateUrl = std::move(updateUrl);
    this->databasePath = std::move(databasePath);
    this->options = std::move(options);
}

UpdateDialog::~UpdateDialog()
{
    cancelRequested = true;
    if (worker.joinable())
        worker.join();
}

void UpdateDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The download starts once the dialog is on screen, and only once.
    if (!started) {
        started = true;
        QTimer::singleShot(50, this, &UpdateDialog::pollDownload);
    }
}

void UpdateDialog::pollDownload()
{
    if (!isVisible() || cancelRequested)
        return;
    if (updateUrl.empty() || databasePath.empty()) {
        finish(UpdateInternalError);
        return;
    }
    try {
        worker = std::thread([this, url = updateUrl, path = databasePath, options = options] {
            DownloadControl control;
            control.cancel = &cancelRequested;
            control.progress = [this](std::uint64_t received, std::uint64_t total) {
                bytesReceived = received;
                bytesTotal = total;
                if (!progressPosted.exchange(true))
                    QMetaObject::invokeMethod(
                        this, [this] { showProgress(); }, Qt::QueuedConnection);
            };
            const int code = DownloadDatabase(url, path, options, nullptr, control);
            // Back to the user-interface thread. The dialog outlives the
            // worker: its destructor waits for it, and what was posted to
            // it goes with it.
            QMetaObject::invokeMethod(
                this, [this, code] { downloadFinished(code); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        finish(UpdateInternalError);
    }
}

void UpdateDialog::showProgress()
{
    progressPosted = false;
    const std::uint64_t received = bytesReceived;
    const std::uint64_t total = bytesTotal;
    const QLocale locale;
    if (total > 0) {
        m_progressBar->setRange(0, 100);
        m_progressBar->setValue(int(std::min<std::uint64_t>(received, total) * 100 / total));
        m_progressBar->setTextVisible(true);
        m_bytesLabel->setText(
            tr("%1 of %2 bytes received")
                .arg(locale.toString(qulonglong(received)), locale.toString(qulonglong(total))));
    } else {
        m_bytesLabel->setText(tr("%1 bytes received").arg(locale.toString(qulonglong(received))));
    }
}

void UpdateDialog::downloadFinished(int code)
{
    if (worker.joinable())
        worker.join();
    // A wait that already ended some other way keeps its empty answer.
    if (isVisible())
        finish(code);
}

void UpdateDialog::finish(int code)
{
    m_exitCode = code;
    QDialog::done(Accepted);
}

void UpdateDialog::cancel()
{
    cancelRequested = true;
    m_cancelButton->setEnabled(false);
    // A running worker gives its answer within moments; without one there
    // is nothing to wait for.
    if (!worker.joinable())
        QDialog::done(Rejected);
}

void UpdateDialog::done(int result)
{
    // However the wait ends, the download ends with it.
    cancelRequested = true;
    QDialog::done(result);
}

void UpdateDialog::reject()
{
    // Neither Escape nor the close box ends the wait.
}

void UpdateDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
