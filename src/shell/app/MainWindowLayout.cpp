// The main window's controls and where they stand: the part of MainWindow
// that places and paints, apart from its handlers.

#include "shell/app/DirectoryListBox.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/profiles/ProfileComboBox.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

void MainWindow::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* client = new QWidget(this);
    layout->addWidget(client, 1);
    // Below the client area, so that OnSize places the controls as before.
    statusLine = new QStatusBar(this);
    layout->addWidget(statusLine);
    // A normal widget of the status line: a message hides it while shown.
    progressLabel = new QLabel(statusLine);
    statusLine->addWidget(progressLabel, 1);

    // Created in tab order; OnSize() places them.
    browser = new BrowserView(client);
    directoryList = new DirectoryListBox(client);
    nextButton = new QPushButton(tr("&Next Directory Not Sent"), client);
    nextButton->setAutoDefault(false);
    profileCombo = new ProfileComboBox(client);
    profileLabel = new QLabel(tr("Profile:"), client);
    fillButton = new QPushButton(tr("&Fill current page"), client);
    fillButton->setAutoDefault(false);
    // Alt+F belongs to the File menu. Two owners of one mnemonic take turns,
    // so the first Alt+F would only have moved the focus to this button.
    fillButton->setShortcut(QKeySequence());

    client->installEventFilter(this);
    browser->SetFormSubmitSink(*this);
    browser->ShowBundledPagesFor(settings.serverUrl.toStdString());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Resizes of the client area reach the window's layout code.
    if (event->type() == QEvent::Resize && watched == browser->parentWidget())
        OnSize(browser->parentWidget()->width(), browser->parentWidget()->height());
    return QDialog::eventFilter(watched, event);
}

void MainWindow::OnSize(int cx, int cy)
{
    if (!directoryList)
        return;
    // The list keeps its top; the Next button takes its former bottom.
    directoryList->setGeometry(cx - 235, 70, 220, cy - 114);
    nextButton->setGeometry(cx - 235, cy - 38, 220, 23);
    // 35 pixels held the label in the font the layout was drawn for; a
    // larger font may take up to the combo box's left edge.
    const int labelWidth = std::clamp(profileLabel->sizeHint().width(), 35, 50);
    profileLabel->setGeometry(cx - 230, 14, labelWidth, 15);
    fillButton->setGeometry(cx - 190, 40, 140, 22);
    profileCombo->setGeometry(cx - 180, 11, 150, 20);
    browser->setGeometry(10, 10, cx - 260, cy - 25);
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    if (!isMinimized()) {
        QDialog::paintEvent(event);
        return;
    }
    const int side = style()->pixelMetric(QStyle::PM_LargeIconSize);
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    icon.paint(&painter, (width() - side + 1) / 2, (height() - side + 1) / 2, side, side);
}
