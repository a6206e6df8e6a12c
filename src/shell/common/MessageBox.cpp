#include "shell/common/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QMessageBox::StandardButton ShowMessageBox(
    QWidget* parent, const Message& message, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(BoxIcon(message.icon), QString::fromStdString(message.caption),
        QString::fromStdString(message.text), buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString ApplicationName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}
