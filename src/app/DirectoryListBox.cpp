#include "app/DirectoryListBox.h"

#include "directorydb/DirectoryListEntry.h"
#include "profiles/SortedWidgets.h"

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
        addItem(QString::fromStdString(DirectoryListEntry(name, hasProfile, sent)));
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
    setCurrentRow(row);
}
