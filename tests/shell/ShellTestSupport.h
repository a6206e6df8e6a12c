#pragma once

#include "app/MessageBox.h"
#include "browser/CBrowserCtrl.h"

#include <QEventLoop>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

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
    poll.start(5);
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

// Runs a script in `world` of the browser's page and waits for its result.
inline QVariant RunScriptAndWait(CBrowserCtrl* browser, const QString& script, quint32 world = 0)
{
    std::optional<QVariant> result;
    browser->page()->runJavaScript(
        script, world, [&result](const QVariant& value) { result = value; });
    EXPECT_TRUE(WaitFor([&] { return result.has_value(); })) << script.toStdString();
    return result.value_or(QVariant());
}

inline bool WaitForPage(CBrowserCtrl* browser, const QString& urlPart = {})
{
    return WaitFor([&] {
        return browser->GetReadyState() == CBrowserCtrl::Complete &&
            browser->url().toString().contains(urlPart);
    });
}

// Records every message box instead of showing it, answering OK.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder()
    {
        SetMessageBoxHook([this](const Message& message) {
            messages.push_back(message);
            return QMessageBox::Ok;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxHook({}); }

    std::vector<Message> messages;
};
