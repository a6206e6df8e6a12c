#pragma once

#include "core/common/Clock.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/FillReport.h"
#include "core/fill/FormSubmitSink.h"
#include "core/profiles/ProfileStore.h"
#include "core/record/SubmissionRecord.h"
#include "core/update/DatabaseDownload.h"

#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class BrowserView;
class DirectoryCapture;
class DirectoryListModel;
class MessageBoxSink;
class ProfileComboBox;
class QLabel;
class QListView;
class QPushButton;

// The main window: the browser on the left; on the right the profile
// selector, the Fill button, the directory list and the Next button; below
// them a status line that says what the last fill of the page shown did, or
// else how far the current profile has come through the list.
//
// Choosing a directory opens its submission page, and the page is filled as
// soon as it has loaded. A form the fill hooked reports its submission; the
// page that follows is read once the submission watch's delay has passed
// and the page has loaded, and when it holds the directory's confirmation
// text the directory is recorded as sent.
class MainWindow : public QMainWindow, public FormSubmitSink
{
    Q_OBJECT

public:
    struct Settings
    {
        // The maker's web server: start page, user guide and support page.
        // Updates come from it only when it starts with http:// or https://.
        QString serverUrl;
        // Where dirdata.xml, mydirdata.xml and sv.dat live. defaults() puts
        // them beside the executable; the application picks its own folder
        // (shell/app/DataFolderSetup.h).
        QString dataFolder;
        // The millisecond clock of the submission watch.
        std::shared_ptr<const Clock> clock;
        // Time-outs and limits of the database update.
        DownloadOptions updateOptions;

        static Settings defaults();
    };

    explicit MainWindow(Settings settings = Settings::defaults(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // Writes sv.dat: the selected profile's name, then all profiles.
    void writeStateFile();

    QString stateFilePath() const;
    QString databasePath() const;
    QString userDatabasePath() const;

    // The profile chosen in the profile box; null while none is.
    const Profile* currentProfile() const;
    const ProfileStore& profiles() const { return profileStore; }
    BrowserView* browser() const { return m_browser; }
    QListView* directoryList() const { return m_directoryList; }
    DirectoryListModel* directoryModel() const { return m_directoryModel; }
    ProfileComboBox* profileCombo() const { return m_profileCombo; }
    QLabel* progressLabel() const { return m_progressLabel; }
    bool submitPending() const { return m_submitPending; }
    std::uint32_t submitTime() const { return m_submitTime; }

    void OnFormSubmit() override;

public slots:
    void manageProfiles();
    // Replaces dirdata.xml by the maker's current database and shows it.
    void updateDatabase();
    // Fills the page shown, once it has loaded.
    void fillCurrentPage();
    // Chooses the next directory not sent for the current profile, as a
    // click on its entry would.
    void nextDirectory();
    void showUserGuide();
    void showSupport();
    void showAbout();
    // Closes the window without writing the state file.
    void exitWithoutSaving();
    // Fills the page in the browser with the current profile's values for
    // the directory last chosen.
    void fillPage();
    // Reads the page in the browser and, when it holds the directory's
    // confirmation text, records the directory as sent.
    void checkSubmittedPage();

    // The submission record in the data folder, opened at first use; null
    // when it cannot be opened. Here it keeps the profile values beside
    // sv.dat (byline, summary, tags).
    SubmissionRecord* record() const;

signals:
    // A fill has ended; `report` says what it wrote and what it missed.
    void pageFilled(const FillReport& report);
    // A page was checked for the confirmation text after a submission.
    void pageChecked(bool confirmed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createWidgets();
    void createActions();
    void loadStateFile();
    // The profile names, sorted, with the current profile selected.
    void fillProfileCombo();
    // Whether the maker's server is at an address updates can use; tells the
    // user when it is not.
    bool checkServerUrl();
    // The address of a page on the maker's web server.
    std::string makerPage(const char* path) const;
    // Reads both databases into the list, marked for the current profile.
    void loadDirectories();
    void showProfileMarks();
    void chooseDirectory();
    void chooseProfile();
    void onPageComplete();
    void onWatchTick();
    // Marks the chosen directory sent for the current profile and in the list.
    void recordSubmission();
    // Reads the databases again after the user's own has changed, and
    // chooses the directory `name` when there is one.
    void reloadDirectories(const QString& name);
    // Shows the current profile's progress through the list.
    void showProgress();
    int selectedRow() const;
    // Selects `row` (-1: nothing) without choosing it.
    void selectRow(int row);

    Settings settings;
    std::unique_ptr<MessageBoxSink> messages;
    // record(): the store of the profile values kept beside sv.dat.
    mutable std::unique_ptr<SystemWallClock> recordClock;
    mutable std::unique_ptr<SubmissionRecord> profileRecord;
    mutable bool recordTried = false;
    ProfileStore profileStore;
    // The name of the chosen profile: the first profile of that name is the
    // one the window works with.
    std::optional<std::string> currentName;
    DirectoryDatabase database;
    // Changes whenever a directory is chosen, so that a page check that
    // started before it can tell that it no longer counts.
    unsigned watchGeneration = 0;
    std::string directoryName;
    // The list row directoryName was chosen at.
    int directoryRow = -1;
    bool autoFillPending = false;
    bool m_submitPending = false;
    std::uint32_t m_submitTime = 0;
    // Runs only while a submission waits for its page to be checked: the
    // watch's delay is a rule of time, and the page that follows may still
    // change after it has loaded.
    QTimer watchTimer;
    bool exitRequested = false;

    BrowserView* m_browser = nullptr;
    QListView* m_directoryList = nullptr;
    DirectoryListModel* m_directoryModel = nullptr;
    ProfileComboBox* m_profileCombo = nullptr;
    QPushButton* m_fillButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    // In the status line while it shows no message.
    QLabel* m_progressLabel = nullptr;
    DirectoryCapture* capture = nullptr;
    QAction* addPageAction = nullptr;
};
