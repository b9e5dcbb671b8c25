#include "shell/DataBaseMenu.h"

#include <QAction>
#include <QMenu>

#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace shell {

DataBaseMenuArrays::DataBaseMenuArrays(QMenu* openMenu, QMenu* deleteMenu,
                                       std::function<void(int)> openClicked,
                                       std::function<void(int)> deleteClicked)
    : openMenu_(openMenu),
      deleteMenu_(deleteMenu),
      openClicked_(std::move(openClicked)),
      deleteClicked_(std::move(deleteClicked)) {
    load(openMenu_, mnuDataBase, openClicked_);
    load(deleteMenu_, mnuDelDataBase, deleteClicked_);
}

QAction* DataBaseMenuArrays::load(QMenu* menu, std::vector<QAction*>& array,
                                  const std::function<void(int)>& clicked) {
    const int index = static_cast<int>(array.size());
    QAction* item = menu->addAction(QString());
    item->setObjectName(QStringLiteral("%1(%2)")
                            .arg(&array == &mnuDataBase ? QStringLiteral("mnuDataBase")
                                                        : QStringLiteral("mnuDelDataBase"))
                            .arg(index));
    QObject::connect(item, &QAction::triggered, menu, [clicked, index] {
        if (clicked) clicked(index);
    });
    array.push_back(item);
    return item;
}

void DataBaseMenuArrays::unloadFrom(std::size_t first) {
    while (mnuDataBase.size() > first) {
        delete mnuDataBase.back();
        mnuDataBase.pop_back();
    }
    while (mnuDelDataBase.size() > first) {
        delete mnuDelDataBase.back();
        mnuDelDataBase.pop_back();
    }
}

QString DataBaseMenuArrays::tagOf(const QAction* item) {
    return item->data().toString();
}

void DataBaseMenuArrays::refresh(bool pseudoItems) {
    const std::vector<DataBaseEntry>& list = mainModule().dataBaseList;
    const int upper = static_cast<int>(list.size()) - 1;
    // Items beyond 0 go in both cases, so no set that is gone stays behind in a menu.
    unloadFrom(1);
    if (upper > 1) {
        for (int d = 2; d <= upper; ++d) {
            if (d - 2 > 0) {
                load(openMenu_, mnuDataBase, openClicked_);
                load(deleteMenu_, mnuDelDataBase, deleteClicked_);
            }
            for (QAction* item : {mnuDataBase[d - 2], mnuDelDataBase[d - 2]}) {
                item->setText(list[d].name);
                item->setData(QString::number(list[d].dbID));
            }
        }
    } else if (pseudoItems) {
        mnuDataBase[0]->setText(QStringLiteral("新規データベース作成"));
        mnuDataBase[0]->setData(QStringLiteral("-1"));
        mnuDelDataBase[0]->setText(QStringLiteral("データベースがありません"));
        mnuDelDataBase[0]->setData(QStringLiteral("-1"));
    }
}

void RefreshDataBaseMenu() {
    if (frmMDI* mdi = mainModule().mdiForm) mdi->dataBaseMenus().refresh(true);
    if (featureHooks().refreshRecordWindowMenus) featureHooks().refreshRecordWindowMenus();
}

}  // namespace shell
