#pragma once

class QComboBox;
class QListWidget;
class QString;

// Lists that keep their entries sorted, ignoring case, as the program's
// profile lists do: each entry goes in at its place in that order.
void AddSorted(QComboBox* combo, const QString& text);
void AddSorted(QListWidget* list, const QString& text);

// Selects the first entry, from the top, that begins with `text`, ignoring
// case; the selection stays as it was when none does.
void SelectString(QComboBox* combo, const QString& text);
