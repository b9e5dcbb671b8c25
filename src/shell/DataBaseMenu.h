#pragma once

#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

// The two set menus of a window, `mnuDataBase` (File › 開く) and `mnuDelDataBase`
// (File › 削除). Item 0 always exists; items 1… are added and removed as sets come and go.
// Each item's caption is the set name and its Tag (QAction::data) the dbID as decimal text.
namespace shell {

class DataBaseMenuArrays {
public:
    // Creates item 0 of both arrays in the two submenus; clicks report the item's index.
    DataBaseMenuArrays(QMenu* openMenu, QMenu* deleteMenu, std::function<void(int)> openClicked,
                       std::function<void(int)> deleteClicked);

    // Rebuilds both arrays from the question-set list: item k shows list entry k + 2. With
    // no set, only item 0 remains and, when `pseudoItems` is set, it carries the
    // pseudo-entries "新規データベース作成" and "データベースがありません" with Tag "-1".
    void refresh(bool pseudoItems);

    std::vector<QAction*> mnuDataBase;
    std::vector<QAction*> mnuDelDataBase;

    static QString tagOf(const QAction* item);

private:
    QAction* load(QMenu* menu, std::vector<QAction*>& array,
                  const std::function<void(int)>& clicked);
    void unloadFrom(std::size_t first);

    QMenu* openMenu_;
    QMenu* deleteMenu_;
    std::function<void(int)> openClicked_;
    std::function<void(int)> deleteClicked_;
};

// Rebuilds the set menus of the main window and of every open record window.
void RefreshDataBaseMenu();

}  // namespace shell
