// The main window's menu and the commands that only hand on to another
// part: the part of MainWindow that the menu bar reaches.

#include "shell/app/AboutDialog.h"
#include "shell/app/DirectoryListBox.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/capture/DirectoryCapture.h"

#include <QLayout>
#include <QMenuBar>

void MainWindow::CreateMenu()
{
    struct Item
    {
        const char* menu;
        const char* text;
        Command id;
        void (MainWindow::*handler)();
    };
    static const Item items[] = {
        {QT_TR_NOOP("&File"), QT_TR_NOOP("&Open Page..."), OpenPageCommand,
            &MainWindow::OnOpenPage},
        {QT_TR_NOOP("&File"), QT_TR_NOOP("E&xit"), ExitCommand, &MainWindow::OnExit},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Manage Profiles"), ManageProfilesCommand,
            &MainWindow::OnManageProfiles},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Update Article Directory Database"),
            UpdateDatabaseCommand, &MainWindow::UpdateDatabase},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("&Next Directory Not Sent"), NextDirectoryCommand,
            &MainWindow::OnNextDirectory},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Add This Page as a Directory..."),
            AddDirectoryCommand, &MainWindow::OnAddThisPage},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Use Selected Text as Confirmation"),
            UseSelectionCommand, &MainWindow::OnUseSelectedText},
        {QT_TR_NOOP("&Help"), QT_TR_NOOP("User Guide"), UserGuideCommand, &MainWindow::OnUserGuide},
        {QT_TR_NOOP("&Help"), QT_TR_NOOP("Support"), SupportCommand, &MainWindow::OnSupport},
        {QT_TR_NOOP("&Help"), QT_TR_NOOP("&About Quillmark"), AboutCommand, &MainWindow::OnAbout},
    };
    auto* menuBar = new QMenuBar(this);
    layout()->setMenuBar(menuBar);
    QMenu* menu = nullptr;
    for (const Item& item : items) {
        if (!menu || menu->title() != tr(item.menu))
            menu = menuBar->addMenu(tr(item.menu));
        QAction* action = menu->addAction(tr(item.text));
        action->setData(int(item.id));
        if (item.id == NextDirectoryCommand) {
            // Also while the page has the keyboard.
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this, item.handler);
        if (item.id == AddDirectoryCommand)
            addPageAction = action;
    }
}

void MainWindow::OnOpenPage()
{
    capture->OpenPage();
}

void MainWindow::OnAddThisPage()
{
    capture->AddThisPage(directoryName, currentProfile.category, currentProfile.subcategory);
}

void MainWindow::OnUseSelectedText()
{
    capture->UseSelectedText(directoryName);
}

void MainWindow::ReloadDirectories(const QString& name)
{
    database.LoadDatabase();
    FillDirectoryList();
    const int row = directoryList->RowOf(name.toStdString(), -1);
    if (name.isEmpty() || row < 0)
        return;
    directoryList->SelectRow(row);
    OnDirectorySelChange();
}

void MainWindow::OnExit()
{
    // Leaves without writing the state file.
    done(0);
}

void MainWindow::OnAbout()
{
    AboutDialog(this).exec();
}

void MainWindow::OnUserGuide()
{
    browser->Navigate(MakerPage("/faqs/quillmarkhelp.shtml"));
}

void MainWindow::OnSupport()
{
    browser->Navigate(MakerPage("/contact/"));
}
