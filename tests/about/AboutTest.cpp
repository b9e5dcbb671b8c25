// The about box: name and version, the system information and the author's page.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "about/frmAbout.h"
#include "common/TempDatabase.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

namespace {

TEST(AboutTest, ShowsNameAndVersion) {
    frmAbout about;
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Kenvora"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version %1").arg(KENVORA_VERSION));
    EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
    QSignalSpy accepted(&about, &QDialog::accepted);
    about.show();
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
}

TEST(AboutTest, SystemInformationNamesVersionsAndTheDatabase) {
    ui::ScopedScriptedDialogs boxes;
    testing_support::TempDatabase file;
    shell::resetMainModule();
    shell::mainModule().applicationPath = QStringLiteral("/opt/kenvora");
    frmAbout about;
    about.show();

    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    shell::openDataStore(file.folder());
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    shell::closeDataStore();
    shell::resetMainModule();

    ASSERT_EQ(boxes->shown().size(), 2u);
    const QString closed = boxes->shown()[0].text;
    const QString open = boxes->shown()[1].text;
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("システム情報"));
    EXPECT_TRUE(closed.contains(QStringLiteral("Kenvora %1").arg(KENVORA_VERSION)));
    EXPECT_TRUE(closed.contains(QString::fromLatin1(qVersion())));
    EXPECT_TRUE(closed.contains(QStringLiteral("/opt/kenvora")));
    EXPECT_TRUE(closed.contains(QStringLiteral("（開いていません）")));
    EXPECT_TRUE(open.contains(file.path()));
}

TEST(AboutTest, HomePageButtonOpensTheAuthorsPage) {
    ui::ScopedScriptedDialogs boxes;
    frmAbout about;
    about.show();
    QTest::mouseClick(about.cmdHomePage, Qt::LeftButton);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].kind, ui::DialogKind::Url);
    EXPECT_EQ(boxes->shown()[0].url, QString::fromLatin1(shell::kAuthorHomePage));
}

}  // namespace
