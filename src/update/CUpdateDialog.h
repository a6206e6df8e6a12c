#pragma once

#include "update/DatabaseDownload.h"

#include <QDialog>

#include <string>
#include <thread>

class QLabel;

// The wait dialog of a database update. Once on screen it starts the
// download on a worker thread and ends, with the worker's exit code as its
// result, when the worker is done. It cannot be dismissed in between.
class CUpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CUpdateDialog(QWidget* parent = nullptr);
    ~CUpdateDialog() override;

    std::string updateUrl;
    std::string databasePath;
    DownloadOptions options;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTimer();
    void OnDownloadFinished(int exitCode);

    std::thread worker;
};
