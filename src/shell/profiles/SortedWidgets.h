#pragma once

#include <QStringList>
#include <QVariant>

class QAbstractItemView;
class QComboBox;
class QListWidget;
class QString;

// Lists that keep their entries sorted, ignoring case, as the program's
// profile lists do: each entry goes in at its place in that order, after
// the entries of equal text, and carries `data` as its item data. The
// profile lists keep each profile's position in the store there, so that
// an entry leads to its own profile whatever its text shows.
void AddSorted(QComboBox* combo, const QString& text, const QVariant& data = {});
// Replaces the entries of `combo` by `texts` in that order, each carrying
// its position in `texts` as its item data: one sort, rather than a search
// for the place of each entry.
void FillSorted(QComboBox* combo, const QStringList& texts);
void FillSorted(QListWidget* list, const QStringList& texts);
void AddSorted(QListWidget* list, const QString& text, const QVariant& data = {});

// Lets the keyboard alone choose in `list`: Home, End, the arrows and the
// page keys select the entry they move to, also on a list that has just
// taken the focus and holds no selection yet.
void SelectWithKeys(QAbstractItemView* list);
