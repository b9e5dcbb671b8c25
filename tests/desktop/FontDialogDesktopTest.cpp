// The font dialog on a desktop: typed text, the whole of it selected, 書式 › フォント and OK
// without a change leave the stored RTF exactly as it was.
#include <gtest/gtest.h>

#include "desktop/DesktopSession.h"

namespace {

using namespace std::chrono_literals;

QString storedRtf(DesktopSession& s) {
    return s.output(QStringLiteral("select 項目1RTF from データ"));
}

TEST(FontDialogOnDesktop, OkWithoutAChangeKeepsTheRtf) {
    DesktopSession s;
    s.generate(1, 0);
    s.sql(QStringLiteral("UPDATE データベース設定 SET 終了状態 = True, WindowState = 2"));

    // A record typed as a user types it; the first box of the front window has the focus.
    s.start();
    ASSERT_TRUE(s.waitForMainWindow(20s));
    ASSERT_TRUE(s.waitForWindow(QStringLiteral("^KENVORA - \\["), 20s));
    s.focusMainWindow();
    s.keys({QStringLiteral("p"), QStringLiteral("l"), QStringLiteral("a"), QStringLiteral("i"),
            QStringLiteral("n")});
    ASSERT_TRUE(s.exitByMenu());
    const QString before = storedRtf(s);
    ASSERT_TRUE(before.contains(QStringLiteral("plain"))) << before.toStdString();

    s.start();
    ASSERT_TRUE(s.waitForMainWindow(20s));
    ASSERT_TRUE(s.waitForWindow(QStringLiteral("^KENVORA - \\["), 20s));
    s.focusMainWindow();
    s.keys({QStringLiteral("ctrl+a"), QStringLiteral("ctrl+f")});
    ASSERT_TRUE(s.waitForWindow(QStringLiteral("^フォント$"), 10s));
    s.keys({QStringLiteral("Return")});
    ASSERT_TRUE(s.exitByMenu());
    EXPECT_EQ(storedRtf(s), before);
}

}  // namespace
