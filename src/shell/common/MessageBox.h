#pragma once

#include "core/common/MessageSink.h"

#include <QMessageBox>

#include <functional>

class QWidget;

// Every message box of the program goes through ShowMessageBox(). A test
// installs a hook that sees each message instead and answers it.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const Message& message,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

using MessageBoxHook = std::function<QMessageBox::StandardButton(const Message&)>;
// An empty hook brings the real message boxes back.
void SetMessageBoxHook(MessageBoxHook hook);

// The caption of a message box that has none of its own: the program's
// file name.
QString ApplicationName();

// Shows the core's messages as message boxes without an owner window.
class MessageBoxSink : public MessageSink
{
public:
    void ShowMessage(const Message& message) override { ShowMessageBox(nullptr, message); }
};
