#pragma once

class QListWidget;

// "全て選択" and "選択反転" of a multi-selection list, entry by entry from the first (each
// entry's change reaches the list's selection handler, as a click would).
namespace ui {

void selectAllEntries(QListWidget* list);
void invertSelection(QListWidget* list);

}  // namespace ui
