#pragma once

#include <QObject>
#include <QPointer>

#include <string>

class BrowserView;
class QAction;
class DirectoryDatabase;
class QWidget;

// Adds the page shown in the browser to the user's own database as a
// directory, through the directory dialog, and takes a user directory's
// confirmation text from the text selected in the page. Every change is
// written to the user's database at once; the signals say what changed, so
// that the window reloads the database.
class DirectoryCapture : public QObject
{
    Q_OBJECT

public:
    DirectoryCapture(BrowserView& browser, const DirectoryDatabase& database, QWidget& window);

    // Asks for the address of a page, a directory's for one, and opens it.
    void openPage();
    // Keeps `action` enabled while the browser shows a web page that loaded.
    void enableWhileAPageIsShown(QAction& action);
    // Reads the form fields of the page shown and opens the directory
    // dialog: for the user's directory `chosen` when the page shown is its
    // submission page (for a profile of `category` and `subcategory`), else
    // for a new directory. Nothing happens when the page is gone before its
    // fields are read.
    void addThisPage(
        const std::string& chosen, const std::string& category, const std::string& subcategory);
    // Makes the text selected in the page the confirmation text of the
    // user's directory `chosen`, once the page holds it as it stands.
    void useSelectedText(const std::string& chosen);

signals:
    void directorySaved(const QString& name);
    void directoryRemoved(const QString& name);
    void confirmationSaved(const QString& name);

private:
    void openDialog(const std::string& chosen, bool editing, const QVariant& fields);

    QPointer<BrowserView> browser;
    const DirectoryDatabase& database;
    QWidget& window;
};
