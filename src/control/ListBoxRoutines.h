#pragma once
// The list-box routines of the selection panel: copying associations from the list of
// possible ones into the selection, and removing them from it. Entries are compared as
// whole texts, exactly and case-sensitively.

#include <QString>

class QListWidget;

namespace tessaran::control {

// True when `list` holds an entry whose text equals `text`.
bool Existe_Dans_Liste(const QString& text, const QListWidget& list);

// Appends every entry of `source` to `destination` unless it is already there; the source is
// left unchanged.
void Ajoute_Tous(const QListWidget& source, QListWidget& destination);

// Appends the selected entries of `source` that `destination` does not hold yet, in source
// order, and clears the selection of `source`; the source keeps all its entries.
void Ajoute_Selection(QListWidget& source, QListWidget& destination);

// Removes the selected entries of `list`.
void Supprime_Selection(QListWidget& list);

}  // namespace tessaran::control
