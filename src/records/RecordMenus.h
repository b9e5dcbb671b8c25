#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

class QMenu;
class frmMDIChild;

// The record window's menu bar: the main window's menus repeated, plus 編集, 書式 and
// ウィンドウ. Commands that open windows of other features go through RecordMenuCommands,
// filled in when the program starts; an empty command does nothing.
namespace records {

struct RecordMenuCommands {
    std::function<void()> newDataBase;
    std::function<void(std::int32_t dbID)> deleteDataBase;
    std::function<void()> search;
    std::function<void()> test;
    std::function<void()> rateStatistics;
    std::function<void()> options;
    std::function<void(int helpCommand)> help;
    std::function<void()> homePage;
    std::function<void()> about;
    std::function<void()> exitProgram;
    std::function<void()> refreshDataBaseMenu;
};

RecordMenuCommands& recordMenuCommands();

QList<QMenu*> buildRecordWindowMenus(frmMDIChild* window);

// Rebuilds the 開く and 削除 submenus of every open record window from the question-set list.
void rebuildRecordWindowSetMenus();

}  // namespace records
