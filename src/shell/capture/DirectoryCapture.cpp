#include "shell/capture/DirectoryCapture.h"

#include "core/app/SubmissionWatch.h"
#include "core/capture/FormFieldsScript.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/directorydb/UserDatabase.h"
#include "shell/browser/BrowserView.h"
#include "shell/browser/ScriptResults.h"
#include "shell/capture/DirectoryDialog.h"
#include "shell/common/MessageBox.h"

#include <QAction>
#include <QInputDialog>
#include <QUrl>

namespace {

const char* const captionText = "Use Selected Text as Confirmation";

bool SamePage(const QUrl& shown, const std::string& address)
{
    const auto form = QUrl::StripTrailingSlash | QUrl::NormalizePathSegments;
    return !address.empty() &&
        shown.adjusted(form) == QUrl(QString::fromStdString(address)).adjusted(form);
}

} // namespace

DirectoryCapture::DirectoryCapture(
    BrowserView& browser, const DirectoryDatabase& database, QWidget& window)
    : QObject(&window)
    , browser(&browser)
    , database(database)
    , window(window)
{
}

void DirectoryCapture::openPage()
{
    bool ok = false;
    const QString address = QInputDialog::getText(&window, tr("Open Page"),
        tr("Address of the page to open, for example a directory's submission page:"),
        QLineEdit::Normal, browser->url().toString(), &ok);
    if (ok && browser && !address.trimmed().isEmpty())
        browser->navigate(address.trimmed().toStdString());
}

void DirectoryCapture::enableWhileAPageIsShown(QAction& action)
{
    action.setEnabled(false);
    connect(
        browser, &QWebEngineView::loadStarted, &action, [&action] { action.setEnabled(false); });
    connect(browser, &BrowserView::pageComplete, &action, [this, &action](bool ok) {
        const QString scheme = browser->url().scheme();
        action.setEnabled(
            ok && (scheme == QLatin1String("http") || scheme == QLatin1String("https")));
    });
}

void DirectoryCapture::addThisPage(
    const std::string& chosen, const std::string& category, const std::string& subcategory)
{
    const bool editing = database.IsUserDirectory(chosen) &&
        SamePage(browser->url(), database.GetDirectorySubmitPage(chosen, category, subcategory));
    const unsigned load = browser->loadCount();
    browser->runScript(QString::fromStdString(FormFieldsScript()),
        [this, chosen, editing, load](const QVariant& fields) {
            // The dialog belongs to the page whose fields it shows.
            if (browser && browser->loadCount() == load)
                openDialog(editing ? chosen : std::string(), editing, fields);
        });
}

void DirectoryCapture::openDialog(const std::string& chosen, bool editing, const QVariant& fields)
{
    const std::string path = database.UserDatabasePath();
    std::optional<DirectoryRecord> saved;
    if (editing)
        saved = ReadUserDirectory(path, chosen);
    const std::vector<FormField> pageFields = FormFieldsFromScript(fields);
    DirectoryDraft draft = saved ? DraftOfDirectory(*saved, pageFields)
                                 : ProposeDirectory(browser->title().toStdString(),
                                       browser->url().toString().toStdString(), pageFields);

    DirectoryDialog dialog(
        std::move(draft), saved.has_value(),
        [&](const DirectoryDraft& edited) {
            // A directory renamed in the dialog keeps its one entry.
            if (saved && edited.name != saved->name)
                return ReplaceUserDirectory(path, saved->name, RecordOfDraft(edited));
            return SaveUserDirectory(path, RecordOfDraft(edited));
        },
        &window);
    const int outcome = dialog.exec();
    if (outcome == QDialog::Accepted) {
        emit directorySaved(QString::fromStdString(dialog.draft().name));
    } else if (outcome == DirectoryDialog::Removed && saved) {
        if (const Result removed = RemoveUserDirectory(path, saved->name); !removed)
            ShowMessageBox(&window, {removed.Reason(), "Edit Directory", MessageIcon::Error});
        else
            emit directoryRemoved(QString::fromStdString(saved->name));
    }
}

void DirectoryCapture::useSelectedText(const std::string& chosen)
{
    const std::string text = browser->selectedText().trimmed().toStdString();
    if (!database.IsUserDirectory(chosen)) {
        ShowMessageBox(&window,
            {"Choose one of your own directories in the list first: the confirmation text of "
             "the others comes with the database.",
                captionText, MessageIcon::Exclamation});
        return;
    }
    if (text.empty()) {
        ShowMessageBox(&window,
            {"Please select the confirmation text in the page first.", captionText,
                MessageIcon::Exclamation});
        return;
    }
    browser->readPageHtml(this, [this, chosen, text](const std::string& html) {
        // The page is searched as it stands in its source: text that crosses
        // markup would never be found there after the next submission.
        if (!PageConfirmsSubmission(html, text)) {
            ShowMessageBox(&window,
                {"The selected text does not stand in the page's source as it is shown (it "
                 "crosses formatting or a line break). Please select a shorter piece of it.",
                    captionText, MessageIcon::Exclamation});
            return;
        }
        const std::string path = database.UserDatabasePath();
        std::optional<DirectoryRecord> record = ReadUserDirectory(path, chosen);
        Result saved = Result::Failure("The directory \"" + chosen + "\" is no longer in " + path);
        if (record) {
            record->onSubmit = text;
            saved = SaveUserDirectory(path, *record);
        }
        if (!saved)
            ShowMessageBox(&window, {saved.Reason(), captionText, MessageIcon::Error});
        else
            emit confirmationSaved(QString::fromStdString(chosen));
    });
}
