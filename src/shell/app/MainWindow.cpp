#include "shell/app/MainWindow.h"

#include "core/app/SubmissionWatch.h"
#include "core/directorydb/DirectoryProgress.h"
#include "core/fill/FillPlan.h"
#include "core/profiles/StateFile.h"
#include "core/record/ProfileExtrasRecord.h"
#include "core/record/SubmissionRecord.h"
#include "shell/app/DirectoryListModel.h"
#include "shell/browser/BrowserView.h"
#include "shell/capture/DirectoryCapture.h"
#include "shell/common/MessageBox.h"
#include "shell/profiles/ProfileComboBox.h"
#include "shell/profiles/ProfileManagerDialog.h"
#include "shell/profiles/SortedWidgets.h"
#include "shell/record/SubmissionsWindow.h"
#include "shell/update/UpdateDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>

#include <utility>

#ifndef QUILLMARK_SERVER_URL
#define QUILLMARK_SERVER_URL "http://127.0.0.1:8731"
#endif

namespace {

// How often a pending submission looks at its clock and at the page.
constexpr int watchIntervalMs = 100;
// The right-hand pane keeps this width; the browser takes the rest.
constexpr int sidePaneWidth = 240;

const QString geometryKey = QStringLiteral("MainWindow/geometry");

} // namespace

MainWindow::Settings MainWindow::Settings::defaults()
{
    Settings settings;
    settings.serverUrl = QStringLiteral(QUILLMARK_SERVER_URL);
    settings.dataFolder = QCoreApplication::applicationDirPath();
    settings.clock = std::make_shared<SteadyClock>();
    settings.wallClock = std::make_shared<SystemWallClock>();
    return settings;
}

MainWindow::MainWindow(Settings settings, QWidget* parent)
    : QMainWindow(parent)
    , settings(std::move(settings))
    , messages(std::make_unique<MessageBoxSink>())
    , database(*messages)
{
    if (!this->settings.clock)
        this->settings.clock = std::make_shared<SteadyClock>();
    while (this->settings.serverUrl.endsWith(QLatin1Char('/')))
        this->settings.serverUrl.chop(1);

    setWindowTitle(tr("Quillmark V1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/quillmark.png")));
    createWidgets();
    createActions();

    loadStateFile();
    openRecord();
    fillProfileCombo();
    database.SetDatabasePath(databasePath().toStdString());
    database.SetUserDatabasePath(userDatabasePath().toStdString());
    database.LoadDatabase();
    loadDirectories();

    m_browser->navigate(makerPage("/updates/"));

    // Selection, not the current row: the list gives itself a current row
    // when it takes the focus, and that is no choice of the user's.
    connect(m_directoryList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &MainWindow::chooseDirectory);
    connect(m_profileCombo, &QComboBox::currentIndexChanged, this, &MainWindow::chooseProfile);
    connect(m_fillButton, &QPushButton::clicked, this, &MainWindow::fillCurrentPage);
    connect(m_nextButton, &QPushButton::clicked, this, &MainWindow::nextDirectory);
    connect(m_browser, &BrowserView::pageComplete, this, &MainWindow::onPageComplete);
    // What a fill said belongs to its page alone.
    connect(m_browser, &QWebEngineView::loadStarted, statusBar(), &QStatusBar::clearMessage);

    watchTimer.setInterval(watchIntervalMs);
    connect(&watchTimer, &QTimer::timeout, this, &MainWindow::onWatchTick);

    capture = new DirectoryCapture(*m_browser, database, *this);
    capture->enableWhileAPageIsShown(*addPageAction);
    connect(capture, &DirectoryCapture::directorySaved, this, &MainWindow::reloadDirectories);
    connect(capture, &DirectoryCapture::directoryRemoved, this, [this] { reloadDirectories({}); });
    connect(capture, &DirectoryCapture::confirmationSaved, this, [this] {
        database.LoadDatabase();
        checkSubmittedPage();
    });

    resize(927, 700);
    restoreGeometry(QSettings().value(geometryKey).toByteArray());
    // The window opens with the keyboard on the list, not in the page being
    // loaded.
    m_directoryList->setFocus();
    // Said once, as soon as the window runs; an update says it again.
    QTimer::singleShot(0, this, &MainWindow::checkServerUrl);
}

MainWindow::~MainWindow()
{
    // Deleting the page runs the callbacks of its pending scripts and page
    // requests: they must find the browser gone, not this window's members
    // half destroyed.
    watchTimer.stop();
    ++watchGeneration;
    delete std::exchange(m_browser, nullptr);
    // It works on the record, which goes before this window's children do.
    delete m_submissions;
}

void MainWindow::createWidgets()
{
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    // Made in tab order.
    m_browser = new BrowserView(central);
    m_browser->setMinimumSize(320, 240);
    m_browser->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(m_browser, 1);

    auto* side = new QWidget(central);
    side->setFixedWidth(sidePaneWidth);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* profileRow = new QHBoxLayout;
    auto* profileLabel = new QLabel(tr("Profile:"), side);
    m_profileCombo = new ProfileComboBox(side);
    m_profileCombo->setObjectName(QStringLiteral("profileCombo"));
    profileLabel->setBuddy(m_profileCombo);
    profileRow->addWidget(profileLabel);
    profileRow->addWidget(m_profileCombo, 1);
    sideLayout->addLayout(profileRow);
    m_fillButton = new QPushButton(tr("&Fill current page"), side);
    m_fillButton->setObjectName(QStringLiteral("fillButton"));
    // Alt+F belongs to the File menu. Two owners of one mnemonic take turns,
    // so the first Alt+F would only have moved the focus to this button.
    m_fillButton->setShortcut(QKeySequence());
    sideLayout->addWidget(m_fillButton);
    m_directoryModel = new DirectoryListModel(this);
    m_directoryList = new QListView(side);
    m_directoryList->setObjectName(QStringLiteral("directoryList"));
    m_directoryList->setModel(m_directoryModel);
    m_directoryList->setUniformItemSizes(true);
    m_directoryList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_directoryList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SelectWithKeys(m_directoryList);
    sideLayout->addWidget(m_directoryList, 1);
    m_nextButton = new QPushButton(tr("&Next Directory Not Sent"), side);
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    sideLayout->addWidget(m_nextButton);
    layout->addWidget(side);
    setCentralWidget(central);

    // A normal widget of the status line: a message hides it while shown.
    m_progressLabel = new QLabel(statusBar());
    statusBar()->addWidget(m_progressLabel, 1);

    m_browser->setFormSubmitSink(*this);
    m_browser->showBundledPagesFor(settings.serverUrl.toStdString());
}

QString MainWindow::stateFilePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("sv.dat"));
}

QString MainWindow::databasePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("dirdata.xml"));
}

QString MainWindow::userDatabasePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("mydirdata.xml"));
}

const Profile* MainWindow::currentProfile() const
{
    if (!currentName)
        return nullptr;
    const int index = profileStore.IndexOf(*currentName);
    return index < 0 ? nullptr : &profileStore.Profiles()[std::size_t(index)];
}

void MainWindow::loadStateFile()
{
    // A file that was not read whole is copied aside here, before the first
    // save can write over it.
    const StateFileLoad load =
        LoadStateFile(stateFilePath().toStdString(), profileStore, ApplicationName().toStdString());
    if (!load.opened)
        return;
    Profile selected;
    if (SelectSavedProfile(profileStore, load.read.selectedName, selected))
        currentName = selected.name;
    if (load.notice)
        ShowMessageBox(this, *load.notice);
}

void MainWindow::fillProfileCombo()
{
    m_profileCombo->fill(
        profileStore.Profiles(), currentName ? profileStore.IndexOf(*currentName) : -1);
}

std::string MainWindow::makerPage(const char* path) const
{
    return (settings.serverUrl + QLatin1String(path)).toStdString();
}

void MainWindow::loadDirectories()
{
    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    m_directoryModel->setDirectories(std::move(names));
    showProfileMarks();
}

void MainWindow::showProfileMarks()
{
    m_directoryModel->setProfile(profileStore, currentName ? &*currentName : nullptr);
    showProgress();
}

void MainWindow::showProgress()
{
    m_progressLabel->setText(QString::fromStdString(
        ProgressText(m_directoryModel->hasProfile(), m_directoryModel->sentFlags())));
}

int MainWindow::selectedRow() const
{
    const QModelIndexList selected = m_directoryList->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void MainWindow::selectRow(int row)
{
    const QSignalBlocker blocker(m_directoryList->selectionModel());
    const QModelIndex index = m_directoryModel->index(row);
    m_directoryList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    // The blocked selection change leaves the view to repaint itself.
    m_directoryList->viewport()->update();
}

void MainWindow::writeStateFile()
{
    const std::optional<Message> failure = SaveStateFile(
        stateFilePath().toStdString(), profileStore, currentName ? &*currentName : nullptr);
    if (failure)
        ShowMessageBox(this, *failure);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    QSettings().setValue(geometryKey, saveGeometry());
    if (!exitRequested)
        writeStateFile();
    QMainWindow::closeEvent(event);
}

void MainWindow::exitWithoutSaving()
{
    exitRequested = true;
    close();
}

void MainWindow::OnFormSubmit()
{
    m_submitPending = true;
    m_submitTime = settings.clock->Milliseconds();
    watchTimer.start();
    noteSubmit();
}

void MainWindow::onPageComplete()
{
    if (autoFillPending) {
        autoFillPending = false;
        fillPage();
    }
    onWatchTick();
    lookForPublishedPage();
}

void MainWindow::onWatchTick()
{
    if (!m_submitPending) {
        watchTimer.stop();
        return;
    }
    // The flag is cleared before the page is taken, so that a tick that
    // comes while a message box of the check is open does not start the
    // same work again.
    if (SubmissionCheckDue(settings.clock->Milliseconds(), m_submitTime) &&
        !m_browser->isLoading()) {
        m_submitPending = false;
        watchTimer.stop();
        checkSubmittedPage();
    }
}

void MainWindow::manageProfiles()
{
    ProfileManagerDialog manager(profileStore, this);
    manager.setRecord(record());
    manager.exec();
    // The current profile stays while a profile of its name is left.
    Profile current;
    current.name = currentName.value_or(std::string());
    if (ReselectProfile(profileStore, currentName.has_value(), current))
        currentName = current.name;
    else
        currentName.reset();
    fillProfileCombo();
    chooseProfile();
    writeStateFile();
}

bool MainWindow::checkServerUrl()
{
    const std::string url = settings.serverUrl.toStdString();
    if (!IsServerUrlSupported(url))
        ShowMessageBox(this, UnsupportedServerMessage(url));
    return IsServerUrlSupported(url);
}

void MainWindow::updateDatabase()
{
    if (!checkServerUrl())
        return;
    UpdateDialog dialog(makerPage("/updates/quillmarkdemo.xml"), databasePath().toStdString(),
        settings.updateOptions, this);
    // Only the update's own answer counts: a wait that ended in any other
    // way changes nothing, and a cancelled update says nothing either.
    dialog.exec();
    const int code = dialog.exitCode().value_or(UpdateCancelled);
    if (code != UpdateSucceeded) {
        if (const std::optional<Message> failure = UpdateFailureMessage(code))
            ShowMessageBox(this, *failure);
        return;
    }

    m_browser->navigate("about:blank");
    database.LoadDatabase();
    loadDirectories();
    ShowMessageBox(this, {"Update successful", "Update", MessageIcon::None});
}
