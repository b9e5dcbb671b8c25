// The help pages shipped inside the program: the keywords other windows ask for are in the
// index, every topic leads to a page and anchor that exist, and the help commands land
// on the right page.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTextBrowser>

#include "platform/ui/HelpViewer.h"

namespace {

const QString kRoot = QStringLiteral(":/help/Kenvora");

QString pageText(const QString& page) {
    QFile f(kRoot + QLatin1Char('/') + page);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

// "page.html#anchor" exists: the page, and the anchor named in it.
bool topicExists(const QString& topic) {
    const QString page = topic.section(QLatin1Char('#'), 0, 0);
    const QString anchor = topic.section(QLatin1Char('#'), 1);
    const QString text = pageText(page);
    if (text.isEmpty()) return false;
    return anchor.isEmpty() || text.contains(QStringLiteral("name=\"%1\"").arg(anchor));
}

TEST(HelpPagesTest, IndexHoldsTheKeywordsTheWindowsAskFor) {
    const ui::HelpIndex index = ui::HelpIndex::load(kRoot);
    QSet<QString> keywords;
    for (const ui::HelpTopic& k : index.keywords()) keywords.insert(k.title);
    for (const char* required :
         {"新規データベース作成", "名称変更", "表示", "オフラインメンテナンス", "ファイル"})
        EXPECT_TRUE(keywords.contains(QString::fromUtf8(required))) << required;
    EXPECT_GE(index.contents().size(), 10);
}

TEST(HelpPagesTest, EveryTopicAndLinkLeadsToAPage) {
    const ui::HelpIndex index = ui::HelpIndex::load(kRoot);
    for (const ui::HelpTopic& t : index.keywords())
        EXPECT_TRUE(topicExists(t.page)) << t.title.toStdString();
    for (const ui::HelpTopic& t : index.contents())
        EXPECT_TRUE(topicExists(t.page)) << t.title.toStdString();
    const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    for (const ui::HelpTopic& t : index.contents()) {
        const QString page = t.page.section(QLatin1Char('#'), 0, 0);
        auto it = link.globalMatch(pageText(page));
        while (it.hasNext()) {
            const QString target = it.next().captured(1);
            if (target.contains(QLatin1Char(':'))) continue;  // a web address
            EXPECT_TRUE(topicExists(target))
                << page.toStdString() << " -> " << target.toStdString();
        }
    }
}

TEST(HelpPagesTest, HelpCommandsShowTheirPages) {
    ui::HelpViewer viewer(ui::helpRootFor(QStringLiteral("/opt/kenvora/Kenvora.hlp")));
    viewer.apply({QString(), ui::HelpFinder, QString()});
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("index.html"));
    EXPECT_TRUE(viewer.webHelp->toPlainText().contains(QStringLiteral("Kenvora の使い方")));

    viewer.apply({QString(), ui::HelpPartialKey, QStringLiteral("オフライン")});
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("options.html"));
    EXPECT_EQ(viewer.webHelp->source().fragment(), QStringLiteral("maintenance"));

    viewer.apply({QString(), ui::HelpPartialKey, QStringLiteral("新規データベース作成")});
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("newdb.html"));

    viewer.apply({QString(), ui::HelpKey, QString()});
    EXPECT_EQ(viewer.tabHelp->currentIndex(), 1);
    viewer.apply({QString(), ui::HelpContents, QString()});
    EXPECT_EQ(viewer.tabHelp->currentIndex(), 0);
}

}  // namespace
