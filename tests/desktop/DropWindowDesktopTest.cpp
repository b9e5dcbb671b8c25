// Minimising the main window with record windows open swaps in the drop window.
#include <gtest/gtest.h>

#include <QProcess>

#include "desktop/DesktopSession.h"

namespace {

using namespace std::chrono_literals;

TEST(DropWindowOnDesktop, MinimisingTheMainWindowShowsTheDropWindow) {
    DesktopSession s;
    s.generate(2, 10);
    s.sql(QStringLiteral("UPDATE データベース設定 SET 終了状態 = True"));
    s.start();
    ASSERT_TRUE(s.waitForMainWindow(20s));
    const QString main = s.mainWindowId();
    ASSERT_FALSE(main.isEmpty());
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), main});
    EXPECT_TRUE(s.waitForWindow(QStringLiteral("^Kenvora$"), 10s));
}

}  // namespace
