#include "shell/record/SubmissionsWindow.h"

#include "core/record/RecordCsv.h"
#include "core/record/SubmissionRecord.h"
#include "shell/common/MessageBox.h"
#include "shell/record/LinkCheckRun.h"
#include "shell/record/StateDelegate.h"
#include "shell/record/SubmissionFilterModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

namespace {

const ShownState filterStates[] = {ShownState::NotSent, ShownState::SentDateUnknown,
    ShownState::AwaitingApproval, ShownState::Published, ShownState::Rejected};

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

SubmissionsWindow::SubmissionsWindow(
    SubmissionRecord& record, const WallClock& clock, RowSource rows, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , record(record)
    , clock(clock)
    , rows(std::move(rows))
{
    setWindowTitle(tr("Submissions"));
    setObjectName(QStringLiteral("submissionsWindow"));
    createWidgets();
    reload();
    resize(1180, 520);
}

SubmissionsWindow::~SubmissionsWindow() = default;

void SubmissionsWindow::createWidgets()
{
    m_model = new SubmissionTableModel(&record, this);
    m_filter = new SubmissionFilterModel(this);
    m_filter->setSourceModel(m_model);

    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    auto* stateLabel = new QLabel(tr("S&tate:"), this);
    stateFilter = new QComboBox(this);
    stateFilter->setObjectName(QStringLiteral("stateFilter"));
    stateFilter->addItem(tr("All states"), -1);
    for (const ShownState state : filterStates)
        stateFilter->addItem(Text(ShownStateText(state)), int(state));
    stateLabel->setBuddy(stateFilter);
    auto* textLabel = new QLabel(tr("&Find:"), this);
    textFilter = new QLineEdit(this);
    textFilter->setObjectName(QStringLiteral("textFilter"));
    textFilter->setClearButtonEnabled(true);
    textLabel->setBuddy(textFilter);
    allProfiles = new QCheckBox(tr("&All profiles"), this);
    allProfiles->setObjectName(QStringLiteral("allProfiles"));
    filters->addWidget(stateLabel);
    filters->addWidget(stateFilter);
    filters->addWidget(textLabel);
    filters->addWidget(textFilter, 1);
    filters->addWidget(allProfiles);
    layout->addLayout(filters);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("submissionTable"));
    m_table->setModel(m_filter);
    m_table->setItemDelegateForColumn(
        SubmissionTableModel::StateColumn, new StateDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
        QAbstractItemView::SelectedClicked);
    m_table->setWordWrap(false);
    // Rows of one height need no measuring, however many there are.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setColumnWidth(SubmissionTableModel::DirectoryColumn, 180);
    m_table->setColumnWidth(SubmissionTableModel::StateColumn, 170);
    m_table->setColumnWidth(SubmissionTableModel::SentColumn, 150);
    m_table->setColumnWidth(SubmissionTableModel::ConfirmationColumn, 170);
    m_table->setColumnWidth(SubmissionTableModel::PublishedColumn, 170);
    m_table->setColumnWidth(SubmissionTableModel::LinkColumn, 110);
    m_table->setColumnWidth(SubmissionTableModel::CheckedColumn, 150);
    m_table->setColumnHidden(SubmissionTableModel::ProfileColumn, true);
    layout->addWidget(m_table, 1);

    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summaryLabel"));
    layout->addWidget(summary);

    auto* bottom = new QHBoxLayout;
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("statusLabel"));
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("checkProgress"));
    progress->hide();
    cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelCheckButton"));
    cancelButton->hide();
    auto* exportButton = new QPushButton(tr("&Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    bottom->addWidget(status, 1);
    bottom->addWidget(progress);
    bottom->addWidget(cancelButton);
    bottom->addWidget(exportButton);
    layout->addLayout(bottom);

    connect(stateFilter, &QComboBox::currentIndexChanged, this, [this] {
        const int state = stateFilter->currentData().toInt();
        m_filter->setStateFilter(
            state < 0 ? std::nullopt : std::optional<ShownState>(ShownState(state)));
    });
    connect(textFilter, &QLineEdit::textChanged, m_filter, &SubmissionFilterModel::setTextFilter);
    connect(allProfiles, &QCheckBox::toggled, this, [this](bool all) {
        m_table->setColumnHidden(SubmissionTableModel::ProfileColumn, !all);
        reload();
    });
    connect(m_table, &QTableView::doubleClicked, this, &SubmissionsWindow::openRow);
    connect(exportButton, &QPushButton::clicked, this, &SubmissionsWindow::exportCsv);
    connect(cancelButton, &QPushButton::clicked, this, &SubmissionsWindow::cancelCheck);
    connect(m_model, &SubmissionTableModel::dataChanged, this, &SubmissionsWindow::showSummary);
    connect(m_model, &SubmissionTableModel::writeFailed, this, [this](const QString& reason) {
        status->setText(tr("The change could not be saved: %1").arg(reason));
    });
}

void SubmissionsWindow::reload()
{
    m_model->setRows(rows(allProfiles->isChecked()));
    showSummary();
}

void SubmissionsWindow::showSummary()
{
    summary->setText(QString::fromStdString(SummaryLine(m_model->counts())));
}

void SubmissionsWindow::openRow(const QModelIndex& index)
{
    const RecordEntry& entry = m_model->rowAt(m_filter->mapToSource(index).row()).entry;
    emit openRequested(entry.profile, entry.directory, entry.publishedAddress);
}

void SubmissionsWindow::exportCsv()
{
    QFileDialog dialog(this, tr("Export CSV"), QDir::homePath(), tr("CSV files (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectFile(QStringLiteral("submissions.csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    writeCsv(dialog.selectedFiles().first());
}

bool SubmissionsWindow::writeCsv(const QString& path)
{
    std::vector<CsvRow> csv {RecordCsvHeader()};
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const SubmissionRow& line =
            m_model->rowAt(m_filter->mapToSource(m_filter->index(row, 0)).row());
        csv.push_back(RecordCsvRow(line.entry, line.shown()));
    }
    const std::string text = CsvText(csv);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) < 0 ||
        !file.commit()) {
        ShowMessageBox(this,
            {"The file could not be written: " + file.errorString().toStdString(), "Export CSV",
                MessageIcon::Error});
        return false;
    }
    status->setText(tr("%n row(s) exported", nullptr, int(csv.size() - 1)));
    return true;
}

void SubmissionsWindow::checkPublishedArticles(
    const std::string& profile, const std::string& articleTitle, const std::string& webAddress)
{
    if (run)
        return;
    std::vector<RecordEntry> entries;
    if (const Result read = record.ReadEntries(profile, entries); !read) {
        status->setText(
            tr("The record could not be read: %1").arg(QString::fromStdString(read.Reason())));
        return;
    }
    std::vector<LinkCheckTarget> targets;
    for (const RecordEntry& entry : entries) {
        if (!entry.publishedAddress.empty())
            targets.push_back({entry.directory, entry.publishedAddress});
    }
    if (targets.empty()) {
        status->setText(tr("No published addresses to check"));
        return;
    }
    checkedProfile = profile;
    run = std::make_unique<LinkCheckRun>(std::move(targets), articleTitle, webAddress);
    connect(run.get(), &LinkCheckRun::pageChecked, this, &SubmissionsWindow::onPageChecked);
    connect(run.get(), &LinkCheckRun::finished, this, &SubmissionsWindow::onCheckFinished);
    progress->setRange(0, int(run->targetCount()));
    progress->setValue(0);
    progress->show();
    cancelButton->show();
    status->setText(tr("Checking published articles..."));
    run->start();
}

void SubmissionsWindow::cancelCheck()
{
    if (run)
        run->cancel();
}

void SubmissionsWindow::onPageChecked(const LinkCheckReport& report)
{
    const Result written =
        record.NoteLinkCheck(checkedProfile, report.key, report.ToLinkCheck(clock.Now()));
    if (!written)
        status->setText(
            tr("The change could not be saved: %1").arg(QString::fromStdString(written.Reason())));
    m_model->refreshEntry(checkedProfile, report.key);
    progress->setValue(progress->value() + 1);
}

void SubmissionsWindow::onCheckFinished(bool complete)
{
    const int checked = progress->value();
    // The run sent this signal: it goes once the signal has been handled.
    run.release()->deleteLater();
    progress->hide();
    cancelButton->hide();
    status->setText(complete ? tr("%n published article(s) checked", nullptr, checked)
                             : tr("Check cancelled after %n article(s)", nullptr, checked));
    emit checkFinished();
}
