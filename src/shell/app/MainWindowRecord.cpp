// The main window's part in the submission record: it opens the record,
// notes each fill, submission and confirmation, offers the published
// article when the browser shows it, and opens the Submissions window.

#include "core/fill/PageScripts.h"
#include "core/record/SubmissionRecord.h"
#include "core/record/SubmissionStatus.h"
#include "shell/app/DirectoryListModel.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "shell/common/MessageBox.h"
#include "shell/record/SubmissionsWindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

QString MainWindow::recordFilePath() const
{
    return QDir(settings.dataFolder).filePath(QString::fromLatin1(SubmissionRecord::fileName));
}

SubmissionsWindow* MainWindow::submissionsWindow() const
{
    return m_submissions;
}

void MainWindow::openRecord()
{
    if (!settings.wallClock)
        settings.wallClock = std::make_shared<SystemWallClock>();
    auto opened = std::make_unique<SubmissionRecord>(*settings.wallClock);
    const SubmissionRecord::Opening opening =
        opened->Open(recordFilePath().toStdString(), ApplicationName().toStdString());
    if (opening.notice)
        ShowMessageBox(this, *opening.notice);
    if (opening.result) {
        m_record = std::move(opened);
        return;
    }
    // The program goes on without a record; the file stays as it is.
    recordProblem = opening.notice.value_or(
        Message {"The submission record could not be opened: " + opening.result.Reason(),
            ApplicationName().toStdString(), MessageIcon::Error});
}

void MainWindow::createRecordActions(QMenu* menu)
{
    menu->addSeparator();
    QAction* submissions = menu->addAction(tr("&Submissions..."));
    submissions->setObjectName(QStringLiteral("submissionsAction"));
    submissions->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(submissions, &QAction::triggered, this, &MainWindow::showSubmissions);
    QAction* check = menu->addAction(tr("&Check Published Articles"));
    check->setObjectName(QStringLiteral("checkPublishedAction"));
    connect(check, &QAction::triggered, this, &MainWindow::checkPublishedArticles);
    recordPublishedAction = menu->addAction(tr("Record Page as &Published"));
    recordPublishedAction->setObjectName(QStringLiteral("recordPublishedAction"));
    recordPublishedAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    recordPublishedAction->setEnabled(false);
    connect(recordPublishedAction, &QAction::triggered, this, &MainWindow::recordPublishedPage);

    // Permanent, so that a fill's message does not hide it.
    m_publishedOffer = new QPushButton(statusBar());
    m_publishedOffer->setObjectName(QStringLiteral("publishedOffer"));
    m_publishedOffer->setFlat(true);
    m_publishedOffer->setFocusPolicy(Qt::NoFocus);
    m_publishedOffer->hide();
    statusBar()->addPermanentWidget(m_publishedOffer);
    connect(m_publishedOffer, &QPushButton::clicked, this, &MainWindow::recordPublishedPage);
    connect(m_browser, &QWebEngineView::loadStarted, this, &MainWindow::hidePublishedOffer);
}

void MainWindow::noteRecordResult(const Result& result)
{
    if (result || recordFailureShown)
        return;
    recordFailureShown = true;
    ShowMessageBox(this, RecordWriteFailureMessage(result, ApplicationName().toStdString()));
}

void MainWindow::noteFill()
{
    if (!m_record || !currentName || directoryName.empty())
        return;
    noteRecordResult(m_record->NoteFill(*currentName, directoryName));
    refreshSubmissions();
}

void MainWindow::noteSubmit()
{
    if (!m_record || !currentName || directoryName.empty())
        return;
    noteRecordResult(m_record->NoteSubmit(
        *currentName, directoryName, m_browser->url().toString().toStdString()));
    refreshSubmissions();
}

void MainWindow::noteConfirmation()
{
    if (!m_record || !currentName || directoryName.empty())
        return;
    noteRecordResult(m_record->NoteConfirmation(
        *currentName, directoryName, m_browser->url().toString().toStdString()));
    refreshSubmissions();
}

void MainWindow::refreshSubmissions()
{
    if (m_submissions)
        m_submissions->reload();
}

void MainWindow::showSubmissions()
{
    if (!m_record) {
        ShowMessageBox(this, *recordProblem);
        return;
    }
    if (!m_submissions) {
        const auto rows = [this](bool allProfiles) {
            std::vector<std::string> profiles;
            for (const Profile& profile : profileStore.Profiles()) {
                if ((allProfiles || (currentName && profile.name == *currentName)) &&
                    std::find(profiles.begin(), profiles.end(), profile.name) == profiles.end())
                    profiles.push_back(profile.name);
            }
            std::vector<std::string> directories;
            for (int row = 0; row < m_directoryModel->rowCount(); ++row)
                directories.push_back(m_directoryModel->nameAt(row));
            return SubmissionTableModel::buildRows(
                m_record.get(), profileStore, profiles, directories);
        };
        m_submissions = new SubmissionsWindow(*m_record, *settings.wallClock, rows, this);
        connect(m_submissions, &SubmissionsWindow::openRequested, this,
            &MainWindow::openFromSubmissions);
    } else {
        m_submissions->reload();
    }
    m_submissions->show();
    m_submissions->raise();
    m_submissions->activateWindow();
}

void MainWindow::checkPublishedArticles()
{
    if (!m_record) {
        ShowMessageBox(this, *recordProblem);
        return;
    }
    const Profile* profile = currentProfile();
    if (!profile) {
        ShowMessageBox(this, {"Please create a profile first!", "Error", MessageIcon::Exclamation});
        return;
    }
    showSubmissions();
    m_submissions->checkPublishedArticles(profile->name, profile->articleTitle, profile->url);
}

void MainWindow::openFromSubmissions(
    const std::string& profile, const std::string& directory, const std::string& published)
{
    std::string address = published;
    // Asking the database about a directory it does not have is an error
    // the user is told of.
    if (address.empty() && m_directoryModel->rowOf(directory) >= 0) {
        Profile found;
        profileStore.FindProfile(profile, found);
        address = database.GetDirectorySubmitPage(directory, found.category, found.subcategory);
    }
    if (address.empty())
        return;
    m_browser->navigate(address);
    raise();
    activateWindow();
}

void MainWindow::lookForPublishedPage()
{
    const Profile* profile = currentProfile();
    if (!m_record || !profile || profile->sentDirectories.empty() ||
        !m_browser->lastLoadSucceeded())
        return;
    const unsigned load = m_browser->loadCount();
    m_browser->runScript(
        QString::fromStdString(PageTextScript()), [this, load](const QVariant& text) {
            if (m_browser && m_browser->loadCount() == load)
                offerPublishedPage(text.toString().toStdString());
        });
}

void MainWindow::offerPublishedPage(const std::string& pageText)
{
    const Profile* profile = currentProfile();
    if (!m_record || !profile)
        return;
    PublishedPageQuestion question;
    question.pageAddress = m_browser->url().toString().toStdString();
    question.pageText = pageText;
    question.articleTitle = profile->articleTitle;
    // The directory chosen last first: its site is the likeliest.
    std::vector<std::string> candidates {directoryName};
    candidates.insert(
        candidates.end(), profile->sentDirectories.begin(), profile->sentDirectories.end());
    for (const std::string& directory : candidates) {
        std::optional<RecordEntry> entry;
        if (m_directoryModel->rowOf(directory) < 0 ||
            !m_record->ReadEntry(profile->name, directory, entry))
            continue;
        question.submissionPage =
            database.GetDirectorySubmitPage(directory, profile->category, profile->subcategory);
        question.formAddress = entry ? entry->formAddress : std::string();
        question.confirmationAddress = entry ? entry->confirmationAddress : std::string();
        question.publishedAddress = entry ? entry->publishedAddress : std::string();
        question.sentMark = profileStore.IsSent(profile->name, directory);
        if (IsPublishedArticlePage(question)) {
            offeredDirectory = directory;
            offeredAddress = question.pageAddress;
            m_publishedOffer->setText(
                tr("Your article on %1? Click or press Ctrl+P to record this page as published")
                    .arg(QString::fromStdString(directory)));
            m_publishedOffer->show();
            recordPublishedAction->setEnabled(true);
            return;
        }
    }
}

void MainWindow::hidePublishedOffer()
{
    offeredDirectory.clear();
    offeredAddress.clear();
    m_publishedOffer->hide();
    recordPublishedAction->setEnabled(false);
}

void MainWindow::recordPublishedPage()
{
    if (!m_record || !currentName || offeredDirectory.empty())
        return;
    const std::string directory = offeredDirectory;
    Result written = m_record->SetPublishedAddress(*currentName, directory, offeredAddress);
    if (written)
        written = m_record->SetState(*currentName, directory, SubmissionState::Published);
    noteRecordResult(written);
    hidePublishedOffer();
    if (written)
        statusBar()->showMessage(
            tr("Recorded as published on %1").arg(QString::fromStdString(directory)));
    refreshSubmissions();
}
