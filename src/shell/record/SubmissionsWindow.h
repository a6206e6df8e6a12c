#pragma once

#include "shell/record/SubmissionTableModel.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LinkCheckRun;
struct LinkCheckReport;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class SubmissionFilterModel;
class SubmissionRecord;
class WallClock;

// The Submissions window: the record of where the article went and what
// became of it, a row a directory, for the current profile or for all of
// them. Rows are sorted by any column and filtered by state and text; the
// state, the published address and the note are edited in place. The rows
// shown are exported as CSV, and the current profile's published articles
// are checked for their link, the rows changing as results come in.
class SubmissionsWindow : public QWidget
{
    Q_OBJECT

public:
    // Makes the rows: the current profile's, or with `allProfiles` those of
    // every profile.
    using RowSource = std::function<std::vector<SubmissionRow>(bool allProfiles)>;

    SubmissionsWindow(SubmissionRecord& record, const WallClock& clock, RowSource rows,
        QWidget* parent = nullptr);
    ~SubmissionsWindow() override;

    // Makes the rows again, after the record or the profiles changed.
    void reload();
    // Asks where to save and writes the rows shown there.
    void exportCsv();
    // Writes the rows shown, in their order, to `path` as CSV; false, after
    // telling the user, when it could not be written.
    bool writeCsv(const QString& path);
    // Checks the published articles of `profile` for a link to `webAddress`
    // on a page holding `articleTitle`, unless a check is running.
    void checkPublishedArticles(
        const std::string& profile, const std::string& articleTitle, const std::string& webAddress);
    void cancelCheck();
    bool checkRunning() const { return run != nullptr; }

    SubmissionTableModel* model() const { return m_model; }
    SubmissionFilterModel* filterModel() const { return m_filter; }
    QTableView* table() const { return m_table; }

signals:
    // The user asked to see the row's page: its published address when it
    // has one, else the directory's submission page.
    void openRequested(
        const std::string& profile, const std::string& directory, const std::string& published);
    // A check has ended, complete or cancelled.
    void checkFinished();

private:
    void createWidgets();
    void showSummary();
    void openRow(const QModelIndex& index);
    void onPageChecked(const LinkCheckReport& report);
    void onCheckFinished(bool complete);

    SubmissionRecord& record;
    const WallClock& clock;
    RowSource rows;
    std::string checkedProfile;
    std::unique_ptr<LinkCheckRun> run;

    SubmissionTableModel* m_model = nullptr;
    SubmissionFilterModel* m_filter = nullptr;
    QComboBox* stateFilter = nullptr;
    QLineEdit* textFilter = nullptr;
    QCheckBox* allProfiles = nullptr;
    QTableView* m_table = nullptr;
    QLabel* summary = nullptr;
    // What the last export, check or edit said.
    QLabel* status = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* cancelButton = nullptr;
};
