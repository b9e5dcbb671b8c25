#include "platform/ui/ListSelection.h"

#include <QListWidget>

namespace ui {

void selectAllEntries(QListWidget* list) {
    for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(true);
}

void invertSelection(QListWidget* list) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(!list->item(i)->isSelected());
}

}  // namespace ui
