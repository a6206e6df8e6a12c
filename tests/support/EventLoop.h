#pragma once

#include <QEventLoop>
#include <QTimer>

// Runs the event loop until `condition` holds or `timeoutMs` passed. The
// browser engine needs a running event loop: waiting with short sleeps
// between event batches slows every page load down to seconds.
template<typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 10000)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

// Runs the event loop for `ms` milliseconds.
inline void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
