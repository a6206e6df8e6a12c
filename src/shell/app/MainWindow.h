#pragma once

#include "core/common/Clock.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/FillReport.h"
#include "core/fill/FormSubmitSink.h"
#include "core/profiles/Profile.h"
#include "core/update/DatabaseDownload.h"
#include "shell/profiles/ProfileManagerDialog.h"

#include <QDialog>
#include <QIcon>

#include <cstdint>
#include <memory>

class BrowserView;
class DirectoryCapture;
class DirectoryListBox;
class ProfileComboBox;
class MessageBoxSink;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTimer;

// The main window: the browser on the left, the profile selector, the Fill
// button, the directory list and the Next button on the right, and below
// them a status line that says what the last fill of the page shown did, or
// else how far the current profile has come through the list.
class MainWindow : public QDialog, public FormSubmitSink
{
    Q_OBJECT

public:
    // Menu command ids.
    enum Command
    {
        ExitCommand = 32771,
        AboutCommand = 32772,
        ManageProfilesCommand = 32773,
        UpdateDatabaseCommand = 32774,
        UserGuideCommand = 32775,
        SupportCommand = 32776,
        AddDirectoryCommand = 32777,
        UseSelectionCommand = 32778,
        OpenPageCommand = 32779,
        NextDirectoryCommand = 32780,
    };

    struct Settings
    {
        // The maker's web server: start page, user guide and support page.
        // Updates come from it only when it starts with http:// or https://.
        QString serverUrl;
        // Where dirdata.xml, mydirdata.xml and sv.dat live. Defaults() puts
        // them beside the executable; the application picks its own folder
        // (app/DataFolderSetup.h).
        QString dataFolder;
        // The millisecond clock of the submission watch.
        std::shared_ptr<const Clock> clock;
        // Time-outs and limits of the database update.
        DownloadOptions updateOptions;

        static Settings Defaults();
    };

    explicit MainWindow(Settings settings = Settings::Defaults(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // Writes sv.dat: the selected profile's name, then all profiles.
    void SaveState();

    void OnFormSubmit() override;
    void OnSize(int cx, int cy);
    void OnExit();
    void OnAbout();
    void OnUserGuide();
    void OnSupport();
    void OnTimer();
    void OnManageProfiles();
    // Replaces dirdata.xml by the maker's current database and shows it.
    void UpdateDatabase();
    void OnDirectorySelChange();
    void OnProfileSelChange();
    void OnFillCurrentPage();
    // Asks for an address and opens its page.
    void OnOpenPage();
    // Opens the directory dialog for the page shown.
    void OnAddThisPage();
    // Takes the chosen user directory's confirmation text from the page.
    void OnUseSelectedText();
    // Chooses the next directory not sent for the current profile, as a
    // click on its entry would.
    void OnNextDirectory();
    // Fills the page in the browser with the current profile's values for
    // the directory last chosen.
    void FillPage();
    // Reads the page in the browser and, when it holds the directory's
    // confirmation text, records the directory as sent.
    void CheckSubmittedPage();

    QString StateFilePath() const;
    QString DatabasePath() const;
    QString UserDatabasePath() const;

    // What tests and the handlers of other windows look at.
    const Profile& CurrentProfile() const { return currentProfile; }
    bool HasCurrentProfile() const { return hasCurrentProfile; }
    const ProfileStore& Profiles() const { return profileManager; }
    ProfileManagerDialog& ProfileManager() { return profileManager; }
    BrowserView* Browser() const { return browser; }
    DirectoryListBox* DirectoryList() const { return directoryList; }
    ProfileComboBox* ProfileCombo() const { return profileCombo; }
    QPushButton* FillButton() const { return fillButton; }
    QPushButton* NextButton() const { return nextButton; }
    QStatusBar* StatusLine() const { return statusLine; }
    QLabel* ProgressLabel() const { return progressLabel; }
    bool SubmitPending() const { return submitPending; }
    std::uint32_t SubmitTime() const { return submitTime; }

signals:
    // A fill has ended; `report` says what it wrote and what it missed.
    void pageFilled(const FillReport& report);
    // A page was checked for the confirmation text after a submission.
    void pageChecked(bool confirmed);

public slots:
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnInitDialog();
    void CreateControls();
    void CreateMenu();
    void LoadState();
    // The profile names, sorted, with the current profile selected.
    void FillProfileCombo();
    // Whether the maker's server is at an address updates can use; tells the
    // user when it is not.
    bool CheckServerUrl();
    // The address of a page on the maker's web server.
    std::string MakerPage(const char* path) const;
    // The list entries of all directories, marked for the current profile.
    void FillDirectoryList();
    // Marks the chosen directory sent for the current profile and in the list.
    void RecordSubmission();
    // Reads the databases again after the user's own has changed, and
    // chooses the directory `name` when there is one.
    void ReloadDirectories(const QString& name);
    // Shows the current profile's progress through the list.
    void ShowProgress();

    Settings settings;
    std::unique_ptr<MessageBoxSink> messages;
    QIcon icon;
    ProfileManagerDialog profileManager;
    Profile currentProfile;
    DirectoryDatabase database;
    bool hasCurrentProfile = false;
    // Changes whenever a directory is chosen, so that a page check that
    // started before it can tell that it no longer counts.
    unsigned watchGeneration = 0;
    std::string directoryName;
    // The list row directoryName was chosen at.
    int directoryRow = -1;
    BrowserView* browser = nullptr;
    DirectoryListBox* directoryList = nullptr;
    bool autoFillPending = false;
    bool submitPending = false;
    std::uint32_t submitTime = 0;
    ProfileComboBox* profileCombo = nullptr;
    QLabel* profileLabel = nullptr;
    QPushButton* fillButton = nullptr;
    QPushButton* nextButton = nullptr;
    QStatusBar* statusLine = nullptr;
    // In the status line while it shows no message.
    QLabel* progressLabel = nullptr;
    QTimer* timer = nullptr;
    DirectoryCapture* capture = nullptr;
    QAction* addPageAction = nullptr;
};
