// The tab strip, the single-instance guard and the help index.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/TabStrip.h"

namespace {

TEST(TabStripTest, TabsAreNumberedFromOneAndClicksReportTheTab) {
    ui::TabStrip strip;
    QSignalSpy clicks(&strip, &ui::TabStrip::clicked);
    EXPECT_EQ(strip.addTab(QStringLiteral("名称変更")), 1);
    EXPECT_EQ(strip.addTab(QStringLiteral("表示")), 2);
    strip.addTab(QStringLiteral("オフラインメンテナンス"));
    EXPECT_EQ(strip.addTab(QStringLiteral("ファイル")), 4);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(strip.selectedIndex(), 1);
    EXPECT_EQ(strip.caption(3), QStringLiteral("オフラインメンテナンス"));

    strip.resize(600, 30);
    strip.show();
    QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.tabRect(3).center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 4);
    EXPECT_EQ(strip.selectedIndex(), 4);
    strip.setSelectedIndex(2);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 2);
    strip.setSelectedIndex(9);  // no such tab
    EXPECT_EQ(strip.selectedIndex(), 2);
}

TEST(SingleInstanceTest, SecondGuardFailsUntilTheFirstIsGone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kenvora.lock"));
    auto first = std::make_unique<ui::SingleInstanceGuard>(path);
    ASSERT_TRUE(first->tryAcquire());
    ui::SingleInstanceGuard second(path);
    EXPECT_FALSE(second.tryAcquire());
    first.reset();
    EXPECT_TRUE(second.tryAcquire());
    EXPECT_TRUE(second.tryAcquire());  // asking again while holding it
}

TEST(SingleInstanceTest, LockLivesInTheRuntimeFolderUnderTheGivenName) {
    QTemporaryDir runtime;
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = ui::SingleInstanceGuard::lockPathFor(QStringLiteral("単語帳.lock"));
    if (before.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", before);
    EXPECT_EQ(path, runtime.filePath(QStringLiteral("単語帳.lock")));
}

TEST(SingleInstanceTest, LockOfAProcessThatIsGoneIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kenvora.lock"));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("999999\nkenvora\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    ui::SingleInstanceGuard guard(path);
    EXPECT_TRUE(guard.tryAcquire());
}

class HelpIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        write(QStringLiteral("contents.txt"), "# 目次\n使い方\tindex.html\nファイル\tfile.html\n");
        write(QStringLiteral("keywords.txt"),
              "表示\toptions.html#display\nＦｉｌｅ\tfile.html\n表示設定\toptions.html#display\n"
              "新規データベース作成\tnew.html\nbroken line without tab\n");
        write(QStringLiteral("index.html"), "<html><body><h1>目次</h1></body></html>");
        write(QStringLiteral("options.html"),
              "<html><body><h1 id=\"display\">表示</h1></body></html>");
        write(QStringLiteral("new.html"), "<html><body><h1>新規</h1></body></html>");
        write(QStringLiteral("file.html"), "<html><body><h1>File</h1></body></html>");
    }
    void write(const QString& name, const QByteArray& text) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir dir;
};

TEST_F(HelpIndexTest, KeywordsByPrefixWithoutRegardToWidthOrCase) {
    const ui::HelpIndex index = ui::HelpIndex::load(dir.path());
    EXPECT_EQ(index.contents().size(), 2);
    EXPECT_EQ(index.keywords().size(), 4);
    EXPECT_EQ(index.keywordsStartingWith(QStringLiteral("表示")).size(), 2);
    ASSERT_EQ(index.keywordsStartingWith(QStringLiteral("file")).size(), 1);
    EXPECT_EQ(index.keywordsStartingWith(QStringLiteral("fi")).first().page,
              QStringLiteral("file.html"));
    EXPECT_TRUE(index.keywordsStartingWith(QStringLiteral("存在しない")).isEmpty());
    EXPECT_EQ(index.keywordsStartingWith(QString()).size(), 4);
    EXPECT_EQ(ui::helpRootFor(QStringLiteral("/opt/kenvora/Kenvora.hlp")),
              QStringLiteral(":/help/Kenvora"));
}

TEST(HelpViewerWindows, OneWindowPerHelpFileReusedUntilAllAreClosed) {
    ui::showHelpViewer({QStringLiteral("/opt/a/Alpha.hlp"), ui::HelpContents, QString()});
    ui::HelpViewer* alpha = ui::openHelpViewer(QStringLiteral("/elsewhere/Alpha.hlp"));
    ASSERT_TRUE(alpha);
    EXPECT_TRUE(alpha->isVisible());
    ui::showHelpViewer({QStringLiteral("/opt/a/Alpha.hlp"), ui::HelpKey, QString()});
    EXPECT_EQ(ui::openHelpViewer(QStringLiteral("/opt/a/Alpha.hlp")), alpha);
    EXPECT_EQ(alpha->tabHelp->currentIndex(), 1);
    ui::showHelpViewer({QStringLiteral("/opt/b/Beta.hlp"), ui::HelpContents, QString()});
    ui::HelpViewer* beta = ui::openHelpViewer(QStringLiteral("/opt/b/Beta.hlp"));
    ASSERT_TRUE(beta);
    EXPECT_NE(beta, alpha);

    QPointer<ui::HelpViewer> watchAlpha = alpha;
    QPointer<ui::HelpViewer> watchBeta = beta;
    ui::closeHelpViewers();
    EXPECT_FALSE(watchAlpha);
    EXPECT_FALSE(watchBeta);
    EXPECT_FALSE(ui::openHelpViewer(QStringLiteral("/opt/a/Alpha.hlp")));
}

TEST_F(HelpIndexTest, ViewerCarriesOutTheHelpCommands) {
    const QString programTitle = ui::defaultTitle();
    ui::setDefaultTitle(QStringLiteral("単語帳"));
    ui::HelpViewer viewer(dir.path());
    ui::setDefaultTitle(programTitle);
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("単語帳 ヘルプ"));
    viewer.apply({QString(), ui::HelpContents, QString()});
    EXPECT_EQ(viewer.tabHelp->currentIndex(), 0);
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("index.html"));

    viewer.apply({QString(), ui::HelpPartialKey, QStringLiteral("新規")});
    EXPECT_EQ(viewer.tabHelp->currentIndex(), 1);
    EXPECT_EQ(viewer.txtKeyword->text(), QStringLiteral("新規"));
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("new.html"));

    viewer.apply({QString(), ui::HelpKey, QString()});
    EXPECT_EQ(viewer.lstKeyword->count(), 4);
    EXPECT_EQ(viewer.txtKeyword->text(), QString());

    // Typing narrows the index; Return shows the chosen entry's page.
    viewer.show();
    QTest::keyClicks(viewer.txtKeyword, QStringLiteral("fi"));
    EXPECT_EQ(viewer.lstKeyword->count(), 1);
    QTest::keyClick(viewer.txtKeyword, Qt::Key_Return);
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("file.html"));

    viewer.apply({QString(), ui::HelpPartialKey, QStringLiteral("表示")});
    EXPECT_EQ(viewer.lstKeyword->count(), 2);
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("options.html"));
    EXPECT_EQ(viewer.webHelp->source().fragment(), QStringLiteral("display"));
}

}  // namespace
