#pragma once

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

// The main window's list of directories: one entry a directory, in the
// database's order, each followed by " [sent]" or " [not sent]" while a
// profile is selected. Choosing an entry is a change of its selection,
// which the keyboard alone can make too. The program's own changes of the
// selection raise no change signal.
class DirectoryListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // Replaces the entries. While `hasProfile`, `isSent` says which mark each
    // name gets. The selected row stays selected if there still is one.
    void Fill(const std::vector<std::string>& names, bool hasProfile,
        const std::function<bool(const std::string&)>& isSent);
    // The selected entry's row; -1 when none is selected.
    int SelectedRow() const;
    // Selects `row` (-1: nothing) without raising a change.
    void SelectRow(int row);
    // The directory name of the entry at `row`: its text before " [".
    std::string DirectoryNameAt(int row) const;
    // The row of the directory `name`: `hint` while its entry still names
    // that directory, else the first entry of exactly that name; -1 when
    // there is none. An entry that merely begins with `name` never counts.
    int RowOf(const std::string& name, int hint) const;
    // Gives the entry at `row` the " [sent]" mark and selects it.
    void MarkSent(int row);
    // One flag an entry, in list order: whether it carries the " [sent]"
    // mark. All false while no profile is selected.
    std::vector<bool> SentMarks() const;
};
