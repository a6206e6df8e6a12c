#pragma once

#include "core/record/LinkChecker.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QThread;

// One check of published articles, run by the core's LinkChecker on a
// worker thread. Each page's report arrives on this object's thread as
// pageChecked(), and finished() ends the run. Destroying the object cancels
// the run and waits for the worker: no report comes after that.
class LinkCheckRun : public QObject
{
    Q_OBJECT

public:
    LinkCheckRun(std::vector<LinkCheckTarget> targets, std::string articleTitle,
        std::string webAddress, LinkCheckOptions options = {}, QObject* parent = nullptr);
    ~LinkCheckRun() override;

    void start();
    // Asks the worker to stop; pages not done by then get no report.
    void cancel() { cancelled = true; }
    std::size_t targetCount() const { return targets.size(); }

signals:
    void pageChecked(const LinkCheckReport& report);
    // `complete`: every page was checked; false after a cancel.
    void finished(bool complete);

private:
    void run();

    const std::vector<LinkCheckTarget> targets;
    const std::string articleTitle;
    const std::string webAddress;
    const LinkCheckOptions options;
    std::atomic<bool> cancelled {false};
    std::unique_ptr<QThread> worker;
};
