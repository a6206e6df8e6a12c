#include "shell/profiles/ProfileComboBox.h"

#include "shell/profiles/SortedWidgets.h"

ProfileComboBox::ProfileComboBox(QWidget* parent)
    : QComboBox(parent)
{
}

void ProfileComboBox::fill(const std::vector<Profile>& profiles, int selected)
{
    const QSignalBlocker blocker(this);
    QStringList names;
    names.reserve(qsizetype(profiles.size()));
    for (const Profile& profile : profiles)
        names << QString::fromStdString(profile.name);
    FillSorted(this, names);
    setCurrentIndex(findData(selected));
}

int ProfileComboBox::selectedPosition() const
{
    const QVariant position = currentData();
    return position.isValid() ? position.toInt() : -1;
}
