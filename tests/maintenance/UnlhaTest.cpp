#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

#include "common/TempDatabase.h"
#include "maintenance/Unlha.h"
#include "platform/ui/ScriptedDialogs.h"

namespace {

// Message boxes are recorded, never shown.
class UnlhaModule : public ::testing::Test {
protected:
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    ui::ScopedScriptedDialogs boxes;
};

}  // namespace

TEST_F(UnlhaModule, ErrorMessagesAreTheTableTexts) {
    EXPECT_EQ(UnlhaErrorText(0x8005), QStringLiteral("ディスクの空きが足りません｡"));
    EXPECT_EQ(UnlhaErrorText(0x801B),
              QStringLiteral("指定されたファイルは有効な LZH 書庫ではありません。"));
    EXPECT_EQ(UnlhaErrorText(0x8021),
              QStringLiteral("UnlhaOpenArchive()  で書庫とハンドルを関連付ける前に "
                             "UnlhaFindFirst() 等の API が使用されました。"));
    EXPECT_EQ(UnlhaErrorText(0x8025), QStringLiteral("'作業ファイルが作成できません｡"));
    EXPECT_EQ(UnlhaErrorText(0x803F), QStringLiteral("無効なタイムスタンプです｡"));
    // Every code from 0x8005 to 0x803F has a text except these.
    const QList<int> silent = {0x8007, 0x8008, 0x8009, 0x800A, 0x800B, 0x8011, 0x8015};
    for (int code = 0x8000; code <= 0x8040; ++code) {
        const bool listed = code >= 0x8005 && code <= 0x803F && !silent.contains(code);
        EXPECT_EQ(!UnlhaErrorText(code).isEmpty(), listed) << std::hex << code;
    }
    // The codes are 16-bit values: a negative Integer is the same code.
    EXPECT_EQ(UnlhaErrorText(0x801F - 0x10000), UnlhaErrorText(0x801F));
}

TEST_F(UnlhaModule, ErrorMessageShowsTheFailureAndItsReason) {
    UnlhaErrorMessage(0x801F);
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].text,
              QStringLiteral("バックアップ失敗\n既に UNLHA32.DLL が動作中です。"));
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("バックアップ"));
    EXPECT_EQ(boxes->shown()[0].buttons, ui::Buttons::OKOnly);

    UnlhaErrorMessage(0);
    UnlhaErrorMessage(0x8009);
    UnlhaErrorMessage(0x9000);
    EXPECT_EQ(boxes->shown().size(), 1u);
}

// The two command lines as backup and restore build them.
TEST_F(UnlhaModule, BackupThenRestore) {
    QTemporaryDir db, backup;
    const QString database = db.filePath(QStringLiteral("Kenvora.mdb"));
    const QString archive = backup.path() + QStringLiteral("/Kenvora.lzh");
    write(database, QByteArray(200000, 'x') + "Standard Jet DB");

    EXPECT_FALSE(UnlhaIsRunning());
    ASSERT_EQ(UnlhaCommand(nullptr, QStringLiteral("a \"") + archive + QStringLiteral("\" \"") +
                                        database + QStringLiteral("\"")),
              0);
    EXPECT_FALSE(UnlhaIsRunning());
    EXPECT_TRUE(UnlhaIsArchive(QStringLiteral("\"") + archive + QStringLiteral("\"")));

    const QByteArray original = read(database);
    write(database, "damaged since the backup");
    ASSERT_EQ(UnlhaCommand(nullptr, QStringLiteral("e \"") + archive + QStringLiteral("\" \"") +
                                        db.path() + QStringLiteral("/\" Kenvora.mdb -c -y")),
              0);
    EXPECT_EQ(read(database), original);
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(UnlhaModule, ArchiveCheckRefusesOtherFiles) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("Kenvora.lzh"));
    write(text, "not an archive");
    EXPECT_FALSE(UnlhaIsArchive(QStringLiteral("\"") + text + QStringLiteral("\"")));
    EXPECT_FALSE(UnlhaIsArchive(QStringLiteral("\"") + dir.filePath(QStringLiteral("missing.lzh")) +
                                QStringLiteral("\"")));
    EXPECT_TRUE(
        UnlhaIsArchive(testing_support::corpusPath(QStringLiteral("lzh/kenvora_lh5_h1.lzh"))));
}

// A restore that fails must say so: every damaged archive gives a code with a message.
TEST_F(UnlhaModule, EveryFailedRestoreHasAMessage) {
    QDirIterator it(testing_support::corpusPath(QStringLiteral("lzh/malformed")),
                    {QStringLiteral("*.lzh")}, QDir::Files, QDirIterator::Subdirectories);
    int archives = 0;
    while (it.hasNext()) {
        const QString archive = it.next();
        QTemporaryDir db;
        const int code =
            UnlhaCommand(nullptr, QStringLiteral("e \"") + archive + QStringLiteral("\" \"") +
                                      db.path() + QStringLiteral("/\" Kenvora.mdb -c -y"));
        EXPECT_NE(code, 0) << archive.toStdString();
        EXPECT_FALSE(UnlhaErrorText(code).isEmpty())
            << archive.toStdString() << std::hex << " " << code;
        ++archives;
    }
    EXPECT_GT(archives, 10);
    QTemporaryDir db;
    EXPECT_FALSE(
        UnlhaErrorText(UnlhaCommand(nullptr, QStringLiteral("e \"") +
                                                 testing_support::corpusPath(
                                                     QStringLiteral("lzh/no_kenvora_lh5_h2.lzh")) +
                                                 QStringLiteral("\" \"") + db.path() +
                                                 QStringLiteral("/\" Kenvora.mdb -c -y")))
            .isEmpty());
}

TEST(SystemErrorText, IsTheSystemsWordingOrNothing) {
    EXPECT_FALSE(SystemErrorText(ENOENT).isEmpty());
    EXPECT_FALSE(SystemErrorText(ENOSPC).isEmpty());
    EXPECT_NE(SystemErrorText(ENOENT), SystemErrorText(ENOSPC));
    EXPECT_TRUE(SystemErrorText(99999).isEmpty());
}
