#pragma once

#include "shell/app/DirectoryListModel.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/common/MessageBox.h"
#include "shell/profiles/ProfileComboBox.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <functional>
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
            return !browser->isLoading() && browser->lastLoadSucceeded() &&
                browser->url().toString().contains(urlPart);
        },
        timeoutMs);
}

// The child of `parent` called `name`, as the program's forms name their
// controls.
template<typename Widget>
Widget* Child(const QObject& parent, const char* name)
{
    auto* child = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Answers the modal dialogs of type Dialog as a person would, once each is
// shown: `answer` acts in the dialog and returns the code it closes with.
template<typename Dialog>
class ModalAnswerer
{
public:
    explicit ModalAnswerer(std::function<int(Dialog&)> answer)
    {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, answer = std::move(answer)] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible())
                dialog->done(answer(*dialog));
        });
        timer.start(5);
    }

private:
    QTimer timer;
};

// Records every message box as it is shown, and answers it with `answer`.
class MessageBoxRecorder
{
public:
    std::vector<Message> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

private:
    static MessageIcon IconOf(const QMessageBox& box)
    {
        switch (box.icon()) {
        case QMessageBox::Critical:
            return MessageIcon::Error;
        case QMessageBox::Warning:
            return MessageIcon::Exclamation;
        default:
            return MessageIcon::None;
        }
    }

    ModalAnswerer<QMessageBox> answerer {[this](QMessageBox& box) {
        messages.push_back(
            {box.text().toStdString(), box.windowTitle().toStdString(), IconOf(box)});
        return int(answer);
    }};
};

// The main window's settings for a test: the test's server stands in for
// the maker's, and the data files live in the test's folder.
inline MainWindow::Settings TestSettings(
    const TestHttpServer& server, const TemporaryDirectory& folder)
{
    MainWindow::Settings settings = MainWindow::Settings::defaults();
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

inline QStringList Entries(const QListView* list)
{
    QStringList entries;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        entries << list->model()->index(row, 0).data().toString();
    return entries;
}

// The selected entry's row of `list`; -1 when none is selected.
inline int SelectedRow(const QListView* list)
{
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// Chooses the entry at `row` as a click would.
inline void ChooseRow(QListView* list, int row)
{
    list->selectionModel()->setCurrentIndex(
        list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

inline QStringList Entries(const QComboBox* combo)
{
    QStringList entries;
    for (int index = 0; index < combo->count(); ++index)
        entries << combo->itemText(index);
    return entries;
}
