#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDialog;
}
class BrowserView;

// The About box: the program's name and version, and a link to the maker's
// home page that opens in the user's own web browser.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    BrowserView* browser() const;

    // The About page among the program's resources.
    static const char* const pageAddress;

private:
    std::unique_ptr<Ui::AboutDialog> ui;
};
