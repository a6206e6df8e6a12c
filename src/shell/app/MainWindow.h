#pragma once

#include "core/common/Clock.h"
#include "core/common/MessageSink.h"
#include "core/common/Result.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/FillReport.h"
#include "core/fill/FormSubmitSink.h"
#include "core/profiles/ProfileStore.h"
#include "core/record/WallClock.h"
#include "core/update/DatabaseDownload.h"

#include <QMainWindow>
#include <QPointer>
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
class QMenu;
class QPushButton;
class SubmissionRecord;
class SubmissionsWindow;

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
        // The calendar clock of the submission record.
        std::shared_ptr<const WallClock> wallClock;

        static Settings defaults();
    };

    explicit MainWindow(Settings settings = Settings::defaults(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // Writes sv.dat: the selected profile's name, then all profiles.
    void writeStateFile();

    QString stateFilePath() const;
    QString databasePath() const;
    QString userDatabasePath() const;
    QString recordFilePath() const;

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
    // The submission record; null when it could not be opened.
    SubmissionRecord* record() const { return m_record.get(); }
    // Null until the Submissions window was first shown.
    SubmissionsWindow* submissionsWindow() const;
    // In the status line while the page shown looks like the published
    // article of a directory the record has no address for.
    QPushButton* publishedOffer() const { return m_publishedOffer; }

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
    // Opens the Submissions window, or brings it to the front.
    void showSubmissions();
    // Checks the links of the current profile's published articles, in the
    // Submissions window.
    void checkPublishedArticles();
    // Takes the page the status line offers as the published article of its
    // directory.
    void recordPublishedPage();

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
    // The submission record (MainWindowRecord.cpp).
    void openRecord();
    void createRecordActions(QMenu* menu);
    // Tells the user, once, that the record could not be written.
    void noteRecordResult(const Result& result);
    void noteFill();
    void noteSubmit();
    void noteConfirmation();
    void refreshSubmissions();
    void openFromSubmissions(
        const std::string& profile, const std::string& directory, const std::string& published);
    // Reads the text of the page shown and offers it as a published article
    // when the record's rule accepts it for a directory the profile was sent to.
    void lookForPublishedPage();
    void offerPublishedPage(const std::string& pageText);
    void hidePublishedOffer();
    // Selects `row` (-1: nothing) without choosing it.
    void selectRow(int row);

    Settings settings;
    std::unique_ptr<MessageBoxSink> messages;
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

    std::unique_ptr<SubmissionRecord> m_record;
    // Why there is no record, for the commands that need one.
    std::optional<Message> recordProblem;
    bool recordFailureShown = false;
    QPointer<SubmissionsWindow> m_submissions;
    QPushButton* m_publishedOffer = nullptr;
    QAction* recordPublishedAction = nullptr;
    // The directory and page the status line offers.
    std::string offeredDirectory;
    std::string offeredAddress;
};
