#include "shell/FeatureWindows.h"

#include <QApplication>
#include <QWidget>

#include <initializer_list>

namespace shell {

namespace {

constexpr std::initializer_list<const char*> kClosedAtExit = {
    "frmAbout",  "frmdbErr",  "frmJustAnswerRate", "frmNewDataBase",
    "frmOption", "frmSearch", "frmTest",           "frmDrop"};
constexpr std::initializer_list<const char*> kClosedForBackUp = {"frmOption", "frmJustAnswerRate",
                                                                 "frmSearch", "frmTest", "frmDrop"};

}  // namespace

int closeFeatureWindows(ClosingFor reason) {
    const bool atExit = reason == ClosingFor::Exit;
    int modalLoops = 0;
    for (const char* name : atExit ? kClosedAtExit : kClosedForBackUp) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() != QLatin1String(name) || !w->isWindow()) continue;
            // At exit hidden windows go too; a backup leaves them, as they hold nothing open.
            if (!atExit && !w->isVisible()) continue;
            if (w->isModal() && w->isVisible()) ++modalLoops;
            w->close();
        }
    }
    return modalLoops;
}

}  // namespace shell
