#include "shell/profiles/SortedWidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A list that takes the focus makes its first entry current without
// selecting it; a key that moves to where the current entry already is
// then selects nothing. This filter selects the entry a key moved to.
class KeySelection : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !IsMoveKey(static_cast<QKeyEvent*>(event)))
            return false;
        auto* list = static_cast<QAbstractItemView*>(watched);
        const int count = list->model() ? list->model()->rowCount() : 0;
        if (list->selectionModel()->hasSelection() || count == 0)
            return false;
        // Nothing is chosen yet: the first step down or up, Home and the
        // page keys choose the first entry, End the last.
        const int key = static_cast<QKeyEvent*>(event)->key();
        list->selectionModel()->setCurrentIndex(
            list->model()->index(key == Qt::Key_End ? count - 1 : 0, 0),
            QItemSelectionModel::ClearAndSelect);
        return true;
    }

private:
    static bool IsMoveKey(const QKeyEvent* event)
    {
        switch (event->key()) {
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
        default:
            return false;
        }
    }
};

template<typename TextAt>
int SortedPosition(int count, TextAt textAt, const QString& text)
{
    int index = 0;
    while (index < count && QString::compare(textAt(index), text, Qt::CaseInsensitive) <= 0)
        ++index;
    return index;
}

// The positions of `texts` in the order of the lists: ignoring case, equal
// texts in the order they come.
std::vector<int> SortedOrder(const QStringList& texts)
{
    std::vector<int> order(std::size_t(texts.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&texts](int a, int b) {
        return QString::compare(texts[a], texts[b], Qt::CaseInsensitive) < 0;
    });
    return order;
}

} // namespace

void FillSorted(QComboBox* combo, const QStringList& texts)
{
    combo->clear();
    for (const int position : SortedOrder(texts))
        combo->addItem(texts[position], position);
}

void FillSorted(QListWidget* list, const QStringList& texts)
{
    list->clear();
    for (const int position : SortedOrder(texts)) {
        auto* item = new QListWidgetItem(texts[position], list);
        item->setData(Qt::UserRole, position);
    }
}

void AddSorted(QComboBox* combo, const QString& text, const QVariant& data)
{
    combo->insertItem(SortedPosition(
                          combo->count(), [combo](int i) { return combo->itemText(i); }, text),
        text, data);
}

void AddSorted(QListWidget* list, const QString& text, const QVariant& data)
{
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, data);
    list->insertItem(SortedPosition(
                         list->count(), [list](int i) { return list->item(i)->text(); }, text),
        item);
}

void SelectWithKeys(QAbstractItemView* list)
{
    list->installEventFilter(new KeySelection(list));
}
