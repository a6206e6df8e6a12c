#include "shell/app/MainWindow.h"

#include "core/app/SubmissionWatch.h"
#include "core/directorydb/DirectoryProgress.h"
#include "core/fill/FillPlan.h"
#include "core/profiles/StateFile.h"
#include "shell/app/DirectoryListBox.h"
#include "shell/browser/BrowserView.h"
#include "shell/capture/DirectoryCapture.h"
#include "shell/common/MessageBox.h"
#include "shell/profiles/ProfileComboBox.h"
#include "shell/update/UpdateDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <utility>

#ifndef QUILLMARK_SERVER_URL
#define QUILLMARK_SERVER_URL "http://127.0.0.1:8731"
#endif

namespace {

// Initial client size: the window's layout was drawn for this size.
constexpr QSize initialClientSize(927, 645);

} // namespace

MainWindow::Settings MainWindow::Settings::Defaults()
{
    Settings settings;
    settings.serverUrl = QStringLiteral(QUILLMARK_SERVER_URL);
    settings.dataFolder = QCoreApplication::applicationDirPath();
    settings.clock = std::make_shared<SteadyClock>();
    return settings;
}

MainWindow::MainWindow(Settings settings, QWidget* parent)
    : QDialog(parent)
    , settings(std::move(settings))
    , messages(std::make_unique<MessageBoxSink>())
    , icon(QStringLiteral(":/quillmark.png"))
    , profileManager(this)
    , database(*messages)
{
    if (!this->settings.clock)
        this->settings.clock = std::make_shared<SteadyClock>();
    while (this->settings.serverUrl.endsWith(QLatin1Char('/')))
        this->settings.serverUrl.chop(1);
    OnInitDialog();
    // Said once, as soon as the window runs; Update says it again.
    QTimer::singleShot(0, this, &MainWindow::CheckServerUrl);
}

MainWindow::~MainWindow()
{
    // Deleting the page runs the callbacks of its pending scripts and page
    // requests: they must find the browser gone, not this window's members
    // half destroyed.
    timer->stop();
    ++watchGeneration;
    delete std::exchange(browser, nullptr);
}

QString MainWindow::StateFilePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("sv.dat"));
}

QString MainWindow::DatabasePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("dirdata.xml"));
}

QString MainWindow::UserDatabasePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("mydirdata.xml"));
}

void MainWindow::OnInitDialog()
{
    setWindowTitle(tr("Quillmark V1.0"));
    setWindowIcon(icon);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
        Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenu();

    LoadState();
    FillProfileCombo();

    database.SetDatabasePath(DatabasePath().toStdString());
    database.SetUserDatabasePath(UserDatabasePath().toStdString());
    database.LoadDatabase();
    FillDirectoryList();

    browser->Navigate(MakerPage("/updates/"));

    // Selection, not the current row: the list gives itself a current row
    // when it takes the focus, and that is no choice of the user's.
    connect(
        directoryList, &QListWidget::itemSelectionChanged, this, &MainWindow::OnDirectorySelChange);
    connect(profileCombo, &QComboBox::currentIndexChanged, this, &MainWindow::OnProfileSelChange);
    connect(fillButton, &QPushButton::clicked, this, &MainWindow::OnFillCurrentPage);
    connect(nextButton, &QPushButton::clicked, this, &MainWindow::OnNextDirectory);
    // What a fill said belongs to its page alone.
    connect(browser, &QWebEngineView::loadStarted, statusLine, &QStatusBar::clearMessage);

    capture = new DirectoryCapture(*browser, database, *this);
    capture->EnableWhileAPageIsShown(*addPageAction);
    connect(capture, &DirectoryCapture::directorySaved, this, &MainWindow::ReloadDirectories);
    connect(capture, &DirectoryCapture::directoryRemoved, this, [this] { ReloadDirectories({}); });
    connect(capture, &DirectoryCapture::confirmationSaved, this, [this] {
        database.LoadDatabase();
        CheckSubmittedPage();
    });

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &MainWindow::OnTimer);
    timer->start(100);

    resize(initialClientSize.width(),
        initialClientSize.height() + layout()->menuBar()->sizeHint().height() +
            statusLine->sizeHint().height());
    // The window opens with the keyboard on the list, as a dialog's first
    // list would have it, not in the page being loaded.
    directoryList->setFocus();
}

void MainWindow::LoadState()
{
    // A file that was not read whole is copied aside here, before the first
    // save can write over it.
    const StateFileLoad load = LoadStateFile(
        StateFilePath().toStdString(), profileManager, ApplicationName().toStdString());
    if (!load.opened)
        return;
    hasCurrentProfile = SelectSavedProfile(profileManager, load.read.selectedName, currentProfile);
    if (load.notice)
        ShowMessageBox(this, *load.notice);
}

void MainWindow::FillProfileCombo()
{
    profileCombo->Fill(profileManager.Profiles(),
        hasCurrentProfile ? profileManager.IndexOf(currentProfile.name) : -1);
}

std::string MainWindow::MakerPage(const char* path) const
{
    return (settings.serverUrl + QLatin1String(path)).toStdString();
}

void MainWindow::FillDirectoryList()
{
    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    directoryList->Fill(names, hasCurrentProfile, [this](const std::string& name) {
        return profileManager.IsSent(currentProfile.name, name);
    });
    ShowProgress();
}

void MainWindow::ShowProgress()
{
    progressLabel->setText(
        QString::fromStdString(ProgressText(hasCurrentProfile, directoryList->SentMarks())));
}

void MainWindow::SaveState()
{
    const std::optional<Message> failure = SaveStateFile(StateFilePath().toStdString(),
        profileManager, hasCurrentProfile ? &currentProfile.name : nullptr);
    if (failure)
        ShowMessageBox(this, *failure);
}

void MainWindow::OnFormSubmit()
{
    submitPending = true;
    submitTime = settings.clock->Milliseconds();
}

void MainWindow::OnTimer()
{
    // Each flag is cleared before its page is taken, so that a tick that
    // comes while a message box of the fill or the check is open does not
    // start the same work again.
    if (autoFillPending && browser->GetReadyState() == BrowserView::Complete) {
        autoFillPending = false;
        FillPage();
    }
    if (submitPending && SubmissionCheckDue(settings.clock->Milliseconds(), submitTime) &&
        browser->GetReadyState() == BrowserView::Complete) {
        submitPending = false;
        CheckSubmittedPage();
    }
}

void MainWindow::OnManageProfiles()
{
    profileManager.DoModal();
    hasCurrentProfile = ReselectProfile(profileManager, hasCurrentProfile, currentProfile);

    FillProfileCombo();
    // Edits made in the manager reach the working copy.
    if (hasCurrentProfile)
        profileManager.FindProfile(currentProfile.name, currentProfile);
    OnProfileSelChange();
    SaveState();
}

bool MainWindow::CheckServerUrl()
{
    const std::string url = settings.serverUrl.toStdString();
    if (!IsServerUrlSupported(url))
        ShowMessageBox(this, UnsupportedServerMessage(url));
    return IsServerUrlSupported(url);
}

void MainWindow::UpdateDatabase()
{
    if (!CheckServerUrl())
        return;
    UpdateDialog dialog(MakerPage("/updates/quillmarkdemo.xml"), DatabasePath().toStdString(),
        settings.updateOptions, this);
    // Only the update's own answer counts: a wait that ended in any other
    // way changes nothing, and a cancelled update says nothing either.
    dialog.exec();
    const int code = dialog.ExitCode().value_or(UpdateCancelled);
    if (code != UpdateSucceeded) {
        if (const std::optional<Message> failure = UpdateFailureMessage(code))
            ShowMessageBox(this, *failure);
        return;
    }

    browser->Navigate("about:blank");
    database.LoadDatabase();
    FillDirectoryList();
    ShowMessageBox(this, {"Update successful", "Update", MessageIcon::None});
}

void MainWindow::OnDirectorySelChange()
{
    if (!hasCurrentProfile) {
        ShowMessageBox(this, {"Please create a profile first!", "Error", MessageIcon::Exclamation});
        return;
    }
    const int row = directoryList->SelectedRow();
    if (row < 0)
        return;
    directoryName = directoryList->DirectoryNameAt(row);
    directoryRow = row;
    const std::string address = database.GetDirectorySubmitPage(
        directoryName, currentProfile.category, currentProfile.subcategory);
    browser->Navigate(address);
    autoFillPending = true;
    submitPending = false;
    ++watchGeneration;
}

void MainWindow::OnProfileSelChange()
{
    if (profileCombo->currentIndex() < 0 && hasCurrentProfile)
        return;
    // The entry leads to its profile by position, whatever its text shows.
    // The chosen profile is the current one from now on, also where none
    // was selected before.
    const int position = profileCombo->SelectedPosition();
    if (position >= 0 && std::size_t(position) < profileManager.Profiles().size()) {
        currentProfile = profileManager.Profiles()[std::size_t(position)];
        hasCurrentProfile = true;
    }

    const int selected = directoryList->SelectedRow();
    FillDirectoryList();
    directoryList->SelectRow(selected);
    if (hasCurrentProfile)
        OnDirectorySelChange();
}

void MainWindow::OnFillCurrentPage()
{
    if (browser->GetReadyState() != BrowserView::Complete) {
        ShowMessageBox(this,
            {"Please allow the page to load completly", ApplicationName().toStdString(),
                MessageIcon::None});
        return;
    }
    FillPage();
}

void MainWindow::OnNextDirectory()
{
    const std::vector<bool> sent = directoryList->SentMarks();
    const NextDirectory next =
        FindNextDirectory(hasCurrentProfile, sent, directoryList->SelectedRow());
    switch (next.action) {
    case NextDirectory::Action::NoProfile:
        OnDirectorySelChange();
        break;
    case NextDirectory::Action::AllSent:
        statusLine->showMessage(QString::fromStdString(AllSentText(sent.size())));
        break;
    case NextDirectory::Action::Choose:
        // As a click on the entry: the list takes the keyboard, and an entry
        // chosen again opens again.
        directoryList->setFocus(Qt::OtherFocusReason);
        directoryList->SelectRow(next.row);
        directoryList->scrollToItem(directoryList->item(next.row));
        OnDirectorySelChange();
        break;
    }
}

void MainWindow::FillPage()
{
    const unsigned load = browser->LoadCount();
    browser->Fill(BuildFillPlan(database, directoryName, currentProfile), this,
        [this, load](const FillReport& report) {
            if (!browser)
                return;
            // A page that has gone since keeps no word of this fill. The
            // keyboard follows the field the fill chose for the user.
            if (browser->LoadCount() == load) {
                statusLine->showMessage(QString::fromStdString(FillReportText(report)));
                if (report.focused)
                    browser->setFocus(Qt::OtherFocusReason);
            }
            emit pageFilled(report);
        });
}

void MainWindow::CheckSubmittedPage()
{
    // The answer counts only for the same choice of directory.
    const unsigned generation = watchGeneration;
    browser->ReadPageHtml(this, [this, generation](const std::string& html) {
        if (!browser || watchGeneration != generation)
            return;
        const std::string marker = database.GetDirectoryOnSubmit(directoryName);
        // The user's own directory waits for its confirmation text to be
        // taken from the page.
        if (marker.empty() && database.IsUserDirectory(directoryName)) {
            statusLine->showMessage(tr("Select the confirmation text in the page, then choose "
                                       "Settings > Use Selected Text as Confirmation"));
            emit pageChecked(false);
            return;
        }
        const bool confirmed = PageConfirmsSubmission(html, marker);
        if (confirmed)
            RecordSubmission();
        emit pageChecked(confirmed);
    });
}

void MainWindow::RecordSubmission()
{
    profileManager.MarkSent(currentProfile.name, directoryName);

    const int row = directoryList->RowOf(directoryName, directoryRow);
    if (row >= 0)
        directoryList->MarkSent(row);
    ShowProgress();
    // The confirmation page stays for the user to read.
    statusLine->showMessage(QString::fromStdString(SentText(directoryList->SentMarks(), row,
        [this](int next) { return directoryList->DirectoryNameAt(next); })));
}

void MainWindow::accept()
{
    SaveState();
    QDialog::accept();
}

void MainWindow::reject()
{
    SaveState();
    QDialog::reject();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape and Enter never close the main window.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}
