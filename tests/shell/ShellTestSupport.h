#pragma once

#include "shell/app/DirectoryListBox.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/common/MessageBox.h"
#include "shell/profiles/ProfileComboBox.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QComboBox>
#include <QListWidget>
#include <QVariant>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

// Runs a script in `world` of the browser's page and waits for its result.
inline QVariant RunScriptAndWait(BrowserView* browser, const QString& script, quint32 world = 0)
{
    std::optional<QVariant> result;
    browser->page()->runJavaScript(
        script, world, [&result](const QVariant& value) { result = value; });
    EXPECT_TRUE(WaitFor([&] { return result.has_value(); })) << script.toStdString();
    return result.value_or(QVariant());
}

// Waits until the page at an address containing `urlPart` has loaded; the
// engine's error page for an address that failed does not count.
inline bool WaitForPage(BrowserView* browser, const QString& urlPart = {}, int timeoutMs = 10000)
{
    return WaitFor(
        [&] {
            return browser->GetReadyState() == BrowserView::Complete && browser->LoadSucceeded() &&
                browser->url().toString().contains(urlPart);
        },
        timeoutMs);
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

// The main window's settings for a test: the test's server stands in for
// the maker's, and the data files live in the test's folder.
inline MainWindow::Settings TestSettings(
    const TestHttpServer& server, const TemporaryDirectory& folder)
{
    MainWindow::Settings settings = MainWindow::Settings::Defaults();
    settings.serverUrl = QString::fromStdString(server.Url());
    settings.dataFolder = QString::fromStdString(folder.path.string());
    return settings;
}

inline QStringList Entries(const QListWidget* list)
{
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

inline QStringList Entries(const QComboBox* combo)
{
    QStringList entries;
    for (int index = 0; index < combo->count(); ++index)
        entries << combo->itemText(index);
    return entries;
}
