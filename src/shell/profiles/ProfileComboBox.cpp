#include "shell/profiles/ProfileComboBox.h"

#include "shell/profiles/SortedWidgets.h"

ProfileComboBox::ProfileComboBox(QWidget* parent)
    : QComboBox(parent)
{
}

void ProfileComboBox::fill(const std::vector<Profile>& profiles, int selected)
{
    const QSignalBlocker blocker(this);
    clear();
    for (std::size_t position = 0; position < profiles.size(); ++position)
        AddSorted(this, QString::fromStdString(profiles[position].name), int(position));
    setCurrentIndex(findData(selected));
}

int ProfileComboBox::selectedPosition() const
{
    const QVariant position = currentData();
    return position.isValid() ? position.toInt() : -1;
}
