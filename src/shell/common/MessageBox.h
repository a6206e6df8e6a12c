#pragma once

#include "core/common/MessageSink.h"

#include <QMessageBox>

class QWidget;

// Every message box of the program goes through ShowMessageBox(): a modal
// box with the message's caption, text and icon.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const Message& message,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The caption of a message box that has none of its own: the program's
// file name.
QString ApplicationName();

// Shows the core's messages as message boxes without an owner window.
class MessageBoxSink : public MessageSink
{
public:
    void ShowMessage(const Message& message) override { ShowMessageBox(nullptr, message); }
};
