#include "shell/FeatureHooks.h"

#include <iterator>
#include <utility>

namespace shell {

namespace {
FeatureHooks& table() {
    static FeatureHooks hooks;
    return hooks;
}
}  // namespace

FeatureHooks& featureHooks() {
    return table();
}

void resetFeatureHooks() {
    table() = FeatureHooks();
}

QStringList missingFeatureHooks(const FeatureHooks& hooks) {
    const std::pair<const char*, bool> filled[] = {
        {"newDataBase", bool(hooks.newDataBase)},
        {"deleteDataBase", bool(hooks.deleteDataBase)},
        {"findWindowSlot", bool(hooks.findWindowSlot)},
        {"openRecordWindow", bool(hooks.openRecordWindow)},
        {"openRecordWindowsAtStartUp", bool(hooks.openRecordWindowsAtStartUp)},
        {"saveRecordWindowsAtShutdown", bool(hooks.saveRecordWindowsAtShutdown)},
        {"refreshRecordWindowMenus", bool(hooks.refreshRecordWindowMenus)},
        {"mainWindowResized", bool(hooks.mainWindowResized)},
        {"search", bool(hooks.search)},
        {"test", bool(hooks.test)},
        {"rateStatistics", bool(hooks.rateStatistics)},
        {"options", bool(hooks.options)},
        {"restore", bool(hooks.restore)},
        {"optimize", bool(hooks.optimize)},
        {"backUp", bool(hooks.backUp)},
        {"showDatabaseErrorDialog", bool(hooks.showDatabaseErrorDialog)},
        {"backUpTimerTick", bool(hooks.backUpTimerTick)},
        {"about", bool(hooks.about)},
        {"importRecords", bool(hooks.importRecords)},
        {"exportRecords", bool(hooks.exportRecords)},
    };
    // Every entry is a std::function of the same size: a new hook changes the table's size,
    // and this list must name it too.
    static_assert(sizeof(FeatureHooks) == std::size(filled) * sizeof(std::function<void()>),
                  "a hook was added to FeatureHooks: name it in missingFeatureHooks()");
    QStringList missing;
    for (const auto& [name, isFilled] : filled)
        if (!isFilled) missing.append(QString::fromLatin1(name));
    return missing;
}

}  // namespace shell
