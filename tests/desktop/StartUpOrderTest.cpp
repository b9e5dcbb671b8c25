// Which record window comes up in front, and which states an exit records, with a real
// window manager handing out the focus.
#include <gtest/gtest.h>

#include "desktop/DesktopSession.h"

namespace {

using namespace std::chrono_literals;

struct Place {
    QString state, x, y;
};

Place placeOf(DesktopSession& s, int dbID) {
    const auto rows = s.rows(
        QStringLiteral("select WindowState, 画面X, 画面Y from データベース設定 where dbID = %1")
            .arg(dbID));
    if (rows.empty() || rows[0].size() < 3) return {};
    return {rows[0][0], rows[0][1], rows[0][2]};
}

QString nameOf(DesktopSession& s, int dbID) {
    const auto rows = s.rows(
        QStringLiteral("select データベース名 from データベース設定 where dbID = %1").arg(dbID));
    return rows.empty() ? QString() : rows[0][0];
}

TEST(StartUpOrder, TheMaximisedWindowComesUpInFrontAndExitKeepsEveryState) {
    DesktopSession s;
    s.generate(3, 30);
    s.sql(
        QStringLiteral("UPDATE データベース設定 SET 終了状態 = True, WindowState = 0, "
                       "画面X = 600, 画面Y = 450 WHERE dbID = 1"));
    s.sql(
        QStringLiteral("UPDATE データベース設定 SET 終了状態 = True, WindowState = 2 "
                       "WHERE dbID = 3"));
    const QString maximised = nameOf(s, 3);
    const QString front = QStringLiteral("KENVORA - [") + maximised + QStringLiteral("]");

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first start" : "start after the exit");
        s.start();
        ASSERT_TRUE(s.waitForMainWindow(20s));
        // Give a late window manager its time to hand out the focus.
        s.waitForWindow(QStringLiteral("^KENVORA - \\["), 3s);
        EXPECT_EQ(s.mainWindowTitle(), front);
        ASSERT_TRUE(s.exitByMenu());

        const Place normal = placeOf(s, 1);
        EXPECT_EQ(normal.state, "0");
        EXPECT_EQ(normal.x, "600");
        EXPECT_EQ(normal.y, "450");
        EXPECT_EQ(placeOf(s, 3).state, "2");
    }
}

}  // namespace
