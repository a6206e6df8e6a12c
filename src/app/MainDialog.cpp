#include "app/MainDialog.h"

#include "app/AboutDialog.h"
#include "app/DirectoryListBox.h"
#include "app/MessageBox.h"
#include "app/SubmissionWatch.h"
#include "browser/CBrowserCtrl.h"
#include "fill/FillPlan.h"
#include "profiles/ProfileComboBox.h"
#include "profiles/StateFile.h"
#include "update/CUpdateDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#ifndef QUILLMARK_SERVER_URL
#define QUILLMARK_SERVER_URL "http://127.0.0.1:8731"
#endif

namespace {

// Initial client size: the window's layout was drawn for this size.
constexpr QSize initialClientSize(927, 645);
} // namespace

MainDialog::Settings MainDialog::Settings::Defaults()
{
    Settings settings;
    settings.serverUrl = QStringLiteral(QUILLMARK_SERVER_URL);
    settings.dataFolder = QCoreApplication::applicationDirPath();
    settings.clock = std::make_shared<SteadyClock>();
    return settings;
}

MainDialog::MainDialog(Settings settings, QWidget* parent)
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
    QTimer::singleShot(0, this, &MainDialog::CheckServerUrl);
}

MainDialog::~MainDialog()
{
    // Deleting the page runs the callbacks of its pending scripts and page
    // requests: they must find the browser gone, not this window's members
    // half destroyed.
    timer->stop();
    ++watchGeneration;
    delete std::exchange(browser, nullptr);
}

QString MainDialog::StateFilePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("sv.dat"));
}

QString MainDialog::DatabasePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("dirdata.xml"));
}

QString MainDialog::UserDatabasePath() const
{
    return QDir(settings.dataFolder).filePath(QStringLiteral("mydirdata.xml"));
}

void MainDialog::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* client = new QWidget(this);
    layout->addWidget(client, 1);
    // Below the client area, so that OnSize places the controls as before.
    statusLine = new QStatusBar(this);
    layout->addWidget(statusLine);

    // Created in tab order; OnSize() places them.
    browser = new CBrowserCtrl(client);
    directoryList = new DirectoryListBox(client);
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
        {QT_TR_NOOP("&File"), QT_TR_NOOP("E&xit"), ExitCommand, &MainDialog::OnExit},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Manage Profiles"), ManageProfilesCommand,
            &MainDialog::OnManageProfiles},
        {QT_TR_NOOP("&Settings"), QT_TR_NOOP("Update Article Directory Database"),
            UpdateDatabaseCommand, &MainDialog::UpdateDatabase},
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
        connect(action, &QAction::triggered, this, item.handler);
    }
}

void MainDialog::OnInitDialog()
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
        directoryList, &QListWidget::itemSelectionChanged, this, &MainDialog::OnDirectorySelChange);
    connect(profileCombo, &QComboBox::currentIndexChanged, this, &MainDialog::OnProfileSelChange);
    connect(fillButton, &QPushButton::clicked, this, &MainDialog::OnFillCurrentPage);
    // What a fill said belongs to its page alone.
    connect(browser, &QWebEngineView::loadStarted, statusLine, &QStatusBar::clearMessage);

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &MainDialog::OnTimer);
    timer->start(100);

    resize(initialClientSize.width(),
        initialClientSize.height() + layout()->menuBar()->sizeHint().height() +
            statusLine->sizeHint().height());
    // The window opens with the keyboard on the list, as a dialog's first
    // list would have it, not in the page being loaded.
    directoryList->setFocus();
}

void MainDialog::LoadState()
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

void MainDialog::FillProfileCombo()
{
    profileCombo->Fill(profileManager.Profiles(),
        hasCurrentProfile ? profileManager.IndexOf(currentProfile.name) : -1);
}

std::string MainDialog::MakerPage(const char* path) const
{
    return (settings.serverUrl + QLatin1String(path)).toStdString();
}

void MainDialog::FillDirectoryList()
{
    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    directoryList->Fill(names, hasCurrentProfile, [this](const std::string& name) {
        return profileManager.IsSent(currentProfile.name, name);
    });
}

void MainDialog::SaveState()
{
    const std::optional<Message> failure = SaveStateFile(StateFilePath().toStdString(),
        profileManager, hasCurrentProfile ? &currentProfile.name : nullptr);
    if (failure)
        ShowMessageBox(this, *failure);
}

void MainDialog::OnFormSubmit()
{
    submitPending = true;
    submitTime = settings.clock->Milliseconds();
}

void MainDialog::OnTimer()
{
    // Each flag is cleared before its page is taken, so that a tick that
    // comes while a message box of the fill or the check is open does not
    // start the same work again.
    if (autoFillPending && browser->GetReadyState() == CBrowserCtrl::Complete) {
        autoFillPending = false;
        FillPage();
    }
    if (submitPending && SubmissionCheckDue(settings.clock->Milliseconds(), submitTime) &&
        browser->GetReadyState() == CBrowserCtrl::Complete) {
        submitPending = false;
        CheckSubmittedPage();
    }
}

void MainDialog::OnManageProfiles()
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

bool MainDialog::CheckServerUrl()
{
    const std::string url = settings.serverUrl.toStdString();
    if (!IsServerUrlSupported(url))
        ShowMessageBox(this, UnsupportedServerMessage(url));
    return IsServerUrlSupported(url);
}

void MainDialog::UpdateDatabase()
{
    if (!CheckServerUrl())
        return;
    CUpdateDialog dialog(MakerPage("/updates/quillmarkdemo.xml"), DatabasePath().toStdString(),
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

void MainDialog::OnDirectorySelChange()
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

void MainDialog::OnProfileSelChange()
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

void MainDialog::OnFillCurrentPage()
{
    if (browser->GetReadyState() != CBrowserCtrl::Complete) {
        ShowMessageBox(this,
            {"Please allow the page to load completly", ApplicationName().toStdString(),
                MessageIcon::None});
        return;
    }
    FillPage();
}

void MainDialog::FillPage()
{
    const unsigned load = browser->LoadCount();
    browser->Fill(BuildFillPlan(database, directoryName, currentProfile), this,
        [this, load](const FillReport& report) {
            if (!browser)
                return;
            // A page that has gone since keeps no word of this fill.
            if (browser->LoadCount() == load)
                statusLine->showMessage(QString::fromStdString(FillReportText(report)));
            emit pageFilled(report);
        });
}

void MainDialog::CheckSubmittedPage()
{
    // The answer counts only for the same choice of directory.
    const unsigned generation = watchGeneration;
    browser->ReadPageHtml(this, [this, generation](const std::string& html) {
        if (!browser || watchGeneration != generation)
            return;
        const bool confirmed =
            PageConfirmsSubmission(html, database.GetDirectoryOnSubmit(directoryName));
        if (confirmed)
            RecordSubmission();
        emit pageChecked(confirmed);
    });
}

void MainDialog::RecordSubmission()
{
    profileManager.MarkSent(currentProfile.name, directoryName);

    const int row = directoryList->RowOf(directoryName, directoryRow);
    if (row >= 0)
        directoryList->MarkSent(row);
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Resizes of the client area reach the window's layout code.
    if (event->type() == QEvent::Resize && watched == browser->parentWidget())
        OnSize(browser->parentWidget()->width(), browser->parentWidget()->height());
    return QDialog::eventFilter(watched, event);
}

void MainDialog::OnSize(int cx, int cy)
{
    if (!directoryList)
        return;
    directoryList->setGeometry(cx - 235, 70, 220, cy - 85);
    // 35 pixels held the label in the font the layout was drawn for; a
    // larger font may take up to the combo box's left edge.
    const int labelWidth = std::clamp(profileLabel->sizeHint().width(), 35, 50);
    profileLabel->setGeometry(cx - 230, 14, labelWidth, 15);
    fillButton->setGeometry(cx - 190, 40, 140, 22);
    profileCombo->setGeometry(cx - 180, 11, 150, 20);
    browser->setGeometry(10, 10, cx - 260, cy - 25);
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

void MainDialog::accept()
{
    SaveState();
    QDialog::accept();
}

void MainDialog::reject()
{
    SaveState();
    QDialog::reject();
}

void MainDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape and Enter never close the main window.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

void MainDialog::paintEvent(QPaintEvent* event)
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
