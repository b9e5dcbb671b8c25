#pragma once

#include <QList>

class QMenu;
class frmMDIChild;

// The record window's menu bar: the main window's menus repeated, plus 編集, 書式 and
// ウィンドウ. Commands of other features go through the shell's hook table.
namespace records {

QList<QMenu*> buildRecordWindowMenus(frmMDIChild* window);

// Rebuilds the 開く and 削除 submenus of every open record window from the question-set list.
void rebuildRecordWindowSetMenus();

// The frame shows the active record window's menus, and its own when none is active.
void showMenusOfActiveWindow();

}  // namespace records
