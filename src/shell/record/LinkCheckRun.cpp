#include "shell/record/LinkCheckRun.h"

#include <QThread>

#include <utility>

LinkCheckRun::LinkCheckRun(std::vector<LinkCheckTarget> targets, std::string articleTitle,
    std::string webAddress, LinkCheckOptions options, QObject* parent)
    : QObject(parent)
    , targets(std::move(targets))
    , articleTitle(std::move(articleTitle))
    , webAddress(std::move(webAddress))
    , options(std::move(options))
{
}

LinkCheckRun::~LinkCheckRun()
{
    cancel();
    if (worker)
        worker->wait();
}

void LinkCheckRun::start()
{
    if (worker)
        return;
    worker.reset(QThread::create([this] { run(); }));
    worker->start();
}

void LinkCheckRun::run()
{
    // On the worker: every answer is queued to this object's thread, where
    // it is dropped should the object be gone by then.
    const bool complete = LinkChecker(options).Check(
        targets, articleTitle, webAddress,
        [this](const LinkCheckReport& report) {
            QMetaObject::invokeMethod(
                this, [this, report] { emit pageChecked(report); }, Qt::QueuedConnection);
        },
        &cancelled);
    QMetaObject::invokeMethod(
        this, [this, complete] { emit finished(complete); }, Qt::QueuedConnection);
}
