#pragma once

#include "core/update/DatabaseDownload.h"

#include <QDialog>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

// The wait dialog of a database update. Once on screen it starts the
// download on a worker thread, shows how much has arrived, and ends when the
// worker is done. Cancel stops the download; Escape and the window's close
// box do nothing.
class UpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateDialog(QWidget* parent = nullptr);
    // A dialog that downloads `updateUrl` over the database at `databasePath`.
    UpdateDialog(std::string updateUrl, std::string databasePath, DownloadOptions options,
        QWidget* parent = nullptr);
    // Stops a download still running and waits for its worker.
    ~UpdateDialog() override;

    std::string updateUrl;
    std::string databasePath;
    DownloadOptions options;

    // The update's answer: the worker's exit code (UpdateCancelled after
    // Cancel), or UpdateInternalError when the dialog could not start it.
    // Empty when the wait ended in any other way.
    const std::optional<int>& exitCode() const { return m_exitCode; }

    QProgressBar* progressBar() const { return m_progressBar; }
    QLabel* bytesLabel() const { return m_bytesLabel; }
    QPushButton* cancelButton() const { return m_cancelButton; }

public slots:
    void done(int result) override;
    void reject() override;
    void cancel();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void pollDownload();
    // Shows the latest figures the worker left.
    void showProgress();
    void downloadFinished(int code);
    void finish(int code);

    QProgressBar* m_progressBar = nullptr;
    QLabel* m_bytesLabel = nullptr;
    QPushButton* m_cancelButton = nullptr;
    bool started = false;
    std::optional<int> m_exitCode;

    // Shared with the worker.
    std::atomic<bool> cancelRequested {false};
    std::atomic<std::uint64_t> bytesReceived {0};
    std::atomic<std::uint64_t> bytesTotal {0};
    // Set while a progress report is on its way to the dialog, so that a
    // fast download does not flood the event queue.
    std::atomic<bool> progressPosted {false};
    std::thread worker;
};
