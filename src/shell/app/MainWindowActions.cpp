// The main window's commands: its actions and menus, and what choosing a
// profile or a directory does.

#include "core/app/SubmissionWatch.h"
#include "core/directorydb/DirectoryProgress.h"
#include "core/fill/FillPlan.h"
#include "core/fill/FillReport.h"
#include "core/record/ProfileExtrasRecord.h"
#include "shell/app/AboutDialog.h"
#include "shell/app/DirectoryListModel.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/capture/DirectoryCapture.h"
#include "shell/common/MessageBox.h"
#include "shell/profiles/ProfileComboBox.h"

#include <QAction>
#include <QListView>
#include <QMenuBar>
#include <QStatusBar>

void MainWindow::createActions()
{
    const auto add = [this](QMenu* menu, const QString& text, const QString& name,
                         const QKeySequence& shortcut, auto slot) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    QMenu* file = menuBar()->addMenu(tr("&File"));
    add(file, tr("E&xit"), QStringLiteral("exitAction"), QKeySequence(Qt::CTRL | Qt::Key_Q),
        &MainWindow::exitWithoutSaving);

    QMenu* settingsMenu = menuBar()->addMenu(tr("&Settings"));
    add(settingsMenu, tr("&Manage Profiles"), QStringLiteral("manageProfilesAction"),
        QKeySequence(), &MainWindow::manageProfiles);
    add(settingsMenu, tr("&Update Article Directory Database"),
        QStringLiteral("updateDatabaseAction"), QKeySequence(), &MainWindow::updateDatabase);

    QMenu* directory = menuBar()->addMenu(tr("&Directory"));
    add(directory, tr("&Open Page..."), QStringLiteral("openPageAction"), QKeySequence::Open,
        [this] { capture->openPage(); });
    // Also while the page has the keyboard.
    add(directory, tr("&Next Directory Not Sent"), QStringLiteral("nextDirectoryAction"),
        QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::nextDirectory)
        ->setShortcutContext(Qt::WindowShortcut);
    directory->addSeparator();
    addPageAction = add(directory, tr("&Add This Page as a Directory..."),
        QStringLiteral("addPageAction"), QKeySequence(), [this] {
            const Profile* profile = currentProfile();
            capture->addThisPage(directoryName, profile ? profile->category : std::string(),
                profile ? profile->subcategory : std::string());
        });
    add(directory, tr("&Use Selected Text as Confirmation"), QStringLiteral("useSelectionAction"),
        QKeySequence(), [this] { capture->useSelectedText(directoryName); });
    createRecordActions(directory);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    add(help, tr("User &Guide"), QStringLiteral("userGuideAction"), QKeySequence::HelpContents,
        &MainWindow::showUserGuide);
    add(help, tr("&Support"), QStringLiteral("supportAction"), QKeySequence(),
        &MainWindow::showSupport);
    add(help, tr("&About Quillmark"), QStringLiteral("aboutAction"), QKeySequence(),
        &MainWindow::showAbout);
}

void MainWindow::showAbout()
{
    AboutDialog(this).exec();
}

void MainWindow::showUserGuide()
{
    m_browser->navigate(makerPage("/faqs/quillmarkhelp.shtml"));
}

void MainWindow::showSupport()
{
    m_browser->navigate(makerPage("/contact/"));
}

void MainWindow::reloadDirectories(const QString& name)
{
    database.LoadDatabase();
    loadDirectories();
    const int row = m_directoryModel->rowOf(name.toStdString());
    if (name.isEmpty() || row < 0)
        return;
    selectRow(row);
    chooseDirectory();
}

void MainWindow::chooseDirectory()
{
    const Profile* profile = currentProfile();
    if (!profile) {
        ShowMessageBox(this, {"Please create a profile first!", "Error", MessageIcon::Exclamation});
        return;
    }
    const int row = selectedRow();
    if (row < 0)
        return;
    directoryName = m_directoryModel->nameAt(row);
    directoryRow = row;
    const std::string address =
        database.GetDirectorySubmitPage(directoryName, profile->category, profile->subcategory);
    m_browser->navigate(address);
    autoFillPending = true;
    m_submitPending = false;
    ++watchGeneration;
}

void MainWindow::chooseProfile()
{
    if (m_profileCombo->currentIndex() < 0 && currentName)
        return;
    // The entry leads to its profile by position, whatever its text shows.
    // The chosen profile is the current one from now on, also where none
    // was selected before.
    const int position = m_profileCombo->selectedPosition();
    if (position >= 0 && std::size_t(position) < profileStore.Profiles().size())
        currentName = profileStore.Profiles()[std::size_t(position)].name;

    showProfileMarks();
    refreshSubmissions();
    if (currentName)
        chooseDirectory();
}

void MainWindow::fillCurrentPage()
{
    if (m_browser->isLoading()) {
        ShowMessageBox(this,
            {"Please allow the page to load completly", ApplicationName().toStdString(),
                MessageIcon::None});
        return;
    }
    fillPage();
}

void MainWindow::nextDirectory()
{
    const std::vector<bool>& sent = m_directoryModel->sentFlags();
    const NextDirectory next = FindNextDirectory(currentProfile() != nullptr, sent, selectedRow());
    switch (next.action) {
    case NextDirectory::Action::NoProfile:
        chooseDirectory();
        break;
    case NextDirectory::Action::AllSent:
        statusBar()->showMessage(QString::fromStdString(AllSentText(sent.size())));
        break;
    case NextDirectory::Action::Choose:
        // As a click on the entry: the list takes the keyboard, and an entry
        // chosen again opens again.
        m_directoryList->setFocus(Qt::OtherFocusReason);
        selectRow(next.row);
        m_directoryList->scrollTo(m_directoryModel->index(next.row));
        chooseDirectory();
        break;
    }
}

void MainWindow::fillPage()
{
    const Profile* profile = currentProfile();
    const unsigned load = m_browser->loadCount();
    ProfileExtras extras;
    if (SubmissionRecord* store = record(); store && profile)
        ReadProfileExtras(*store, profile->name, extras);
    m_browser->fill(BuildFillPlan(database, directoryName, profile ? *profile : Profile(), extras),
        this, [this, load](const FillReport& report) {
            if (!m_browser)
                return;
            // A page that has gone since keeps no word of this fill. The
            // keyboard follows the field the fill chose for the user.
            if (m_browser->loadCount() == load) {
                noteFill();
                statusBar()->showMessage(QString::fromStdString(FillReportText(report)));
                if (report.focused)
                    m_browser->setFocus(Qt::OtherFocusReason);
            }
            emit pageFilled(report);
        });
}

void MainWindow::checkSubmittedPage()
{
    // The answer counts only for the same choice of directory.
    const unsigned generation = watchGeneration;
    m_browser->readPageHtml(this, [this, generation](const std::string& html) {
        if (!m_browser || watchGeneration != generation)
            return;
        const std::string marker = database.GetDirectoryOnSubmit(directoryName);
        // The user's own directory waits for its confirmation text to be
        // taken from the page.
        if (marker.empty() && database.IsUserDirectory(directoryName)) {
            statusBar()->showMessage(tr("Select the confirmation text in the page, then choose "
                                        "Directory > Use Selected Text as Confirmation"));
            emit pageChecked(false);
            return;
        }
        const bool confirmed = PageConfirmsSubmission(html, marker);
        if (confirmed)
            recordSubmission();
        emit pageChecked(confirmed);
    });
}

void MainWindow::recordSubmission()
{
    if (currentName)
        profileStore.MarkSent(*currentName, directoryName);
    noteConfirmation();

    const int row = m_directoryModel->rowOf(directoryName, directoryRow);
    if (row >= 0) {
        m_directoryModel->markSent(row);
        selectRow(row);
    }
    showProgress();
    // The confirmation page stays for the user to read.
    statusBar()->showMessage(QString::fromStdString(SentText(m_directoryModel->sentFlags(), row,
        [this](int next) { return m_directoryModel->nameAt(next); })));
}
