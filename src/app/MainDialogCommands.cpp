// The main window's menu and the commands that only hand on to another
// part: the part of MainDialog that the menu bar reaches.

#include "app/AboutDialog.h"
#include "app/DirectoryListBox.h"
#include "app/MainDialog.h"
#include "browser/CBrowserCtrl.h"
#include "capture/DirectoryCapture.h"

#include <QLayout>
#include <QMenuBar>

void MainDialog::CreateMenu()
{
    struct Item
    {
        const char* menu;
        const char* text;
        Command id;
        void (MainDialog::*handler)();
    };
    static const Item items[] = {
        {QT_TR_NOOP("&File"), QT_TR_NOOP("&Open Page..."), OpenPageCommand,
            &MainDialog::OnOpenPage},
        {QT_TR_NOOP("&File"), QT_TR_NOOP("E&xit"), ExitCommand, &MainDialog::OnExit},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Manage Profiles"), ManageProfilesCommand,
            &MainDialog::OnManageProfiles},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Update Article Directory Database"),
            UpdateDatabaseCommand, &MainDialog::UpdateDatabase},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("&Next Directory Not Sent"), NextDirectoryCommand,
            &MainDialog::OnNextDirectory},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Add This Page as a Directory..."),
            AddDirectoryCommand, &MainDialog::OnAddThisPage},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Use Selected Text as Confirmation"),
            UseSelectionCommand, &MainDialog::OnUseSelectedText},
        {QT_TR_NOOP("&Help"), QT_TR_NOOP("User Guide"), UserGuideCommand, &MainDialog::OnUserGuide},
        {QT_TR_NOOP("&Help"), QT_TR_NOOP("Support"), SupportCommand, &MainDialog::OnSupport},
        {QT_TR_NOOP("&Help"), QT_TR_NOOP("&About Quillmark"), AboutCommand, &MainDialog::OnAbout},
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

void MainDialog::OnOpenPage()
{
    capture->OpenPage();
}

void MainDialog::OnAddThisPage()
{
    capture->AddThisPage(directoryName, currentProfile.category, currentProfile.subcategory);
}

void MainDialog::OnUseSelectedText()
{
    capture->UseSelectedText(directoryName);
}

void MainDialog::ReloadDirectories(const QString& name)
{
    database.LoadDatabase();
    FillDirectoryList();
    const int row = directoryList->RowOf(name.toStdString(), -1);
    if (name.isEmpty() || row < 0)
        return;
    directoryList->SelectRow(row);
    OnDirectorySelChange();
}

void MainDialog::OnExit()
{
    // Leaves without writing the state file.
    done(0);
}

void MainDialog::OnAbout()
{
    AboutDialog(this).exec();
}

void MainDialog::OnUserGuide()
{
    browser->Navigate(MakerPage("/faqs/quillmarkhelp.shtml"));
}

void MainDialog::OnSupport()
{
    browser->Navigate(MakerPage("/contact/"));
}
