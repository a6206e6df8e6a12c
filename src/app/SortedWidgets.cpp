#include "app/SortedWidgets.h"

#include <QComboBox>
#include <QListWidget>

namespace {

template<typename TextAt>
int SortedPosition(int count, TextAt textAt, const QString& text)
{
    int index = 0;
    while (index < count && QString::compare(textAt(index), text, Qt::CaseInsensitive) <= 0)
        ++index;
    return index;
}

} // namespace

void AddSorted(QComboBox* combo, const QString& text)
{
    combo->insertItem(SortedPosition(
                          combo->count(), [combo](int i) { return combo->itemText(i); }, text),
        text);
}

void AddSorted(QListWidget* list, const QString& text)
{
    list->insertItem(SortedPosition(
                         list->count(), [list](int i) { return list->item(i)->text(); }, text),
        text);
}

void SelectString(QComboBox* combo, const QString& text)
{
    for (int index = 0; index < combo->count(); ++index) {
        if (combo->itemText(index).startsWith(text, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(index);
            return;
        }
    }
}
