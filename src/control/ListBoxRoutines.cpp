#include "ListBoxRoutines.h"

#include <QListWidget>

#include <memory>

namespace tessaran::control {

bool Existe_Dans_Liste(const QString& text, const QListWidget& list) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->text().compare(text, Qt::CaseSensitive) == 0) return true;
    }
    return false;
}

void Ajoute_Tous(const QListWidget& source, QListWidget& destination) {
    for (int i = 0; i < source.count(); ++i) {
        const QString text = source.item(i)->text();
        if (!Existe_Dans_Liste(text, destination)) destination.addItem(text);
    }
}

void Ajoute_Selection(QListWidget& source, QListWidget& destination) {
    for (int i = 0; i < source.count(); ++i) {
        QListWidgetItem* entry = source.item(i);
        if (entry->isSelected() && !Existe_Dans_Liste(entry->text(), destination)) {
            destination.addItem(entry->text());
        }
        entry->setSelected(false);
    }
}

void Supprime_Selection(QListWidget& list) {
    // From the last entry down, so that removing one leaves the indexes still to visit valid.
    for (int i = list.count() - 1; i >= 0; --i) {
        if (list.item(i)->isSelected()) std::unique_ptr<QListWidgetItem> removed(list.takeItem(i));
    }
}

}  // namespace tessaran::control
