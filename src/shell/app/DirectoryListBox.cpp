#include "shell/app/DirectoryListBox.h"

#include "core/directorydb/DirectoryListEntry.h"
#include "shell/profiles/SortedWidgets.h"

namespace {

// Where an entry keeps whether its directory is sent.
constexpr int sentRole = Qt::UserRole;

} // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    SelectWithKeys(this);
}

void DirectoryListBox::Fill(const std::vector<std::string>& names, bool hasProfile,
    const std::function<bool(const std::string&)>& isSent)
{
    const QSignalBlocker blocker(this);
    clear();
    for (const std::string& name : names) {
        const bool sent = hasProfile && isSent(name);
        auto* entry = new QListWidgetItem(
            QString::fromStdString(DirectoryListEntry(name, hasProfile, sent)), this);
        entry->setData(sentRole, sent);
    }
}

int DirectoryListBox::SelectedRow() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void DirectoryListBox::SelectRow(int row)
{
    const QSignalBlocker blocker(this);
    setCurrentRow(row);
}

std::string DirectoryListBox::DirectoryNameAt(int row) const
{
    return DirectoryNameFromEntry(item(row)->text().toStdString());
}

int DirectoryListBox::RowOf(const std::string& name, int hint) const
{
    if (hint >= 0 && hint < count() && DirectoryNameAt(hint) == name)
        return hint;
    for (int row = 0; row < count(); ++row) {
        if (DirectoryNameAt(row) == name)
            return row;
    }
    return -1;
}

void DirectoryListBox::MarkSent(int row)
{
    QListWidgetItem* entry = item(row);
    const QSignalBlocker blocker(this);
    entry->setText(QString::fromStdString(SentDirectoryEntry(entry->text().toStdString())));
    entry->setData(sentRole, true);
    setCurrentRow(row);
}

std::vector<bool> DirectoryListBox::SentMarks() const
{
    std::vector<bool> sent;
    for (int row = 0; row < count(); ++row)
        sent.push_back(item(row)->data(sentRole).toBool());
    return sent;
}
